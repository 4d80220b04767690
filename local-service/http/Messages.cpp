#include "http/Messages.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace localservice {

namespace {

struct Texts
{
    const char* en;
    const char* ru;
};

const std::map<std::string, Texts>& catalogue()
{
    static const std::map<std::string, Texts> texts = {
        {"unauthorized",
         {"Sign in first: the request carries no valid access token.",
          "Войдите в систему: у запроса нет действующего ключа доступа."}},
        {"wrongCredentials", {"Wrong user name or password.", "Неверное имя пользователя или пароль."}},
        {"tooManySignIns",
         {"Too many unsuccessful sign-ins with this user name from this computer. Try again in %1 s.",
          "Слишком много неудачных попыток входа с этим именем пользователя с этого компьютера. Повторите через %1 "
          "с."}},
        {"credentialsRequired", {"Enter the user name and the password.", "Введите имя пользователя и пароль."}},
        {"wrongOldPassword", {"The current password is wrong.", "Текущий пароль указан неверно."}},
        {"passwordsDiffer", {"The new password and its repetition differ.", "Новый пароль и его повтор не совпадают."}},
        {"passwordLength",
         {"The new password must have from %1 to %2 characters.",
          "Новый пароль должен содержать от %1 до %2 символов."}},
        {"unsupportedLocale", {"The language %1 is not supported.", "Язык %1 не поддерживается."}},
        {"notFound", {"Nothing is found at %1.", "По адресу %1 ничего нет."}},
        {"methodNotAllowed", {"The method %1 is not allowed at %2.", "Метод %1 не допускается по адресу %2."}},
        {"patientNotFound", {"The patient does not exist.", "Пациент не найден."}},
        {"recordNotFound", {"The record %1 does not exist.", "Запись %1 не найдена."}},
        {"malformedJson", {"The request body is not valid JSON.", "Тело запроса не является корректным JSON."}},
        {"jsonTooDeep", {"The request body is nested too deeply.", "Тело запроса имеет слишком глубокую вложенность."}},
        {"jsonTooLarge", {"The request body holds too many values.", "Тело запроса содержит слишком много значений."}},
        {"expectedObject", {"The request body must be a JSON object.", "Тело запроса должно быть объектом JSON."}},
        {"fieldRequired", {"The field %1 is required.", "Поле %1 обязательно."}},
        {"fieldType", {"The field %1 has the wrong type.", "Поле %1 имеет неверный тип."}},
        {"payloadTooLarge", {"The request is too large.", "Запрос слишком велик."}},
        {"badRequest", {"The request is malformed.", "Запрос составлен неверно."}},
        {"transferCoding",
         {"The request's transfer coding is not supported; send its body with a length or in plain chunks.",
          "Кодирование передачи запроса не поддерживается; передайте тело с длиной или простыми блоками."}},
        {"badQuery", {"The query parameter %1 is invalid.", "Параметр запроса %1 указан неверно."}},
        {"internal", {"The service failed to handle the request.", "Сервису не удалось обработать запрос."}},
        {"isRequired", {"is required", "обязательно для заполнения"}},
        {"tooLong", {"is longer than %1 characters", "длиннее %1 символов"}},
        {"invalidDate", {"is not a valid date (yyyy-MM-dd)", "не является корректной датой (гггг-ММ-дд)"}},
        {"futureDate", {"lies in the future", "находится в будущем"}},
        {"tooOld", {"lies before 1900", "раньше 1900 года"}},
        {"invalidGender", {"must be MALE or FEMALE", "должен быть MALE или FEMALE"}},
        {"wavNotRiff", {"The recording is not a WAV file.", "Запись не является файлом WAV."}},
        {"wavWrongFormat",
         {"The recording must be 8-bit unsigned mono PCM at 22050 Hz.",
          "Запись должна быть в формате PCM: 8 бит без знака, моно, 22050 Гц."}},
        {"wavBadDataChunk", {"The recording's data chunk is damaged.", "Блок данных записи повреждён."}},
        {"wavEmpty", {"The recording holds no samples.", "Запись не содержит отсчётов."}},
        {"wavTooShort", {"The recording is shorter than one second.", "Запись короче одной секунды."}},
        {"wavTooLong", {"The recording is too long.", "Запись слишком длинная."}},
        {"uploadFields",
         {"The upload needs the form fields patientId and record.",
          "Для загрузки нужны поля формы patientId и record."}},
        {"deviceRequired", {"The patient has no remote device.", "К пациенту не привязано удалённое устройство."}},
        {"deviceBlocked", {"The patient's remote device is blocked.", "Удалённое устройство пациента заблокировано."}},
        {"deviceTaken", {"This device is bound to another patient.", "Это устройство привязано к другому пациенту."}},
        {"deviceIdInvalid",
         {"The device identifier must have from 1 to 64 characters.",
          "Идентификатор устройства должен содержать от 1 до 64 символов."}},
        {"sensorIdNotText",
         {"The sensor identifier must be printable UTF-8 text.",
          "Идентификатор датчика должен быть печатным текстом в UTF-8."}},
        {"unknownCommand", {"Unknown command %1.", "Неизвестная команда %1."}},
        {"storageRequired", {"Choose a storage to analyse.", "Выберите хранилище для анализа."}},
        {"storageNotFound", {"The storage %1 does not exist.", "Хранилище %1 не найдено."}},
        {"recordsRequired", {"Choose at least one record.", "Выберите хотя бы одну запись."}},
        {"tooManyRecords", {"Choose at most %1 records.", "Выберите не более %1 записей."}},
        {"markerNotFound", {"The marker %1 does not exist.", "Маркер %1 не найден."}},
        {"markersRequired", {"The recipe has no markers.", "В рецепте нет маркеров."}},
        {"tooManyMarkers", {"A recipe holds at most %1 markers.", "Рецепт содержит не более %1 маркеров."}},
        {"tooManyTones",
         {"A recipe plays at most %1 frequencies at a time.", "Рецепт воспроизводит не более %1 частот за раз."}},
        {"durationRange",
         {"The duration must be from 0 to 600 minutes.", "Длительность должна быть от 0 до 600 минут."}},
        {"intensityRange", {"Intensities must be numbers from 0 to 3.", "Интенсивность должна быть числом от 0 до 3."}},
        {"symptomNameInvalid",
         {"A symptom name must have from 1 to 100 characters.",
          "Название симптома должно содержать от 1 до 100 символов."}},
        {"remoteDevice", {"Remote device", "Удалённое устройство"}},
    };
    return texts;
}

// Whatever a message quotes from the caller is cut to this many characters:
// a caller's megabyte of input never comes back in the answer.
constexpr size_t MaxQuotedCharacters = 100;

} // namespace

std::string quotedShort(const std::string& text)
{
    size_t characters = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        // Counts lead bytes only, so a character is never cut in half.
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && characters++ == MaxQuotedCharacters)
            return text.substr(0, at) + "\u2026";
    }
    return text;
}

std::string message(const std::string& key, const std::string& language, const std::vector<std::string>& args)
{
    const auto found = catalogue().find(key);
    std::string text = found == catalogue().end() ? key : (language == "ru" ? found->second.ru : found->second.en);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string marker = "%" + std::to_string(i + 1);
        const size_t at = text.find(marker);
        if (at != std::string::npos)
            text.replace(at, marker.size(), quotedShort(args[i]));
    }
    return text;
}

std::string languageOf(const std::string& acceptLanguage)
{
    std::string first = acceptLanguage.substr(0, acceptLanguage.find_first_of(",;"));
    std::transform(first.begin(), first.end(), first.begin(), [](unsigned char c) { return std::tolower(c); });
    return first.compare(0, 2, "ru") == 0 ? "ru" : "en";
}

} // namespace localservice
