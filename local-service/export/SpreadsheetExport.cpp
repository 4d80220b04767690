#include "export/SpreadsheetExport.h"

#include "export/ExcelText.h"
#include "export/ExportError.h"
#include "export/SheetWriter.h"
#include "export/TemporaryFile.h"

#include <algorithm>
#include <cstdio>

namespace localservice {
namespace {

void logFailure(const std::string& reason)
{
    // One write, so that lines of concurrent exports don't interleave.
    const std::string line = "spreadsheet export failed: " + reason + "\n";
    std::fputs(line.c_str(), stderr);
}

// Label and value on each row; long values such as notes wrap within their column.
void writePatientSheet(lxw_workbook* workbook, const std::string& name, const PatientWorkbook& data,
                       const Formats& formats)
{
    SheetWriter sheet(workbook, name);
    const auto& labels = data.texts.patientLabels;
    const auto& values = data.patientValues;
    for (std::size_t row = 0; row < std::max(labels.size(), values.size()); ++row) {
        if (row < labels.size())
            sheet.text(row, 0, labels[row], formats.bold);
        if (row < values.size())
            sheet.text(row, 1, values[row], formats.wrapped);
    }
    sheet.applyColumnWidths();
}

void writeRecordsSheet(lxw_workbook* workbook, const std::string& name, const PatientWorkbook& data,
                       const Formats& formats)
{
    SheetWriter sheet(workbook, name);
    const auto& headings = data.texts.recordHeadings;
    for (std::size_t column = 0; column < headings.size(); ++column)
        sheet.text(0, column, headings[column], formats.bold);
    for (std::size_t i = 0; i < data.records.size(); ++i) {
        const ExportRecordRow& record = data.records[i];
        const std::size_t row = i + 1;
        sheet.text(row, 0, record.recordedAt);
        sheet.text(row, 1, record.doctorName);
        sheet.text(row, 2, record.questionnaire);
        sheet.text(row, 3, record.sensorId);
    }
    sheet.freeze(1, 0);
    sheet.applyColumnWidths();
}

// Symptoms down, recovery dates across; the symptom column stays in view when scrolling.
void writeRecoverySheet(lxw_workbook* workbook, const std::string& name, const PatientWorkbook& data,
                        const Formats& formats)
{
    SheetWriter sheet(workbook, name);
    sheet.text(0, 0, data.texts.symptomHeading, formats.bold);
    for (std::size_t i = 0; i < data.recoveryDates.size(); ++i)
        sheet.text(0, i + 1, data.recoveryDates[i], formats.bold);
    for (std::size_t i = 0; i < data.symptoms.size(); ++i) {
        const ExportSymptomRow& symptom = data.symptoms[i];
        const std::size_t row = i + 1;
        sheet.text(row, 0, symptom.symptom);
        for (std::size_t j = 0; j < symptom.intensities.size(); ++j)
            sheet.number(row, j + 1, symptom.intensities[j]);
    }
    sheet.freeze(1, 1);
    sheet.applyColumnWidths();
}

void writeWorkbook(const std::string& path, const PatientWorkbook& data)
{
    WorkbookHandle workbook(path);
    const Formats formats = addFormats(workbook.get());
    const std::vector<std::string> names =
        excel::sheetNames({data.texts.patientSheet, data.texts.recordsSheet, data.texts.recoverySheet});
    writePatientSheet(workbook.get(), names[0], data, formats);
    writeRecordsSheet(workbook.get(), names[1], data, formats);
    writeRecoverySheet(workbook.get(), names[2], data, formats);
    workbook.close();
}

} // namespace

std::string buildPatientWorkbook(const PatientWorkbook& workbook)
{
    try {
        const TemporaryFile file(".xlsx");
        writeWorkbook(file.path(), workbook);
        return file.read();
    } catch (const ExportError& error) {
        logFailure(error.what());
    } catch (const std::exception& error) {
        logFailure(std::string("unexpected error: ") + error.what());
    }
    return {};
}

} // namespace localservice
