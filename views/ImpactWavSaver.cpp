#include "views/ImpactWavSaver.h"

#include <QProgressDialog>
#include <QThread>
#include <QWidget>

#include <utility>

namespace {

// The progress bar counts in thousandths: file sizes don't fit its int range.
constexpr int progressSteps = 1000;
constexpr int tickMs = 100;

} // namespace

ImpactWavSaver::ImpactWavSaver(QWidget* screen, ImpactWavFile file, QString fileName)
    : QObject(screen), m_screen(screen), m_file(std::move(file)), m_fileName(std::move(fileName))
{
    m_tick.setInterval(tickMs);
    connect(&m_tick, &QTimer::timeout, this, &ImpactWavSaver::showProgress);
}

ImpactWavSaver::~ImpactWavSaver()
{
    if (m_worker) {
        m_cancel = true;
        m_worker->wait();
        delete m_worker;
    }
    delete m_dialog;
}

void ImpactWavSaver::start()
{
    m_dialog = new QProgressDialog(tr("Text.savingWav"), tr("Text.cancel"), 0, progressSteps, m_screen);
    m_dialog->setObjectName(QStringLiteral("dialogWavProgress"));
    m_dialog->setWindowTitle(tr("Title.saveWav"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
    connect(m_dialog, &QProgressDialog::canceled, this, [this] { m_cancel = true; });
    m_dialog->show();

    m_worker = QThread::create([this] {
        m_result = m_file.write(m_fileName, [this](qint64 written) {
            m_written.store(written, std::memory_order_relaxed);
            return !m_cancel.load(std::memory_order_relaxed);
        });
    });
    m_worker->setObjectName(QStringLiteral("ImpactWavWriter"));
    // Queued to this object's thread: the result is read once the worker is done.
    connect(m_worker, &QThread::finished, this, &ImpactWavSaver::onWorkerFinished);
    m_worker->start();
    m_tick.start();
}

void ImpactWavSaver::showProgress()
{
    const qint64 total = m_file.fileSize();
    if (m_dialog && total > 0 && !m_cancel)
        m_dialog->setValue(int(m_written.load(std::memory_order_relaxed) * progressSteps / total));
}

void ImpactWavSaver::onWorkerFinished()
{
    m_tick.stop();
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    if (m_dialog) {
        m_dialog->hide();
        m_dialog->deleteLater();
    }
    emit finished(m_result);
}
