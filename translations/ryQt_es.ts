<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>QLogDialog</name>
    <message>
        <source>Opening File</source>
        <translation>Abriendo archivo</translation>
    </message>
    <message>
        <source>Reading log file...</source>
        <translation>Leyendo el archivo de registro...</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>An error occured while reading the log file.</source>
        <translation>Se produjo un error al leer el archivo de registro.</translation>
    </message>
</context>
<context>
    <name>QSettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Aceptar</translation>
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
        <translation>Elegir archivo para %1</translation>
    </message>
    <message>
        <source>Choose folder for %1</source>
        <translation>Elegir carpeta para %1</translation>
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
        <translation>Ventana %1, nivel %2</translation>
    </message>
</context>
<context>
    <name>SplashScreen</name>
    <message>
        <source>Loading...</source>
        <translation>Cargando...</translation>
    </message>
</context>
</TS>
