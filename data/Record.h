#pragma once

#include <QString>

class QJsonObject;

// One recording of a patient as the service lists it.
class Record
{
public:
    Record() = default;
    explicit Record(const QJsonObject& object);

    QString id() const { return m_id; }
    QString patientId() const { return m_patientId; }
    // The practitioner who made the recording.
    QString doctorName() const { return m_doctorName; }
    // Already formatted as "yyyy-MM-dd HH:mm:ss"; empty when unknown.
    QString recordedAt() const { return m_recordedAt; }
    bool editable() const { return m_editable; }
    bool questionnaire() const { return m_questionnaire; }
    // The selection mark in the patient card; never sent or received.
    bool checked() const { return m_checked; }

    void setChecked(bool checked) { m_checked = checked; }
    void toggleChecked() { m_checked = !m_checked; }

private:
    QString m_id;
    QString m_patientId;
    QString m_doctorName;
    QString m_recordedAt;
    bool m_editable = false;
    bool m_questionnaire = false;
    bool m_checked = false;
};
