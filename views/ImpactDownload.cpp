#include "views/ImpactDownload.h"

#include "audio/ImpactAudio.h"
#include "audio/ImpactWavFile.h"
#include "net/AudioBlocks.h"
#include "views/ImpactDurationRule.h"
#include "views/ImpactWavSaver.h"
#include "widgets/MessageBoxes.h"
#include "widgets/SaveFileDialog.h"
#include "widgets/StatusNote.h"

#include <QDir>
#include <QStandardPaths>

ImpactDownload::ImpactDownload(QWidget* screen) : QObject(screen), m_screen(screen) {}

void ImpactDownload::save(const QByteArray& reply, int repetitions)
{
    const ImpactWavFile file(decodeAudioBlocks(reply), repetitions);
    // A file without a sound would pass for the impact.
    if (file.dataSize() == 0) {
        emit finished();
        showError(m_screen, tr("Text.nothingToSave"));
        return;
    }
    // Refused before a name is asked for, let alone a byte written.
    if (!file.fits()) {
        emit finished();
        showError(m_screen, tooLargeText(file));
        return;
    }
    const QString fileName = SaveFileDialog::getSaveFileName(
        m_screen, tr("Text.saveFile"), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QStringLiteral("*.wav"), QStringLiteral("wav"));
    if (fileName.isEmpty()) {
        emit finished();
        return;
    }
    auto* saver = new ImpactWavSaver(m_screen, file, fileName);
    m_saver = saver;
    connect(saver, &ImpactWavSaver::finished, this, [this, saver, fileName](ImpactWavFile::Result result) {
        saver->deleteLater();
        emit finished();
        if (result == ImpactWavFile::Result::Failed || result == ImpactWavFile::Result::TooLarge)
            showError(m_screen, tr("Text.errorWavSave"));
        else if (result == ImpactWavFile::Result::Saved)
            showStatusNote(m_screen, tr("Text.wavSaved").arg(QDir::toNativeSeparators(fileName)));
    });
    saver->start();
}

ImpactWavSaver* ImpactDownload::saver() const
{
    return m_saver;
}

QString ImpactDownload::tooLargeText(const ImpactWavFile& file) const
{
    const double gigabytes = double(file.fileSize()) / double(qint64(1) << 30);
    // The most minutes per marker whose repetitions still fit.
    int minutesPerMarker = ImpactDurationRule::maxMinutes;
    while (minutesPerMarker > 0 && repetitionCount(minutesPerMarker, 1) > file.maxRepetitions())
        --minutesPerMarker;
    return tr("Text.wavTooLong")
        .arg(QString::number(gigabytes, 'f', 1), QString::number(file.longestSeconds() / 60),
             QString::number(minutesPerMarker));
}
