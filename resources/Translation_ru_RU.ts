<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AudioRecorder</name>
    <message>
        <source>Dialog.signalRecord</source>
        <translation>Наложите датчик пациенту и нажмите «Начать запись».</translation>
    </message>
    <message>
        <source>Dialog.signalRecordConfirm</source>
        <translation>Сигнал записан. Сохраните его или запишите заново.</translation>
    </message>
    <message>
        <source>Dialog.signalRecordInProgress</source>
        <translation>Идёт запись сигнала: не двигайте датчик три секунды…</translation>
    </message>
    <message>
        <source>Text.autospectrum</source>
        <translation>Автоспектр</translation>
    </message>
    <message>
        <source>Text.cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Text.messageRemote</source>
        <translation>Или отправьте команду на удалённое устройство пациента</translation>
    </message>
    <message>
        <source>Text.reRecord</source>
        <translation>Записать заново</translation>
    </message>
    <message>
        <source>Text.record</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Text.saveRecord</source>
        <translation>Сохранить запись</translation>
    </message>
    <message>
        <source>Text.send</source>
        <translation>Отправить</translation>
    </message>
    <message>
        <source>Text.startRecord</source>
        <translation>Начать запись</translation>
    </message>
    <message>
        <source>Title.signalRecord</source>
        <translation>Запись сигнала</translation>
    </message>
</context>
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
    <name>DBusKeepAwake</name>
    <message>
        <source>Text.keepAwakeReason</source>
        <translation>Идёт воздействие через датчик</translation>
    </message>
</context>
<context>
    <name>DialogAbout</name>
    <message>
        <source>Text.about</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Text.aboutEmail</source>
        <translation>Эл. почта:</translation>
    </message>
    <message>
        <source>Text.aboutProgramType</source>
        <translation>Настольный клиент для специалистов оздоровительных практик</translation>
    </message>
    <message>
        <source>Text.aboutVersion</source>
        <translation>Версия:</translation>
    </message>
    <message>
        <source>Text.aboutWebsite</source>
        <translation>Сайт:</translation>
    </message>
    <message>
        <source>Text.close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>DialogChangePassword</name>
    <message>
        <source>Text.cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Text.changePassword</source>
        <translation>Смена пароля</translation>
    </message>
    <message>
        <source>Text.confirm</source>
        <translation>Подтвердить</translation>
    </message>
    <message>
        <source>Text.error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Text.oldPassword</source>
        <translation>Текущий пароль</translation>
    </message>
    <message>
        <source>Text.password</source>
        <translation>Новый пароль</translation>
    </message>
    <message>
        <source>Text.passwordRepeat</source>
        <translation>Повторите новый пароль</translation>
    </message>
</context>
<context>
    <name>DialogLogin</name>
    <message>
        <source>Text.error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Title.application</source>
        <translation>Sonvera</translation>
    </message>
</context>
<context>
    <name>DialogPlayer</name>
    <message>
        <source>Text.noAudioOutput</source>
        <translation>Не найдено устройство вывода звука. Подключите датчик и повторите попытку.</translation>
    </message>
    <message>
        <source>Title.player</source>
        <translation>Проигрыватель</translation>
    </message>
</context>
<context>
    <name>FormPatient</name>
    <message>
        <source>Dialog.createPatient</source>
        <translation>Новый пациент</translation>
    </message>
    <message>
        <source>Dialog.editPatient</source>
        <translation>Редактирование пациента</translation>
    </message>
    <message>
        <source>Form.notes</source>
        <translation>Заметки</translation>
    </message>
    <message>
        <source>Form.patientAgreement</source>
        <translation>Пациент согласен на обработку персональных данных</translation>
    </message>
    <message>
        <source>Form.phone</source>
        <translation>Телефон</translation>
    </message>
    <message>
        <source>Text.April</source>
        <translation>Апрель</translation>
    </message>
    <message>
        <source>Text.August</source>
        <translation>Август</translation>
    </message>
    <message>
        <source>Text.December</source>
        <translation>Декабрь</translation>
    </message>
    <message>
        <source>Text.February</source>
        <translation>Февраль</translation>
    </message>
    <message>
        <source>Text.January</source>
        <translation>Январь</translation>
    </message>
    <message>
        <source>Text.July</source>
        <translation>Июль</translation>
    </message>
    <message>
        <source>Text.June</source>
        <translation>Июнь</translation>
    </message>
    <message>
        <source>Text.March</source>
        <translation>Март</translation>
    </message>
    <message>
        <source>Text.May</source>
        <translation>Май</translation>
    </message>
    <message>
        <source>Text.November</source>
        <translation>Ноябрь</translation>
    </message>
    <message>
        <source>Text.October</source>
        <translation>Октябрь</translation>
    </message>
    <message>
        <source>Text.September</source>
        <translation>Сентябрь</translation>
    </message>
    <message>
        <source>Text.cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Text.day</source>
        <translation>День</translation>
    </message>
    <message>
        <source>Text.female</source>
        <translation>Женский</translation>
    </message>
    <message>
        <source>Text.male</source>
        <translation>Мужской</translation>
    </message>
    <message>
        <source>Text.name</source>
        <translation>ФИО</translation>
    </message>
    <message>
        <source>Text.save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Text.year</source>
        <translation>Год</translation>
    </message>
