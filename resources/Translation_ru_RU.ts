<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>QPagination</name>
    <message>
        <source>Text.previousPage</source>
        <translation>Предыдущая страница</translation>
    </message>
    <message>
        <source>Text.nextPage</source>
        <translation>Следующая страница</translation>
    </message>
</context>
<context>
    <name>AnalysisModel</name>
    <message>
        <source>Text.marker</source>
        <translation>Маркер</translation>
    </message>
</context>
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
    <message>
        <source>Text.recordingFailed</source>
        <translation>Запись прервана: звуковой вход недоступен или не принимает формат датчика. Проверьте датчик и попробуйте снова.</translation>
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
    <message>
        <source>Text.unreadableAnswer</source>
        <translation>Не удалось прочитать ответ сервиса. Попробуйте позже.</translation>
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
    <name>DialogAutospectrum</name>
    <message>
        <source>Text.autospectrum</source>
        <translation>Автоспектр</translation>
    </message>
    <message>
        <source>Text.cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Text.confirm</source>
        <translation>Запустить</translation>
    </message>
    <message>
        <source>Text.duration</source>
        <translation>Длительность</translation>
    </message>
    <message>
        <source>Text.minutes</source>
        <translation> мин</translation>
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
        <source>Text.password</source>
        <translation>Пароль</translation>
    </message>
    <message>
        <source>Text.signIn</source>
        <translation>Войти</translation>
    </message>
    <message>
        <source>Text.username</source>
        <translation>Имя пользователя</translation>
    </message>
    <message>
        <source>Title.application</source>
        <translation>Sonvera</translation>
    </message>
    <message>
        <source>Text.signInExpired</source>
        <translation>Срок входа истёк. Введите пароль, чтобы продолжить с того же места.</translation>
    </message>
    <message>
        <source>Title.signInAgain</source>
        <translation>Повторный вход</translation>
    </message>
</context>
<context>
    <name>DialogManageDevices</name>
    <message>
        <source>Text.confirmDisconnect</source>
        <translation>Отключить удалённое устройство от этого пациента?</translation>
    </message>
    <message>
        <source>Text.connect</source>
        <translation>Подключить датчик</translation>
    </message>
    <message>
        <source>Text.deviceNotConnected</source>
        <translation>К компьютеру не подключён датчик.</translation>
    </message>
    <message>
        <source>Text.disableDevice</source>
        <translation>Заблокировать устройство</translation>
    </message>
    <message>
        <source>Text.disconnect</source>
        <translation>Отключить устройство</translation>
    </message>
    <message>
        <source>Text.enableDevice</source>
        <translation>Разблокировать устройство</translation>
    </message>
    <message>
        <source>Text.manageDevices</source>
        <translation>Удалённое устройство</translation>
    </message>
    <message>
        <source>Text.titleDisconnect</source>
        <translation>Отключение устройства</translation>
    </message>
    <message>
        <source>Text.deviceNotBound</source>
        <translation>К пациенту не привязано удалённое устройство.</translation>
    </message>
    <message>
        <source>Text.deviceBoundEnabled</source>
        <translation>К пациенту привязано удалённое устройство; оно не заблокировано.</translation>
    </message>
    <message>
        <source>Text.deviceBoundBlocked</source>
        <translation>К пациенту привязано удалённое устройство; оно заблокировано.</translation>
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
    <message>
        <source>Text.playbackStopped</source>
        <translation>Воспроизведение остановлено: звуковое устройство больше недоступно.</translation>
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
    <name>ImpactDownload</name>
    <message>
        <source>Text.saveFile</source>
        <translation>Сохранить воздействие в файл WAV</translation>
    </message>
    <message>
        <source>Text.errorWavSave</source>
        <translation>Не удалось сохранить файл WAV. Проверьте, что папка существует, в неё можно записывать и на диске есть место.</translation>
    </message>
    <message>
        <source>Text.wavTooLong</source>
        <translation>Этот файл WAV занял бы %1 ГБ, а файл WAV вмещает не больше 4 ГБ. С этими маркерами самый длинный файл длится %2 мин: выберите не больше %3 мин на маркер.</translation>
    </message>
    <message>
        <source>Text.nothingToSave</source>
        <translation>Сервис не прислал звук для этих маркеров: сохранять нечего.</translation>
    </message>
    <message>
        <source>Text.wavSaved</source>
        <translation>Воздействие сохранено: %1</translation>
    </message>
