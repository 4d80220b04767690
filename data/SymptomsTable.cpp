#include "data/SymptomsTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

SymptomsTable::SymptomsTable(QObject* parent) : QObject(parent) {}

void SymptomsTable::load(const QJsonObject& object)
{
    m_dates.clear();
    m_symptoms.clear();

    const QJsonObject dates = object.value(QLatin1String("dates")).toObject();
    for (auto date = dates.begin(); date != dates.end(); ++date)
        m_dates.append({date.key(), QDateTime::fromString(date.value().toString(), Qt::ISODate)});
    std::sort(m_dates.begin(), m_dates.end(),
              [](const SymptomDate& a, const SymptomDate& b) { return a.date < b.date; });

    for (const QJsonValue& row : object.value(QLatin1String("rows")).toArray()) {
        const QJsonObject entry = row.toObject();
        Symptom symptom;
        symptom.id = entry.value(QLatin1String("id")).toInt(-1);
        symptom.name = entry.value(QLatin1String("symptom")).toString();
        symptom.custom = entry.value(QLatin1String("custom")).toBool(false);
        const QJsonObject intensities = entry.value(QLatin1String("intensities")).toObject();
        for (auto intensity = intensities.begin(); intensity != intensities.end(); ++intensity)
            symptom.intensities.insert(intensity.key(), float(intensity.value().toDouble()));
        m_symptoms.append(symptom);
    }
}

QByteArray SymptomsTable::toJson() const
{
    QJsonObject body;
    for (const SymptomDate& date : m_dates) {
        QJsonObject symptoms;
        for (const Symptom& symptom : m_symptoms) {
            const QString key = symptom.custom ? symptom.name : QString::number(symptom.id);
            symptoms.insert(key, double(symptom.intensities.value(date.key, 0.0f)));
        }
        body.insert(date.key, symptoms);
    }
    return QJsonDocument(body).toJson();
}

int SymptomsTable::rowCount() const
{
    return m_symptoms.isEmpty() ? 0 : m_symptoms.size() + 2;
}

int SymptomsTable::columnCount() const
{
    return m_dates.isEmpty() ? 0 : m_dates.size() + 1;
}

QString SymptomsTable::headerText(int section) const
{
    if (section == 0)
        return tr("Text.symptom");
    if (!isDateColumn(section))
        return {};
    return m_dates.at(section - 1).date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QVariant SymptomsTable::value(int column, int row) const
{
    if (column == 0) {
        if (row == 0)
            return tr("Text.complaintsNumber");
        if (row == 1)
            return tr("Text.severity");
        return isSymptomRow(row) ? QVariant(m_symptoms.at(row - 2).name) : QVariant();
    }
    if (!isDateColumn(column) || m_symptoms.isEmpty() || row < 0 || row >= m_symptoms.size() + 2)
        return {};
    const QString& dateKey = m_dates.at(column - 1).key;
    if (row < 2)
        return computedValue(row, dateKey);
    const auto intensity = m_symptoms.at(row - 2).intensities.constFind(dateKey);
    return intensity == m_symptoms.at(row - 2).intensities.constEnd() ? QVariant() : QVariant(*intensity);
}

QVariant SymptomsTable::computedValue(int row, const QString& dateKey) const
{
    float complaints = 0;
    float severity = 0;
    for (const Symptom& symptom : m_symptoms) {
        const float intensity = symptom.intensities.value(dateKey, 0.0f);
        if (intensity > 0)
            ++complaints;
        severity += intensity;
    }
    return row == 0 ? complaints : severity;
}

bool SymptomsTable::isEditable(int column, int row) const
{
    return isDateColumn(column) && row >= 2;
}

bool SymptomsTable::isCustom(int row) const
{
    return isSymptomRow(row) && m_symptoms.at(row - 2).custom;
}

bool SymptomsTable::setIntensity(int column, int row, float value)
{
    if (!isSymptomRow(row) || !isDateColumn(column))
        return false;
    m_symptoms[row - 2].intensities.insert(m_dates.at(column - 1).key, value);
    return true;
}

void SymptomsTable::appendSymptom(const Symptom& symptom)
{
    m_symptoms.append(symptom);
    for (const SymptomDate& date : m_dates)
        m_symptoms.last().intensities.insert(date.key, 0.0f);
}

void SymptomsTable::removeSymptom(int row)
{
    if (isCustom(row))
        m_symptoms.removeAt(row - 2);
}

SymptomsTable::NameProblem SymptomsTable::nameProblem(const QString& name) const
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return NameProblem::Blank;
    // The service counts characters, not UTF-16 units.
    if (trimmed.toUcs4().size() > maxNameLength)
        return NameProblem::TooLong;
    if (std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isDigit(); }))
        return NameProblem::OnlyDigits;
    for (const Symptom& symptom : m_symptoms) {
        if (symptom.name.trimmed().compare(trimmed, Qt::CaseInsensitive) == 0)
            return NameProblem::Taken;
    }
    return NameProblem::None;
}
