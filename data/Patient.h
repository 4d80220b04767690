#pragma once

#include "data/DeviceState.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class QJsonObject;
class QPixmap;

// A patient of the practitioner as the service stores it. An empty id means
// the patient has not been stored yet.
class Patient
{
public:
    Patient() = default;
    explicit Patient(const QJsonObject& object);

    int age() const { return m_age; }
    QDate birthDate() const { return m_birthDate; }
    QString command() const { return m_command; }
    QString id() const { return m_id; }
    QString gender() const { return m_gender; }
    // Already formatted as "yyyy-MM-dd HH:mm:ss"; empty when unknown.
    QString lastRecordAt() const { return m_lastRecordAt; }
    QString name() const { return m_name; }
    QString notes() const { return m_notes; }
    QString phone() const { return m_phone; }
    bool hasDevices() const { return m_hasDevices; }
    bool isComplete() const { return m_isComplete; }
    bool isEnabled() const { return m_isEnabled; }

    void setName(const QString& name) { m_name = name; }
    void setGender(const QString& gender) { m_gender = gender; }
    void setNotes(const QString& notes) { m_notes = notes; }
    void setPhone(const QString& phone) { m_phone = phone; }
    // An impossible day, month and year leave the birth date invalid.
    void setBirthDate(int day, int month, int year);
    void setHasDevices(bool hasDevices) { m_hasDevices = hasDevices; }

    // Keeps isComplete: only the command word is forgotten.
    void clearCommand() { m_command.clear(); }
    void startRecordCommand();
    void startRecipeCommand();
    void toggleEnabled() { m_isEnabled = !m_isEnabled; }
    void setEnabled(bool enabled) { m_isEnabled = enabled; }

    // Ignores isEnabled; the picture below shows a blocked device instead.
    DeviceState deviceState() const;
    QString deviceIconPath() const;
    QPixmap deviceIcon() const;
    QString genderIconPath() const;
    QPixmap genderIcon() const;

    // The body of the create and edit requests: indented JSON carrying the
    // editable fields, and "id" only once the service has given one.
    QByteArray toJson() const;

private:
    int m_age = 0;
    QDate m_birthDate;
    QString m_command;
    QString m_id;
    QString m_gender;
    QString m_lastRecordAt;
    QString m_name;
    QString m_notes;
    QString m_phone;
    bool m_hasDevices = false;
    bool m_isComplete = false;
    bool m_isEnabled = false;
};