</context>
<context>
    <name>ImpactTargets</name>
    <message>
        <source>Text.box</source>
        <translation>Удалённое устройство</translation>
    </message>
    <message>
        <source>Text.download</source>
        <translation>Файл WAV</translation>
    </message>
    <message>
        <source>Text.sensor</source>
        <translation>Датчик</translation>
    </message>
    <message>
        <source>Text.recipeCommand</source>
        <translation>Выполнить рецепт</translation>
    </message>
    <message>
        <source>Text.selfRecipeCommand</source>
        <translation>Пациент выполняет рецепт сам</translation>
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
    <message>
        <source>Text.stopWaiting</source>
        <translation>Не ждать</translation>
    </message>
</context>
<context>
    <name>LockScreen</name>
    <message>
        <source>Text.password</source>
        <translation>Пароль</translation>
    </message>
    <message>
        <source>Text.unlock</source>
        <translation>Разблокировать</translation>
    </message>
    <message>
        <source>Text.unlockExplanation</source>
        <translation>Программа заблокирована, пока ею никто не пользовался. Введите пароль пользователя %1, чтобы продолжить.</translation>
    </message>
    <message>
        <source>Text.unlockFailed</source>
        <translation>Пароль не принят. Попробуйте ещё раз.</translation>
    </message>
    <message>
        <source>Text.windowLocked</source>
        <translation>Sonvera заблокирована</translation>
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
    <message>
        <source>Text.nothingToPlay</source>
        <translation>Воспроизводить нечего: сервис не прислал звук для этих маркеров.</translation>
    </message>
    <message>
        <source>Text.impact</source>
        <translation>Воздействие</translation>
    </message>
</context>
<context>
    <name>PatientAutospectrum</name>
    <message>
        <source>Text.autospectrum</source>
        <translation>Автоспектр</translation>
    </message>
    <message>
        <source>Text.playerActive</source>
        <translation>Уже воспроизводится звук. Остановите проигрыватель, прежде чем запускать автоспектр.</translation>
    </message>
    <message>
        <source>Text.autospectrumEmpty</source>
        <translation>Сервис не прислал звук автоспектра. Попробуйте ещё раз.</translation>
    </message>
</context>
<context>
    <name>PatientDeviceActions</name>
    <message>
        <source>Text.deviceConnectSuccess</source>
        <translation>Датчик подключён как удалённое устройство пациента.</translation>
    </message>
    <message>
        <source>Text.deviceDisconnectSuccess</source>
        <translation>Удалённое устройство отключено.</translation>
    </message>
    <message>
        <source>Text.deviceStatusChangeSuccess</source>
        <translation>Состояние удалённого устройства изменено.</translation>
    </message>
    <message>
        <source>Text.commandSuccess</source>
        <translation>Команда отправлена на удалённое устройство.</translation>
    </message>
    <message>
        <source>Text.deleteCommandTitle</source>
        <translation>Отмена команды</translation>
    </message>
    <message>
        <source>Text.deleteCommandMessage</source>
        <translation>Отменить команду, отправленную на удалённое устройство пациента?</translation>
    </message>
    <message>
        <source>Text.deleteCommandSuccess</source>
        <translation>Команда отменена.</translation>
    </message>
</context>
<context>
    <name>PatientExport</name>
    <message>
        <source>Text.exportInvalid</source>
        <translation>Сервис прислал файл экспорта, который не удаётся прочитать. Попробуйте ещё раз.</translation>
    </message>
    <message>
        <source>Text.saveFile</source>
        <translation>Сохранить файл</translation>
    </message>
    <message>
        <source>Text.errorSaveFile</source>
        <translation>Не удалось сохранить файл. Выберите другую папку или освободите место на диске.</translation>
    </message>
    <message>
        <source>Text.exportSaved</source>
        <translation>Таблица сохранена: %1</translation>
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
    <message>
        <source>Text.unreadableAnswer</source>
        <translation>Не удалось прочитать ответ сервиса. Попробуйте позже.</translation>
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
    <message>
        <source>Text.male</source>
        <translation>Мужской</translation>
    </message>
    <message>
        <source>Text.female</source>
        <translation>Женский</translation>
    </message>
    <message>
        <source>Text.editPatient</source>
        <translation>Изменить данные пациента</translation>
    </message>
    <message>
        <source>Text.deletePatient</source>
        <translation>Удалить пациента</translation>
    </message>