</context>
<context>
    <name>ImpactAudio</name>
    <message>
        <source>Text.impactTooLong</source>
        <translation>Воздействие слишком длинное и не помещается в памяти. Выберите меньшую продолжительность.</translation>
    </message>
</context>
<context>
    <name>ImpactWavSaver</name>
    <message>
        <source>Text.cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Text.savingWav</source>
        <translation>Воздействие сохраняется в файл WAV…</translation>
    </message>
    <message>
        <source>Title.saveWav</source>
        <translation>Сохранение файла</translation>
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
        <source>Dialog.successChangePassword</source>
        <translation>Пароль изменён.</translation>
    </message>
    <message>
        <source>Menu.about</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Menu.application</source>
        <translation>Программа</translation>
    </message>
    <message>
        <source>Menu.language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Menu.password</source>
        <translation>Сменить пароль…</translation>
    </message>
    <message>
        <source>Menu.updates</source>
        <translation>Проверить обновления</translation>
    </message>
    <message>
        <source>Text.changeLocaleSuccess</source>
        <translation>Язык интерфейса изменён.</translation>
    </message>
    <message>
        <source>Text.closeMessage</source>
        <translation>Закрыть программу?</translation>
    </message>
    <message>
        <source>Text.closeTitle</source>
        <translation>Выход из Sonvera</translation>
    </message>
    <message>
        <source>Text.impactFinished</source>
        <translation>Воздействие завершено.</translation>
    </message>
    <message>
        <source>Text.upToDate</source>
        <translation>У вас установлена последняя версия Sonvera.</translation>
    </message>
    <message>
        <source>Text.updatesAvailable</source>
        <translation>Доступна новая версия Sonvera. Чтобы получить её, обратитесь в службу поддержки.</translation>
    </message>
    <message>
        <source>Text.updatesTitle</source>
        <translation>Обновления</translation>
    </message>
    <message>
        <source>Title.application</source>
        <translation>Sonvera</translation>
    </message>
</context>
<context>
    <name>PatientManager</name>
    <message>
        <source>Text.invalidBirthDate</source>
        <translation>Введите правильную дату рождения.</translation>
    </message>
    <message>
        <source>Text.invalidName</source>
        <translation>Введите имя пациента.</translation>
    </message>
</context>
<context>
    <name>PatientModel</name>
    <message>
        <source>Text.age</source>
        <translation>Возраст</translation>
    </message>
    <message>
        <source>Text.deviceNotConnected</source>
        <translation>Устройство не подключено</translation>
    </message>
    <message>
        <source>Text.gender</source>
        <translation>Пол</translation>
    </message>
    <message>
        <source>Text.lastRecordDate</source>
        <translation>Последняя запись</translation>
    </message>
    <message>
        <source>Text.name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Text.noCommands</source>
        <translation>Команды не отправлялись</translation>
    </message>
    <message>
        <source>Text.notes</source>
        <translation>Заметки</translation>
    </message>
    <message>
        <source>Text.phone</source>
        <translation>Телефон</translation>
    </message>
    <message>
        <source>Text.recipeComplete</source>
        <translation>Рецепт выполнен</translation>
    </message>
    <message>
        <source>Text.recipeInProgress</source>
        <translation>Выполняется рецепт</translation>
    </message>
    <message>
        <source>Text.recordComplete</source>
        <translation>Запись завершена</translation>
    </message>
    <message>
        <source>Text.recordInProgress</source>
        <translation>Идёт запись</translation>
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
<context>
    <name>ReceiptModel</name>
    <message>
        <source>Text.amountFrequencies</source>
        <translation>Количество частот</translation>
    </message>
    <message>
        <source>Text.marker</source>
        <translation>Маркер</translation>
    </message>
    <message>
        <source>Text.matchPercent</source>
        <translation>Совпадение</translation>
    </message>
