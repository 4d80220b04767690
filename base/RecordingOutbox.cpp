#include "base/RecordingOutbox.h"

#include "base/FileSaving.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>

namespace {

const QString suffix = QStringLiteral(".recording");
constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions ownerFolder = ownerOnly | QFileDevice::ExeOwner;

QString accountFolderName(const QString& serviceAddress, const QString& userName)
{
    // A separator that neither part can contain keeps "a" + "bc" apart from "ab" + "c".
    const QByteArray account = serviceAddress.toUtf8() + '\0' + userName.toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(account, QCryptographicHash::Sha256).toHex().left(32));
}

} // namespace

RecordingOutbox::RecordingOutbox(const QString& root, const QString& serviceAddress, const QString& userName)
    : m_folder(QDir(root).filePath(QStringLiteral("outbox/") + accountFolderName(serviceAddress, userName)))
{}

QString RecordingOutbox::keep(const QString& patientId, const QString& sensorId, const QByteArray& recording,
                              const QDateTime& recordedAt)
{
    if (!QDir().mkpath(m_folder)) {
        qWarning("Cannot make the folder %s", qUtf8Printable(m_folder));
        return {};
    }
    QFile::setPermissions(m_folder, ownerFolder);
    QFile::setPermissions(QFileInfo(m_folder).path(), ownerFolder);
    const QString name = recordedAt.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmsszzz-")) +
                         QUuid::createUuid().toString(QUuid::WithoutBraces) + suffix;
    const QString path = QDir(m_folder).filePath(name);
    if (!saveWholeFile(path, encode({path, patientId, sensorId, recordedAt, recording}), ownerOnly))
        return {};
    return path;
}

QList<WaitingRecording> RecordingOutbox::waiting(const QString& patientId) const
{
    QList<WaitingRecording> found;
    const QDir folder(m_folder);
    for (const QString& name : folder.entryList({QLatin1Char('*') + suffix}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        WaitingRecording recording = decode(file.readAll());
        if (recording.patientId.isEmpty()) {
            qWarning("%s holds no recording; it stays as it is", qUtf8Printable(file.fileName()));
            continue;
        }
        if (!patientId.isEmpty() && recording.patientId != patientId)
            continue;
        recording.path = file.fileName();
        found.append(recording);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const WaitingRecording& a, const WaitingRecording& b) { return a.recordedAt < b.recordedAt; });
    return found;
}

// Only files of this folder: a path from elsewhere is never touched.
bool RecordingOutbox::holds(const QString& path) const
{
    return path.endsWith(suffix) && QFileInfo(path).absolutePath() == QFileInfo(m_folder).absoluteFilePath();
}

bool RecordingOutbox::remove(const QString& path) const
{
    return holds(path) && QFile::remove(path);
}

bool RecordingOutbox::setAside(const QString& path) const
{
    return holds(path) && QFile::rename(path, path.chopped(suffix.size()) + QStringLiteral(".refused"));
}

// The particulars as one line of JSON, then the recording's bytes as they are.
QByteArray RecordingOutbox::encode(const WaitingRecording& recording)
{
    const QJsonObject header{{QStringLiteral("patientId"), recording.patientId},
                             {QStringLiteral("sensorId"), recording.sensorId},
                             {QStringLiteral("recordedAt"), recording.recordedAt.toString(Qt::ISODateWithMs)},
                             {QStringLiteral("size"), recording.recording.size()}};
    return QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n' + recording.recording;
}

WaitingRecording RecordingOutbox::decode(const QByteArray& bytes)
{
    const int end = bytes.indexOf('\n');
    if (end < 0)
        return {};
    const QJsonObject header = QJsonDocument::fromJson(bytes.left(end)).object();
    WaitingRecording recording;
    recording.recording = bytes.mid(end + 1);
    // A file cut short on the way to the disk is no recording.
    if (recording.recording.isEmpty() || header.value(QStringLiteral("size")).toInt(-1) != recording.recording.size())
        return {};
    recording.patientId = header.value(QStringLiteral("patientId")).toString();
    recording.sensorId = header.value(QStringLiteral("sensorId")).toString();
    recording.recordedAt =
        QDateTime::fromString(header.value(QStringLiteral("recordedAt")).toString(), Qt::ISODateWithMs);
    return recording;
}
