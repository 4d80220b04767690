#pragma once

#include "base/RecordingOutbox.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class Patient;
class QWidget;

// Sends recordings to the service without losing one. A new recording is kept
// in the signed-in practitioner's outbox before it goes, and its file is
// removed only once the service has confirmed it; when the service could not
// be reached, failed on its side or refused the sign-in, the recording waits
// there. Waiting recordings go again, one after another, when the
// practitioner asks, after any confirmed upload and on a timer while some
// wait. A file is never on its way twice at once, so no record arrives twice.
class RecordingUploader : public QObject
{
    Q_OBJECT

public:
    // Who started a send: whether its failure is told to the practitioner.
    enum class Origin
    {
        Recorded,  // a new recording from the recorder
        Asked,     // the practitioner asked to send the waiting ones
        Background // the timer, or the service answering again
    };
    Q_ENUM(Origin)

    static constexpr int defaultRetryIntervalMs = 30000;

    static RecordingUploader& instance();

    // The recording is kept, then sent with the overlay over overlayWidget.
    void upload(const Patient& patient, const QByteArray& recording, const QString& sensorId, QWidget* overlayWidget);
    // Starts sending the signed-in practitioner's waiting recordings, unless
    // that is under way already.
    void sendWaiting(Origin origin = Origin::Background);

    // The signed-in practitioner's recordings of that patient still waiting,
    // the oldest first; those on their way included.
    QList<WaitingRecording> waiting(const QString& patientId) const;
    bool isSending(const QString& path) const { return m_sending.contains(path); }

    // Tests shorten the wait between tries.
    void setRetryInterval(int milliseconds) { m_retry.setInterval(milliseconds); }

signals:
    // The service confirmed the recording; answer is its record.
    void uploaded(const QString& patientId, const QByteArray& answer);
    // The recording did not reach the service: kept to be sent again, or,
    // when the service refused the recording itself, dropped.
    void failed(const QString& patientId, const QString& message, RecordingUploader::Origin origin, bool kept);
    // The patient's waiting recordings, or their sending state, changed.
    void waitingChanged(const QString& patientId);

private:
    RecordingUploader();

    // Nobody signed in by name has no outbox: a recording then goes as it is.
    static std::optional<RecordingOutbox> signedInOutbox();
    void sendNextWaiting();
    // Sends one recording; done gets whether the service answered it, with
    // the record or a refusal of the recording.
    void send(const RecordingOutbox& outbox, const WaitingRecording& recording, Origin origin, QWidget* overlayWidget,
              std::function<void(bool)> done);
    void setSending(const WaitingRecording& recording, bool sending);

    QSet<QString> m_sending;
    bool m_passRunning = false;
    Origin m_passOrigin = Origin::Background;
    QTimer m_retry;
};
