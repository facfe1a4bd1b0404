<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>DebuggerWin</name>
    <message>
        <location filename="../src/plugins/zadururu/services/debuggerWin.cpp" line="31"/>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/debuggerWin.cpp" line="32"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutputMessage</name>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="24"/>
        <source>Component Not Exists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="25"/>
        <source>The component is not available for current project. Switch active project to see available components</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="29"/>
        <source>Cannot Create Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="30"/>
        <source>Cannot create database structure. Check your server settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="33"/>
        <source>Database Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="34"/>
        <source>Cannot connect to database. Check your server settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="37"/>
        <source>Tagname Used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="38"/>
        <source>This tagname is used before. Please select another one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="41"/>
        <source>Channel Name Used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="42"/>
        <source>This channel name is used before. Please select another one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="45"/>
        <source>Alarmname Used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="46"/>
        <source>This alarmname is used before. Please select another one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="49"/>
        <source>SQL Query</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="50"/>
        <source>Error with SQL query</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="53"/>
        <source>File Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="54"/>
        <source>File is broken: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="57"/>
        <source>Database Init Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="58"/>
        <source>Project database is created succesfully</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/services/outputMessage.cpp" line="68"/>
        <source>. Code: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScadaEngine</name>
    <message>
        <location filename="../src/plugins/zadururu/library/scadaEngine.cpp" line="231"/>
        <source>Object %1 is succesfully added under %2 category</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZadUruruPlugin</name>
    <message>
        <location filename="../src/plugins/zadururu/zadururuPlugin.cpp" line="57"/>
        <source>ZadUruruPlugin Hakkinda</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/plugins/zadururu/zadururuPlugin.cpp" line="58"/>
        <source>ZadUruruPlugin</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
