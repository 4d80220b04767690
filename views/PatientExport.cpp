#include "views/PatientExport.h"

#include "api/Controller.h"
#include "base/FileSaving.h"
#include "data/Patient.h"
#include "widgets/MessageBoxes.h"
#include "widgets/SaveFileDialog.h"
#include "widgets/StatusNote.h"

#include <QDir>
#include <QStandardPaths>

PatientExport::PatientExport(QWidget* card) : QObject(card), m_card(card) {}

// Base64 text, perhaps with line breaks, of a spreadsheet file, which is a
// zip archive and so begins with the signature of its first entry.
QByteArray PatientExport::workbookOf(const QByteArray& answer)
{
    QByteArray text = answer;
    text.replace('\r', QByteArray()).replace('\n', QByteArray());
    const auto decoded = QByteArray::fromBase64Encoding(text.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded && decoded.decoded.startsWith("PK\x03\x04") ? decoded.decoded : QByteArray();
}

void PatientExport::start(const Patient& patient)
{
    auto* controller = new Controller(m_card);
    connect(controller, &Controller::onBytes, this, &PatientExport::save);
    connect(controller, &Controller::onError, this, &PatientExport::error);
    controller->exportExcel(patient);
}

void PatientExport::save(const QByteArray& bytes)
{
    const QByteArray workbook = workbookOf(bytes);
    if (workbook.isEmpty()) {
        showError(m_card, tr("Text.exportInvalid"));
        return;
    }
    const QString chosen = SaveFileDialog::getSaveFileName(
        m_card, tr("Text.saveFile"), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QStringLiteral("*.xlsx"), QStringLiteral("xlsx"));
    if (chosen.isEmpty())
        return;
    if (!saveWholeFile(chosen, workbook)) {
        showError(m_card, tr("Text.errorSaveFile"));
        return;
    }
    showStatusNote(m_card, tr("Text.exportSaved").arg(QDir::toNativeSeparators(chosen)));
}