</context>
<context>
    <name>RecipeLeaving</name>
    <message>
        <source>Text.confirmSave</source>
        <translation>В рецепте есть несохранённые изменения. Сохранить их перед уходом?</translation>
    </message>
    <message>
        <source>Text.saving</source>
        <translation>Сохранение рецепта</translation>
    </message>
</context>
<context>
    <name>ViewImpact</name>
    <message>
        <source>Text.addToRecipe</source>
        <translation>Вернуться к рецепту</translation>
    </message>
    <message>
        <source>Text.box</source>
        <translation>Удалённое устройство</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>У пациента есть удалённое устройство</translation>
    </message>
    <message>
        <source>Text.download</source>
        <translation>Файл WAV</translation>
    </message>
    <message>
        <source>Text.durationInMinutes</source>
        <translation>Продолжительность</translation>
    </message>
    <message>
        <source>Text.durationPerMarker</source>
        <translation>Продолжительность на маркер</translation>
    </message>
    <message>
        <source>Text.errorWavSave</source>
        <translation>Не удалось сохранить файл WAV. Проверьте, что папка существует, в неё можно записывать и на диске есть место.</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Пациенты</translation>
    </message>
    <message>
        <source>Text.minutes</source>
        <translation>мин</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Карта пациента: %1</translation>
    </message>
    <message>
        <source>Text.recipe</source>
        <translation>Воздействие для %1, запись от %2</translation>
    </message>
    <message>
        <source>Text.recipeCommand</source>
        <translation>Выполнить рецепт</translation>
    </message>
    <message>
        <source>Text.recipeCommandSuccess</source>
        <translation>Рецепт отправлен на устройство пациента.</translation>
    </message>
    <message>
        <source>Text.save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Text.saveFile</source>
        <translation>Сохранить воздействие в файл WAV</translation>
    </message>
    <message>
        <source>Text.selfRecipeCommand</source>
        <translation>Пациент выполняет рецепт сам</translation>
    </message>
    <message>
        <source>Text.sensor</source>
        <translation>Датчик</translation>
    </message>
    <message>
        <source>Text.start</source>
        <translation>Начать</translation>
    </message>
    <message>
        <source>Text.totalMarkers</source>
        <translation>Частот: %1</translation>
    </message>
    <message>
        <source>Text.totalTime</source>
        <translation>Всего: %1 мин</translation>
    </message>
    <message>
        <source>Text.wavTooLong</source>
        <translation>Этот файл WAV занял бы %1 ГБ, а файл WAV вмещает не больше 4 ГБ. С этими маркерами самый длинный файл длится %2 мин: выберите не больше %3 мин на маркер.</translation>
    </message>
</context>
<context>
    <name>ViewPatients</name>
    <message>
        <source>Text.listPatients</source>
        <translation>Пациенты</translation>
    </message>
    <message>
        <source>Text.name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Text.newPatient</source>
        <translation>Новый пациент</translation>
    </message>
    <message>
        <source>Text.notes</source>
        <translation>Заметки</translation>
    </message>
    <message>
        <source>Text.patientSearch</source>
        <translation>Поиск пациентов</translation>
    </message>
    <message>
        <source>Text.refresh</source>
        <translation>Обновить список</translation>
    </message>
    <message>
        <source>Title.patients</source>
        <translation>Пациенты</translation>
    </message>
</context>
<context>
    <name>ViewReceipt</name>
    <message>
        <source>Text.createRecipe</source>
        <translation>Рецепт для %1, запись от %2</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>У пациента есть удалённое устройство</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Пациенты</translation>
    </message>
    <message>
        <source>Text.load</source>
        <translation>Загрузить</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Карта пациента: %1</translation>
    </message>
    <message>
        <source>Text.receipt</source>
        <translation>К воздействию</translation>
    </message>
</context>
</TS>
