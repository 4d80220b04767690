#include "data/Patient.h"

#include "base/JsonFields.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>

namespace {

// Command words are compared case-sensitively: "record" is no command.
bool isRecordingCommand(const QString& command)
{
    return command == QLatin1String("RECORD") || command == QLatin1String("SELF_RECORD") ||
           command == QLatin1String("AUTOSPECTRUM");
}

bool isRecipeCommand(const QString& command)
{
    return command == QLatin1String("RECIPE") || command == QLatin1String("SELF_RECIPE");
}

} // namespace

Patient::Patient(const QJsonObject& object)
    : m_age(JsonFields::integer(object, QLatin1String("age")))
    , m_birthDate(JsonFields::date(object, QLatin1String("birthDate")))
    , m_command(JsonFields::text(object, QLatin1String("command")))
    , m_id(JsonFields::text(object, QLatin1String("id")))
    , m_gender(JsonFields::text(object, QLatin1String("gender")))
    , m_lastRecordAt(JsonFields::dateTimeText(object, QLatin1String("lastRecordAt")))
    , m_name(JsonFields::text(object, QLatin1String("name")))
    , m_notes(JsonFields::text(object, QLatin1String("notes")))
    , m_phone(JsonFields::text(object, QLatin1String("phone")))
    , m_hasDevices(JsonFields::flag(object, QLatin1String("hasDevices")))
    , m_isComplete(JsonFields::flag(object, QLatin1String("isComplete")))
    , m_isEnabled(JsonFields::flag(object, QLatin1String("isEnabled")))
{}

void Patient::setBirthDate(int day, int month, int year)
{
    m_birthDate = QDate(year, month, day);
}

void Patient::startRecordCommand()
{
    m_command = QStringLiteral("RECORD");
    m_isComplete = false;
}

void Patient::startRecipeCommand()
{
    m_command = QStringLiteral("RECIPE");
    m_isComplete = false;
}

DeviceState Patient::deviceState() const
{
    if (!m_hasDevices)
        return DeviceState::NotConnected;
    if (isRecordingCommand(m_command))
        return m_isComplete ? DeviceState::RecordComplete : DeviceState::RecordInProgress;
    if (isRecipeCommand(m_command))
        return m_isComplete ? DeviceState::RecipeComplete : DeviceState::RecipeInProgress;
    return DeviceState::NoCommand;
}

QString Patient::deviceIconPath() const
{
    if (!m_hasDevices)
        return QStringLiteral(":/images/not-connected-device.png");
    // A blocked device looks blocked whatever it was last told to do.
    if (!m_isEnabled)
        return QStringLiteral(":/images/connected-device-blocked.png");
    if (isRecordingCommand(m_command)) {
        return m_isComplete ? QStringLiteral(":/images/connected-device-record-complete.png")
                            : QStringLiteral(":/images/connected-device-record.png");
    }
    if (isRecipeCommand(m_command) && !m_isComplete)
        return QStringLiteral(":/images/connected-device-recipe.png");
    return QStringLiteral(":/images/connected-device.png");
}

QPixmap Patient::deviceIcon() const
{
    return QPixmap(deviceIconPath());
}

QString Patient::genderIconPath() const
{
    // Only the exact word "MALE" is male, so an unknown gender shows female.
    return m_gender == QLatin1String("MALE") ? QStringLiteral(":/images/gender-male.png")
                                             : QStringLiteral(":/images/gender-female.png");
}

QPixmap Patient::genderIcon() const
{
    return QPixmap(genderIconPath());
}

QByteArray Patient::toJson() const
{
    QJsonObject object;
    if (!m_id.isEmpty())
        object.insert(QLatin1String("id"), m_id);
    object.insert(QLatin1String("name"), m_name);
    // An invalid date formats as empty text.
    object.insert(QLatin1String("birthDate"), m_birthDate.toString(Qt::ISODate));
    object.insert(QLatin1String("gender"), m_gender);
    object.insert(QLatin1String("notes"), m_notes);
    object.insert(QLatin1String("phone"), m_phone);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}
