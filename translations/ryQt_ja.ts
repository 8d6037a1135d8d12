<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>QLogDialog</name>
    <message>
        <source>Opening File</source>
        <translation>ファイルを開いています</translation>
    </message>
    <message>
        <source>Reading log file...</source>
        <translation>ログファイルを読み込んでいます...</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>An error occured while reading the log file.</source>
        <translation>ログファイルの読み込み中にエラーが発生しました。</translation>
    </message>
</context>
<context>
    <name>QSettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>QSettingsGroupWidget</name>
    <message>
        <source>Choose file for %1</source>
        <translation>%1 のファイルを選択</translation>
    </message>
    <message>
        <source>Choose folder for %1</source>
        <translation>%1 のフォルダーを選択</translation>
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
        <translation>ウィンドウ幅 %1、ウィンドウレベル %2</translation>
    </message>
</context>
<context>
    <name>SplashScreen</name>
    <message>
        <source>Loading...</source>
        <translation>読み込み中...</translation>
    </message>
</context>
</TS>
