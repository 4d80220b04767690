<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Controller</name>
    <message>
        <source>Text.insecureServiceUrl</source>
        <translation>Адрес сервиса %1 не защищён, поэтому программа к нему не подключается. Уточните правильный адрес у администратора.</translation>
    </message>
    <message>
        <source>Text.requestTimedOut</source>
        <translation>Сервис не ответил вовремя. Повторите попытку позже.</translation>
    </message>
    <message>
        <source>Text.secureConnectionFailed</source>
        <translation>Не удалось установить защищённое соединение с сервисом. Проверьте дату и время на компьютере или обратитесь к администратору.</translation>
    </message>
    <message>
        <source>Text.serviceError</source>
        <translation>Сервису не удалось выполнить запрос (код HTTP %1). Повторите попытку позже.</translation>
    </message>
    <message>
        <source>Text.serviceUnreachable</source>
        <translation>Не удаётся связаться с сервисом. Проверьте подключение к интернету и повторите попытку.</translation>
    </message>
</context>
<context>
    <name>LoadingWindow</name>
    <message>
        <source>Text.requestInProgress</source>
        <translation>Выполняется запрос...</translation>
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
        <translation>Удалить пациента %1 и все его записи?</translation>
    </message>
    <message>
        <source>Dialog.confirmDeleteRecord</source>
        <translation>Удалить запись от %1?</translation>
    </message>
    <message>
        <source>Dialog.deletePatient</source>
        <translation>Удаление пациента</translation>
    </message>
    <message>
        <source>Dialog.deleteRecord</source>
        <translation>Удаление записи</translation>
    </message>
    <message>
        <source>Text.error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Text.no</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Text.success</source>
        <translation>Готово</translation>
    </message>
    <message>
        <source>Text.yes</source>
        <translation>Да</translation>
    </message>
</context>
</TS>
