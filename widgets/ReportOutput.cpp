#include "widgets/ReportOutput.h"

#include "base/FileSaving.h"
#include "widgets/MessageBoxes.h"
#include "widgets/PrintedReport.h"
#include "widgets/SaveFileDialog.h"
#include "widgets/StatusNote.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>

namespace {

// Tables are wide (a column per recording): landscape by default. Pages are
// painted at the screen's resolution, so fonts given in points (those of
// charts) keep the size they have on screen.
void setUpPage(QPagedPaintDevice& device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                     QPageLayout::Millimeter));
}

int screenResolution()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

} // namespace

bool ReportOutput::print(QWidget* parent, const PrintedReport& report)
{
    QPrinter printer(QPrinter::ScreenResolution);
    setUpPage(printer);
    printer.setCreator(QCoreApplication::applicationName());
    printer.setDocName(report.documentTitle());
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
    const QString path = SaveFileDialog::getSaveFileName(
        parent, tr("Text.savePdf"), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        tr("Text.pdfFiles") + QStringLiteral(" (*.pdf)"), QStringLiteral("pdf"),
        fileNameOf(suggestedName) + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return false;
    if (!writePdf(report, path)) {
        showError(parent, tr("Text.pdfNotSaved").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    showStatusNote(parent, tr("Text.pdfSaved").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool ReportOutput::writePdf(const PrintedReport& report, const QString& path)
{
    // Made in memory, then saved whole: the PDF engine doesn't report a write
    // that fails, and a file it opened itself would already have lost an
    // earlier file of that name.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(screenResolution());
        writer.setCreator(QCoreApplication::applicationName());
        writer.setTitle(report.documentTitle());
        setUpPage(writer);
        if (!report.print(writer))
            return false;
    }
    return saveWholeFile(path, pdf.data());
}

QString ReportOutput::fileNameOf(const QString& text)
{
    static const QRegularExpression refused(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])"));
    QString name = text;
    name.replace(refused, QStringLiteral("_"));
    return name.trimmed();
}