</context>
<context>
    <name>PatientParticulars</name>
    <message>
        <source>Text.edit</source>
        <translation>Изменить данные пациента</translation>
    </message>
    <message>
        <source>Form.age</source>
        <translation>Возраст</translation>
    </message>
    <message>
        <source>Form.gender</source>
        <translation>Пол</translation>
    </message>
    <message>
        <source>Form.phone</source>
        <translation>Телефон</translation>
    </message>
</context>
<context>
    <name>PatientRecordsTable</name>
    <message>
        <source>Text.unreadableAnswer</source>
        <translation>Не удалось прочитать ответ сервиса. Попробуйте позже.</translation>
    </message>
    <message>
        <source>Text.recordingKept</source>
        <translation>Не удалось отправить запись: %1
Она сохранена на этом компьютере и будет отправлена сама, когда сервис снова ответит.</translation>
    </message>
</context>
<context>
    <name>PatientSideBar</name>
    <message>
        <source>Text.newRecord</source>
        <translation>Новая запись</translation>
    </message>
    <message>
        <source>Text.autospectrum</source>
        <translation>Автоспектр</translation>
    </message>
    <message>
        <source>Text.analysis</source>
        <translation>Анализ</translation>
    </message>
    <message>
        <source>Text.comparativeAnalysis</source>
        <translation>Сравнительный анализ</translation>
    </message>
    <message>
        <source>Text.recoveryHistory</source>
        <translation>История восстановления</translation>
    </message>
    <message>
        <source>Text.receipt</source>
        <translation>Рецепт</translation>
    </message>
    <message>
        <source>Text.excelExport</source>
        <translation>Экспорт в Excel</translation>
    </message>
    <message>
        <source>Text.deletePatient</source>
        <translation>Удалить пациента</translation>
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
    <message>
        <source>Text.noDescription</source>
        <translation>Нет описания</translation>
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
    <name>RecordModel</name>
    <message>
        <source>Text.doctorName</source>
        <translation>Специалист</translation>
    </message>
    <message>
        <source>Text.no</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Text.questionnaire</source>
        <translation>Анкета</translation>
    </message>
    <message>
        <source>Text.recordedAt</source>
        <translation>Дата записи</translation>
    </message>
    <message>
        <source>Text.yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Text.recordEditable</source>
        <translation>Запись ещё можно изменить</translation>
    </message>
    <message>
        <source>Text.recordClosed</source>
        <translation>Запись больше нельзя изменить</translation>
    </message>
    <message>
        <source>Text.deleteRecord</source>
        <translation>Удалить запись</translation>
    </message>
</context>
<context>
    <name>ReportOutput</name>
    <message>
        <source>Text.print</source>
        <translation>Печать</translation>
    </message>
    <message>
        <source>Text.printFailed</source>
        <translation>Не удалось напечатать отчёт.</translation>
    </message>
    <message>
        <source>Text.savePdf</source>
        <translation>Сохранить в PDF</translation>
    </message>
    <message>
        <source>Text.pdfFiles</source>
        <translation>Файлы PDF</translation>
    </message>
    <message>
        <source>Text.pdfNotSaved</source>
        <translation>Не удалось записать файл PDF %1.</translation>
    </message>
    <message>
        <source>Text.pdfSaved</source>
        <translation>Отчёт сохранён в файл %1.</translation>
    </message>
</context>
<context>
    <name>ReportPageFrame</name>
    <message>
        <source>Text.reportRecords</source>
        <translation>Записи: %1</translation>
    </message>
    <message>
        <source>Text.pageOf</source>
        <translation>Страница %1 из %2</translation>
    </message>
</context>
<context>
    <name>ResendingCall</name>
    <message>
        <source>Text.giveUp</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Text.serviceUnreachableTitle</source>
        <translation>Нет связи с сервисом</translation>
    </message>
    <message>
        <source>Text.tryAgain</source>
        <translation>Повторить</translation>
    </message>
