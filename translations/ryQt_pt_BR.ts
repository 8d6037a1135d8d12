<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>QLogDialog</name>
    <message>
        <source>Opening File</source>
        <translation>Abrindo arquivo</translation>
    </message>
    <message>
        <source>Reading log file...</source>
        <translation>Lendo o arquivo de log...</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erro</translation>
    </message>
    <message>
        <source>An error occured while reading the log file.</source>
        <translation>Ocorreu um erro ao ler o arquivo de log.</translation>
    </message>
</context>
<context>
    <name>QSettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>QSettingsGroupWidget</name>
    <message>
        <source>Choose file for %1</source>
        <translation>Escolher arquivo para %1</translation>
    </message>
    <message>
        <source>Choose folder for %1</source>
        <translation>Escolher pasta para %1</translation>
    </message>
</context>
<context>
    <name>QToast</name>
    <message>
        <source>&lt;font color =&apos;%1&apos;&gt;%2&lt;/font&gt;</source>
        <translation>&lt;font color =&apos;%1&apos;&gt;%2&lt;/font&gt;</translation>
    </message>
</context>
<context>
    <name>QWindowLevelGraphicsScene</name>
    <message>
        <source>Window %1, level %2</source>
        <translation>Janela %1, nível %2</translation>
    </message>
</context>
<context>
    <name>SplashScreen</name>
    <message>
        <source>Loading...</source>
        <translation>Carregando...</translation>
    </message>
</context>
</TS>
