#pragma once

#include "audio/ImpactWavFile.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QTimer>

#include <atomic>

class QThread;
class QWidget;

// Writes an impact's WAV file on a worker thread, so the screen stays alive
// however long the file, while a progress dialog over the screen shows how
// far it got. The dialog's Cancel stops the writing and leaves nothing
// behind. Reports finished() once, after the worker has ended.
class ImpactWavSaver : public QObject
{
    Q_OBJECT

public:
    ImpactWavSaver(QWidget* screen, ImpactWavFile file, QString fileName);
    // A save still running is cancelled and waited for.
    ~ImpactWavSaver() override;

    void start();
    QProgressDialog* dialog() const { return m_dialog; }

signals:
    void finished(ImpactWavFile::Result result);

private:
    void showProgress();
    void onWorkerFinished();

    QPointer<QWidget> m_screen;
    ImpactWavFile m_file;
    QString m_fileName;
    QPointer<QProgressDialog> m_dialog;
    QThread* m_worker = nullptr;
    QTimer m_tick;
    // Shared with the worker.
    std::atomic<qint64> m_written{0};
    std::atomic<bool> m_cancel{false};
    ImpactWavFile::Result m_result = ImpactWavFile::Result::Failed;
};