</context>
<context>
    <name>ScreenHeading</name>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Пациенты</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Карта пациента: %1</translation>
    </message>
    <message>
        <source>Text.recipeScreen</source>
        <translation>Рецепт</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>У пациента есть удалённое устройство</translation>
    </message>
</context>
<context>
    <name>ServiceAnswer</name>
    <message>
        <source>Text.unreadableAnswer</source>
        <translation>Не удалось прочитать ответ сервиса. Попробуйте позже.</translation>
    </message>
</context>
<context>
    <name>SummaryTableModel</name>
    <message>
        <source>Text.category</source>
        <translation>Категория</translation>
    </message>
</context>
<context>
    <name>SymptomModel</name>
    <message>
        <source>Complaint.none</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Complaint.periodic</source>
        <translation>Периодически</translation>
    </message>
    <message>
        <source>Complaint.moderate</source>
        <translation>Умеренно</translation>
    </message>
    <message>
        <source>Complaint.expressed</source>
        <translation>Выражено</translation>
    </message>
</context>
<context>
    <name>SymptomsTable</name>
    <message>
        <source>Text.symptom</source>
        <translation>Симптом</translation>
    </message>
    <message>
        <source>Text.complaintsNumber</source>
        <translation>Количество жалоб</translation>
    </message>
    <message>
        <source>Text.severity</source>
        <translation>Тяжесть</translation>
    </message>
</context>
<context>
    <name>ViewAnalysis</name>
    <message>
        <source>Title.analysis</source>
        <translation>Анализ</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Список пациентов</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Карта пациента: %1</translation>
    </message>
    <message>
        <source>Text.tabSummaryTable</source>
        <translation>Сводная таблица</translation>
    </message>
    <message>
        <source>Text.tabMarkersAnalysis</source>
        <translation>Анализ маркеров</translation>
    </message>
    <message>
        <source>Text.analyse</source>
        <translation>Анализировать</translation>
    </message>
    <message>
        <source>Text.print</source>
        <translation>Печать</translation>
    </message>
    <message>
        <source>Text.savePdf</source>
        <translation>Сохранить в PDF</translation>
    </message>
</context>
<context>
    <name>ComparativeChart</name>
    <message>
        <source>Text.noChartData</source>
        <translation>Нет значений для этих записей</translation>
    </message>
</context>
<context>
    <name>ViewComparativeAnalysis</name>
    <message>
        <source>Text.chartCategories</source>
        <translation>Отклонение по категориям</translation>
    </message>
    <message>
        <source>Text.chartBands</source>
        <translation>Частотные диапазоны</translation>
    </message>
    <message>
        <source>Text.chartBalance</source>
        <translation>Дисбаланс и его тенденция</translation>
    </message>
    <message>
        <source>Text.chartComplaints</source>
        <translation>Жалобы</translation>
    </message>
    <message>
        <source>Title.comparativeAnalysis</source>
        <translation>Сравнительный анализ</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Список пациентов</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Карта пациента: %1</translation>
    </message>
    <message>
        <source>Text.print</source>
        <translation>Печать</translation>
    </message>
    <message>
        <source>Text.savePdf</source>
        <translation>Сохранить в PDF</translation>
    </message>
</context>
<context>
    <name>ViewImpact</name>
    <message>
        <source>Text.addToRecipe</source>
        <translation>Вернуться к рецепту</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>У пациента есть удалённое устройство</translation>
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
        <source>Text.recipeCommandSuccess</source>
        <translation>Рецепт отправлен на устройство пациента.</translation>
    </message>
    <message>
        <source>Text.save</source>
        <translation>Сохранить</translation>
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
        <source>Text.impactMarkers</source>
        <translation>Маркеры воздействия в порядке воспроизведения</translation>
    </message>
    <message>
        <source>Text.impactTableKeys</source>
        <translation>Ctrl+Вверх и Ctrl+Вниз перемещают маркер, Delete убирает его из рецепта.</translation>
    </message>
