<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>LoadingWindow</name>
    <message>
        <source>Text.requestInProgress</source>
        <translation>Request in progress...</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Title.application</source>
        <translation>Sonvera</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Dialog.confirmDeletePatient</source>
        <translation>Delete the patient %1 and all their records?</translation>
    </message>
    <message>
        <source>Dialog.confirmDeleteRecord</source>
        <translation>Delete the record of %1?</translation>
    </message>
    <message>
        <source>Dialog.deletePatient</source>
        <translation>Delete patient</translation>
    </message>
    <message>
        <source>Dialog.deleteRecord</source>
        <translation>Delete record</translation>
    </message>
    <message>
        <source>Text.error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Text.no</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Text.success</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>Text.yes</source>
        <translation>Yes</translation>
    </message>
</context>
</TS>
