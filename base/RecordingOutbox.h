#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A recording the service has not confirmed yet, as kept on this computer.
struct WaitingRecording
{
    // Its file in the outbox folder: what names it while it waits.
    QString path;
    QString patientId;
    QString sensorId;
    QDateTime recordedAt;
    QByteArray recording;
};

// The recordings of one practitioner of one service that wait for their
// upload: one file each in a folder of their own under root, which only the
// computer's user may read. The folder's name is a digest of the service
// address and the user name, so that neither shows on disk and another
// practitioner on the same computer has another folder.
class RecordingOutbox
{
public:
    RecordingOutbox(const QString& root, const QString& serviceAddress, const QString& userName);

    QString folder() const { return m_folder; }

    // Writes the recording to a new file of the folder, whole or not at all;
    // its path, or empty text when it could not be written.
    QString keep(const QString& patientId, const QString& sensorId, const QByteArray& recording,
                 const QDateTime& recordedAt);
    // The recordings waiting, of one patient or, with empty text, of all; the
    // oldest first. A file that can't be read as a recording is left alone.
    QList<WaitingRecording> waiting(const QString& patientId = {}) const;
    // Once the service has confirmed the upload.
    bool remove(const QString& path) const;
    // A recording the service refused: no longer listed nor sent, but its file
    // stays beside the others, renamed to end in ".refused".
    bool setAside(const QString& path) const;

    // A file's content, and back; a file of anything else gives a recording
    // without patient.
    static QByteArray encode(const WaitingRecording& recording);
    static WaitingRecording decode(const QByteArray& bytes);

private:
    bool holds(const QString& path) const;

    QString m_folder;
};
