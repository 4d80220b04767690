#include "api/RecordingUploader.h"

#include "api/Controller.h"
#include "base/Account.h"
#include "data/Patient.h"
#include "net/ServiceUrl.h"

#include <QJsonObject>
#include <QStandardPaths>

RecordingUploader& RecordingUploader::instance()
{
    static RecordingUploader uploader;
    return uploader;
}

RecordingUploader::RecordingUploader()
{
    m_retry.setInterval(defaultRetryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, [this] { sendWaiting(Origin::Background); });
}

std::optional<RecordingOutbox> RecordingUploader::signedInOutbox()
{
    const Account& account = Account::instance();
    if (account.userName().isEmpty() || account.accessToken().isEmpty())
        return std::nullopt;
    return RecordingOutbox(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), ServiceUrl::base(),
                           account.userName());
}

void RecordingUploader::upload(const Patient& patient, const QByteArray& recording, const QString& sensorId,
                               QWidget* overlayWidget)
{
    std::optional<RecordingOutbox> outbox = signedInOutbox();
    WaitingRecording kept{{}, patient.id(), sensorId, QDateTime::currentDateTime(), recording};
    if (outbox)
        kept.path = outbox->keep(kept.patientId, sensorId, recording, kept.recordedAt);
    if (kept.path.isEmpty())
        qWarning("The recording of patient %s could not be kept; it is sent as it is", qUtf8Printable(patient.id()));
    else
        emit waitingChanged(kept.patientId);
    send(outbox.value_or(RecordingOutbox({}, {}, {})), kept, Origin::Recorded, overlayWidget, [this](bool answered) {
        // The service answers again: what waited may go too.
        if (answered)
            sendWaiting(Origin::Background);
    });
}

QList<WaitingRecording> RecordingUploader::waiting(const QString& patientId) const
{
    const std::optional<RecordingOutbox> outbox = signedInOutbox();
    return outbox ? outbox->waiting(patientId) : QList<WaitingRecording>{};
}

void RecordingUploader::sendWaiting(Origin origin)
{
    // One pass at a time; a practitioner asking meanwhile hears how it ends.
    if (origin == Origin::Asked)
        m_passOrigin = origin;
    if (m_passRunning)
        return;
    m_passRunning = true;
    m_passOrigin = origin;
    sendNextWaiting();
}

void RecordingUploader::sendNextWaiting()
{
    const std::optional<RecordingOutbox> outbox = signedInOutbox();
    const QList<WaitingRecording> all = outbox ? outbox->waiting() : QList<WaitingRecording>{};
    for (const WaitingRecording& recording : all) {
        if (m_sending.contains(recording.path))
            continue;
        send(*outbox, recording, m_passOrigin, nullptr, [this](bool answered) {
            if (answered) {
                sendNextWaiting();
                return;
            }
            // The service is not answering yet: the rest wait for the next try.
            m_passRunning = false;
        });
        return;
    }
    m_passRunning = false;
    // Those on their way start the timer again should they fail.
    if (all.isEmpty())
        m_retry.stop();
}

void RecordingUploader::send(const RecordingOutbox& outbox, const WaitingRecording& recording, Origin origin,
                             QWidget* overlayWidget, std::function<void(bool)> done)
{
    setSending(recording, true);
    auto* controller = new Controller(overlayWidget);
    // The timer's tries must not put a question over the practitioner's work
    // each time the service is out of reach or the sign-in has ended.
    controller->setUnattended(origin == Origin::Background);
    // What fails to arrive waits on disk and is shown as waiting.
    controller->setKeptWhenUnreachable(true);
    connect(controller, &Controller::onBytes, this, [this, outbox, recording, done](const QByteArray& answer) {
        if (!recording.path.isEmpty() && !outbox.remove(recording.path))
            qWarning("The confirmed recording %s could not be removed", qUtf8Printable(recording.path));
        setSending(recording, false);
        emit uploaded(recording.patientId, answer);
        done(true);
    });
    connect(controller, &Controller::onError, this,
            [this, controller, outbox, recording, origin, done](const QString& message) {
                // Read before the report: its receiver may hold a modal box open.
                const bool retry = controller->failure().worthRetrying();
                const bool kept = !recording.path.isEmpty() && retry;
                // A refusal of the recording itself would be refused again. A
                // new one the practitioner hears of at once; one that waited
                // may have done so unseen, and stays on disk, set aside.
                if (!kept && !recording.path.isEmpty()) {
                    qWarning("The service refused the recording %s: %s", qUtf8Printable(recording.path),
                             qUtf8Printable(message));
                    if (origin == Origin::Recorded)
                        outbox.remove(recording.path);
                    else
                        outbox.setAside(recording.path);
                }
                setSending(recording, false);
                if (kept)
                    m_retry.start();
                emit failed(recording.patientId, message, origin, kept);
                done(!retry);
            });
    controller->uploadRecord(Patient(QJsonObject{{QStringLiteral("id"), recording.patientId}}), recording.recording,
                             recording.sensorId);
}

void RecordingUploader::setSending(const WaitingRecording& recording, bool sending)
{
    if (recording.path.isEmpty())
        return;
    if (sending)
        m_sending.insert(recording.path);
    else
        m_sending.remove(recording.path);
    emit waitingChanged(recording.patientId);
}
