#include "data/Record.h"

#include "base/JsonFields.h"

#include <QJsonObject>

Record::Record(const QJsonObject& object)
    : m_id(JsonFields::text(object, QLatin1String("id")))
    , m_patientId(JsonFields::text(object, QLatin1String("patientId")))
    , m_doctorName(JsonFields::text(object, QLatin1String("doctorName")))
    , m_recordedAt(JsonFields::dateTimeText(object, QLatin1String("recordedAt")))
    , m_editable(JsonFields::flag(object, QLatin1String("editable")))
    , m_questionnaire(JsonFields::flag(object, QLatin1String("questionnaire")))
{}
