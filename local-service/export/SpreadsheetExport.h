#pragma once

#include <optional>
#include <string>
#include <vector>

namespace localservice {

// What the patient's workbook shows; texts are already in the language of
// the request, dates already formatted.
struct ExportSheetTexts
{
    std::string patientSheet; // sheet names
    std::string recordsSheet;
    std::string recoverySheet;
    std::vector<std::string> patientLabels;  // name, birth date, age, gender, phone, notes, last record
    std::vector<std::string> recordHeadings; // recorded at, doctor, questionnaire, sensor
    std::string symptomHeading;
};

struct ExportRecordRow
{
    std::string recordedAt;
    std::string doctorName;
    std::string questionnaire; // yes or no, translated
    std::string sensorId;
};

struct ExportSymptomRow
{
    std::string symptom;
    std::vector<std::optional<double>> intensities; // one per recovery date
};

struct PatientWorkbook
{
    ExportSheetTexts texts;
    std::vector<std::string> patientValues; // in the order of patientLabels
    std::vector<ExportRecordRow> records;
    std::vector<std::string> recoveryDates;
    std::vector<ExportSymptomRow> symptoms;
};

// The .xlsx bytes of the workbook: three sheets, bold headings, sensible
// column widths. Empty when the library fails (the failure is logged to
// standard error).
std::string buildPatientWorkbook(const PatientWorkbook& workbook);

} // namespace localservice
