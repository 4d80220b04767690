#pragma once

#include <QObject>
#include <QPointer>

class ImpactWavFile;
class ImpactWavSaver;
class QWidget;

// The impact screen's Download target: the service's audio reply becomes a
// WAV file where the practitioner chooses. A reply without any sound, or a
// file too large for the format, is refused before a name is asked for.
class ImpactDownload : public QObject
{
    Q_OBJECT

public:
    explicit ImpactDownload(QWidget* screen);

    // Reports finished() once, whatever the outcome.
    void save(const QByteArray& reply, int repetitions);
    // The file being written, if any.
    ImpactWavSaver* saver() const;

signals:
    void finished();

private:
    QString tooLargeText(const ImpactWavFile& file) const;

    QWidget* m_screen;
    QPointer<ImpactWavSaver> m_saver;
};