</context>
<context>
    <name>ViewPatient</name>
    <message>
        <source>Text.deleteCommand</source>
        <translation>Отменить команду, отправленную на удалённое устройство</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>Удалённое устройство</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Список пациентов</translation>
    </message>
    <message>
        <source>Text.manageDevice</source>
        <translation>Удалённое устройство</translation>
    </message>
    <message>
        <source>Text.refresh</source>
        <translation>Обновить записи</translation>
    </message>
    <message>
        <source>Title.patientView</source>
        <translation>Карта пациента</translation>
    </message>
    <message>
        <source>Title.patientViewTable</source>
        <translation>Записи</translation>
    </message>
    <message>
        <source>Text.recordsTableKeys</source>
        <translation>Пробел отмечает запись для анализов, Ctrl+A отмечает все записи или снимает все отметки, Delete удаляет запись.</translation>
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
    <message>
        <source>Text.searchIn</source>
        <translation>Где искать</translation>
    </message>
    <message>
        <source>Text.patientsTableKeys</source>
        <translation>Enter открывает карту пациента, F2 — изменить данные пациента, Delete — удалить пациента.</translation>
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
    <message>
        <source>Text.savedRecipeShown</source>
        <translation>Сохранённый рецепт этой записи. Выберите хранилище и нажмите «Загрузить», чтобы увидеть его анализ и добавить маркеры.</translation>
    </message>
    <message>
        <source>Text.recipeMarkers</source>
        <translation>Маркеры рецепта</translation>
    </message>
    <message>
        <source>Text.recipeTableKeys</source>
        <translation>Пробел в столбце маркера добавляет маркер в рецепт или убирает его.</translation>
    </message>
</context>
<context>
    <name>ViewRecoveryHistory</name>
    <message>
        <source>Title.historyOfRecovery</source>
        <translation>История восстановления</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Список пациентов</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Карта пациента: %1</translation>
    </message>
    <message>
        <source>Text.refresh</source>
        <translation>Загрузить историю заново</translation>
    </message>
    <message>
        <source>Text.newSymptom</source>
        <translation>Новый симптом</translation>
    </message>
    <message>
        <source>Text.save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Text.removeSymptom</source>
        <translation>Удалить симптом</translation>
    </message>
    <message>
        <source>Text.confirmDiscard</source>
        <translation>В истории есть несохранённые изменения. Загрузить её заново и потерять их?</translation>
    </message>
    <message>
        <source>Text.symptomNameBlank</source>
        <translation>Введите название симптома.</translation>
    </message>
    <message>
        <source>Text.symptomNameTooLong</source>
        <translation>Название симптома может содержать не более %1 символов.</translation>
    </message>
    <message>
        <source>Text.symptomNameDigits</source>
        <translation>Название симптома не может состоять только из цифр.</translation>
    </message>
    <message>
        <source>Text.symptomNameTaken</source>
        <translation>Симптом «%1» уже есть в истории.</translation>
    </message>
    <message>
        <source>Text.symptomName</source>
        <translation>Название симптома:</translation>
    </message>
    <message>
        <source>Text.cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Text.saving</source>
        <translation>Сохранение</translation>
    </message>
    <message>
        <source>Text.confirmSave</source>
        <translation>В истории есть несохранённые изменения. Сохранить их перед выходом?</translation>
    </message>
    <message>
        <source>Text.historySaved</source>
        <translation>Сервер сохранил историю восстановления: %1.</translation>
    </message>
    <message>
        <source>Text.symptomsTableKeys</source>
        <translation>Enter или F2 — выбрать выраженность симптома на эту дату.</translation>
    </message>
</context>
<context>
    <name>WaitingRecordingsPanel</name>
    <message>
        <source>Text.recordingsWaitingTitle</source>
        <translation>Записи, ожидающие отправки на сервис</translation>
    </message>
    <message>
        <source>Text.recordingWaiting</source>
        <translation>Ожидает отправки</translation>
    </message>
    <message>
        <source>Text.recordingSending</source>
        <translation>Отправляется…</translation>
    </message>
    <message>
        <source>Text.sendNow</source>
        <translation>Отправить сейчас</translation>
    </message>
</context>
<context>
    <name>ImpactModel</name>
    <message>
        <source>Text.moveUp</source>
        <translation>Переместить маркер выше</translation>
    </message>
    <message>
        <source>Text.moveDown</source>
        <translation>Переместить маркер ниже</translation>
    </message>
    <message>
        <source>Text.removeMarker</source>
        <translation>Убрать маркер из рецепта</translation>
    </message>
</context>
</TS>
