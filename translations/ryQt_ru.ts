<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>QLogDialog</name>
    <message>
        <source>Opening File</source>
        <translation>Открытие файла</translation>
    </message>
    <message>
        <source>Reading log file...</source>
        <translation>Чтение файла журнала...</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>An error occured while reading the log file.</source>
        <translation>При чтении файла журнала произошла ошибка.</translation>
    </message>
</context>
<context>
    <name>QSettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>QSettingsGroupWidget</name>
    <message>
        <source>Choose file for %1</source>
        <translation>Выбрать файл для «%1»</translation>
    </message>
    <message>
        <source>Choose folder for %1</source>
        <translation>Выбрать папку для «%1»</translation>
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
        <translation>Ширина окна %1, уровень %2</translation>
    </message>
</context>
<context>
    <name>SplashScreen</name>
    <message>
        <source>Loading...</source>
        <translation>Загрузка...</translation>
    </message>
</context>
</TS>
