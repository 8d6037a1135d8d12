<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>QLogDialog</name>
    <message>
        <source>Opening File</source>
        <translation>Ouverture du fichier</translation>
    </message>
    <message>
        <source>Reading log file...</source>
        <translation>Lecture du fichier journal...</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>An error occured while reading the log file.</source>
        <translation>Une erreur s&apos;est produite lors de la lecture du fichier journal.</translation>
    </message>
</context>
<context>
    <name>QSettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>QSettingsGroupWidget</name>
    <message>
        <source>Choose file for %1</source>
        <translation>Choisir le fichier pour %1</translation>
    </message>
    <message>
        <source>Choose folder for %1</source>
        <translation>Choisir le dossier pour %1</translation>
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
        <translation>Fenêtre %1, niveau %2</translation>
    </message>
</context>
<context>
    <name>SplashScreen</name>
    <message>
        <source>Loading...</source>
        <translation>Chargement...</translation>
    </message>
</context>
</TS>
