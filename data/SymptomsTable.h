#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

class QJsonObject;

// A symptom of the recovery history and how strongly it was felt on each
// date: 0 none, 1 periodic, 2 moderate, 3 expressed.
struct Symptom
{
    int id = -1; // the service's number of a standard symptom
    QString name;
    bool custom = false;               // added by the practitioner
    QHash<QString, float> intensities; // by date key
};

// A date column of the recovery history.
struct SymptomDate
{
    QString key; // the date's identifier in the service's data
    QDateTime date;
};

// The recovery history's data and its rules, addressed as (column, row):
// column 0 holds the labels, column c the date c - 1; row 0 the number of
// complaints, row 1 the total severity, row r the symptom r - 2.
class SymptomsTable : public QObject
{
    Q_OBJECT

public:
    // Why a name can't be given to a new symptom.
    enum class NameProblem
    {
        None,
        Blank,
        TooLong,
        OnlyDigits,
        Taken,
    };

    static constexpr int maxNameLength = 100;

    explicit SymptomsTable(QObject* parent = nullptr);

    // Replaces everything from a questionnaire answer; dates are sorted.
    void load(const QJsonObject& object);
    // The save body: per date key, every symptom's intensity under its name
    // (custom) or its number (standard).
    QByteArray toJson() const;

    // n + 2 with symptoms, else 0.
    int rowCount() const;
    // d + 1 with dates, else 0.
    int columnCount() const;
    QString headerText(int section) const;
    QVariant value(int column, int row) const;
    bool isEditable(int column, int row) const;
    bool isCustom(int row) const;
    bool setIntensity(int column, int row, float value);

    // Appends the symptom with intensity 0 on every date.
    void appendSymptom(const Symptom& symptom);
    // Only custom symptoms can go.
    void removeSymptom(int row);

    int symptomCount() const { return m_symptoms.size(); }
    int dateCount() const { return m_dates.size(); }
    // Whether a new custom symptom may take that name. The save body keys a
    // custom symptom by its name and a standard one by its number, so a name
    // of digits could stand for a standard symptom, and a name used twice
    // would lose one of them; the service takes at most 100 characters.
    NameProblem nameProblem(const QString& name) const;

private:
    bool isSymptomRow(int row) const { return row >= 2 && row < m_symptoms.size() + 2; }
    bool isDateColumn(int column) const { return column >= 1 && column <= m_dates.size(); }
    QVariant computedValue(int row, const QString& dateKey) const;

    QVector<Symptom> m_symptoms;
    QVector<SymptomDate> m_dates;
};
