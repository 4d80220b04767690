#pragma once

#include <QObject>

class Patient;
class QWidget;

// The patient's spreadsheet export: the service makes the workbook, the
// practitioner chooses where it goes.
class PatientExport : public QObject
{
    Q_OBJECT

public:
    explicit PatientExport(QWidget* card);

    void start(const Patient& patient);
    // The service's answer: the workbook as Base64 text.
    void save(const QByteArray& bytes);

    // The workbook in the service's answer, or nothing when the answer holds
    // none: no Base64 text, or text that decodes to no spreadsheet file.
    static QByteArray workbookOf(const QByteArray& answer);

signals:
    void error(const QString& message);

private:
    QWidget* m_card;
};
