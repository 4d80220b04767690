<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Controller</name>
    <message>
        <source>Text.insecureServiceUrl</source>
        <translation>The service address %1 is not secure, so the program does not connect to it. Ask your administrator for the right address.</translation>
    </message>
    <message>
        <source>Text.requestTimedOut</source>
        <translation>The service did not answer in time. Please try again later.</translation>
    </message>
    <message>
        <source>Text.secureConnectionFailed</source>
        <translation>A secure connection to the service could not be established. Check the computer's date and time, or ask your administrator.</translation>
    </message>
    <message>
        <source>Text.serviceError</source>
        <translation>The service could not complete the request (HTTP status %1). Please try again later.</translation>
    </message>
    <message>
        <source>Text.serviceUnreachable</source>
        <translation>The service can't be reached. Check the Internet connection and try again.</translation>
    </message>
</context>
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
