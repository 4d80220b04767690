#include "widgets/ReportOutput.h"

#include "widgets/MessageBoxes.h"
#include "widgets/PrintedReport.h"

#include <QDir>
#include <QFileDialog>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// Tables are wide (a column per recording): landscape by default. The
// printer works at the screen's resolution, so fonts given in points (those
// of charts) keep the size they have on screen.
void setUpPage(QPrinter& printer)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
    printer.setCreator(QCoreApplication::applicationName());
}

} // namespace

bool ReportOutput::print(QWidget* parent, const PrintedReport& report)
{
    QPrinter printer(QPrinter::ScreenResolution);
    setUpPage(printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setWindowTitle(tr("Text.print"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (report.print(printer))
        return true;
    showError(parent, tr("Text.printFailed"));
    return false;
}

bool ReportOutput::saveAsPdf(QWidget* parent, const PrintedReport& report, const QString& suggestedName)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = QFileDialog::getSaveFileName(
        parent, tr("Text.savePdf"), QDir(folder).filePath(fileNameOf(suggestedName) + QStringLiteral(".pdf")),
        tr("Text.pdfFiles") + QStringLiteral(" (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (!writePdf(report, path)) {
        showError(parent, tr("Text.pdfNotSaved").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    showSuccess(parent, tr("Text.pdfSaved").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool ReportOutput::writePdf(const PrintedReport& report, const QString& path)
{
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setUpPage(printer);
    return report.print(printer);
}

QString ReportOutput::fileNameOf(const QString& text)
{
    static const QRegularExpression refused(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])"));
    QString name = text;
    name.replace(refused, QStringLiteral("_"));
    return name.trimmed();
}
