#include "data/PatientPage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::optional<PatientPage> PatientPage::fromJson(const QByteArray& bytes)
{
    QJsonParseError error{};
    const QJsonObject answer = QJsonDocument::fromJson(bytes, &error).object();
    if (error.error != QJsonParseError::NoError || !answer.value(QStringLiteral("data")).isArray())
        return std::nullopt;
    PatientPage page;
    page.pageCount = answer.value(QStringLiteral("pages")).toInt();
    const QJsonArray patients = answer.value(QStringLiteral("data")).toArray();
    page.patients.reserve(patients.size());
    for (const QJsonValue& patient : patients)
        page.patients.append(Patient(patient.toObject()));
    return page;
}
