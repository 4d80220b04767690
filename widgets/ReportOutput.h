#pragma once

#include <QCoreApplication>
#include <QString>

class PrintedReport;
class QWidget;

// Where a screen's report goes: to a printer chosen in the toolkit's print
// dialog, or to a PDF file the practitioner names. Failures and the saved
// file are reported in message boxes over the parent.
class ReportOutput
{
    Q_DECLARE_TR_FUNCTIONS(ReportOutput)

public:
    // Runs the print dialog and prints on OK; true when something was printed.
    static bool print(QWidget* parent, const PrintedReport& report);
    // Asks for the file (offering the suggested name in the documents
    // folder) and writes the PDF; true when it was written.
    static bool saveAsPdf(QWidget* parent, const PrintedReport& report, const QString& suggestedName);
    // Writes the PDF at that path, A4 landscape, without asking.
    static bool writePdf(const PrintedReport& report, const QString& path);

    // A file name made of the text, without the characters file systems refuse.
    static QString fileNameOf(const QString& text);
};
