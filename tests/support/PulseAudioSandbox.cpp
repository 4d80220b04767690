#include "PulseAudioSandbox.h"

#include "TiedProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString serverConfiguration(const QString& folder)
{
    // A decoy first, so the default sink is not the sensor. norewinds keeps the
    // first samples played into a null sink from being lost.
    const QString sensorDescription = QStringLiteral("Sonvera USB v1.01 Analog Mono");
    return QStringLiteral(
               "load-module module-native-protocol-unix auth-anonymous=1 socket=%1/native\n"
               "load-module module-null-sink sink_name=%2 rate=22050 channels=1 format=u8 norewinds=1 "
               "sink_properties=\"device.description='Built-in Audio Analog Stereo'\"\n"
               "load-module module-null-sink sink_name=%3 rate=22050 channels=1 format=u8 norewinds=1 "
               "sink_properties=\"device.description='%5'\"\n"
               "load-module module-pipe-source source_name=%4 file=%1/in.fifo format=u8 rate=22050 channels=1 "
               "source_properties=\"device.description='%5'\"\n"
               "set-default-sink %2\n"
               "set-default-source %2.monitor\n")
        .arg(folder, PulseAudioSandbox::decoySinkName(), PulseAudioSandbox::sensorSinkName(),
             PulseAudioSandbox::sensorSourceName(), sensorDescription);
}

} // namespace

PulseAudioSandbox::PulseAudioSandbox() = default;

PulseAudioSandbox::~PulseAudioSandbox()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.closeWriteChannel();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(2000);
        }
    }
}

QString PulseAudioSandbox::sensorSinkName()
{
    return QStringLiteral("alsa_output.usb-Maker_Sonvera_USB_v1.01_0001-00.analog-mono");
}

QString PulseAudioSandbox::sensorSourceName()
{
    return QStringLiteral("alsa_input.usb-Maker_Sonvera_USB_v1.01_0001-00.mono-fallback");
}

QString PulseAudioSandbox::decoySinkName()
{
    return QStringLiteral("alsa_output.pci-0000_00_1f.3.analog-stereo");
}

QString PulseAudioSandbox::sourceFifoPath() const
{
    return m_folder.filePath(QStringLiteral("in.fifo"));
}

bool PulseAudioSandbox::start()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty()) {
        m_whyNot = QStringLiteral("the pulseaudio program is not installed");
        return false;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()) {
        m_whyNot = QStringLiteral("the pactl program (pulseaudio-utils) is not installed");
        return false;
    }
    if (!m_folder.isValid()) {
        m_whyNot = QStringLiteral("no temporary folder");
        return false;
    }
    const QString folder = m_folder.path();
    QDir(folder).mkpath(QStringLiteral("xdg"));
    QDir(folder).mkpath(QStringLiteral("home"));
    QFile::setPermissions(folder + QStringLiteral("/xdg"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile configuration(m_folder.filePath(QStringLiteral("pa.pa")));
    if (!configuration.open(QIODevice::WriteOnly) || configuration.write(serverConfiguration(folder).toUtf8()) < 0) {
        m_whyNot = QStringLiteral("can't write the server configuration");
        return false;
    }
    configuration.close();

    // The server and every client of the process find each other here.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder + QStringLiteral("/xdg")));
    qputenv("HOME", QFile::encodeName(folder + QStringLiteral("/home")));
    qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + folder + QStringLiteral("/native")));
    qunsetenv("PULSE_SINK");
    qunsetenv("PULSE_SOURCE");

    m_server.setProcessChannelMode(QProcess::MergedChannels);
    startTiedToThisProcess(m_server, program,
                           {QStringLiteral("-n"), QStringLiteral("-F"), configuration.fileName(),
                            QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                            QStringLiteral("--disallow-exit=yes"), QStringLiteral("--log-target=stderr")});
    if (!m_server.waitForStarted(5000)) {
        m_whyNot = QStringLiteral("pulseaudio did not start: ") + m_server.errorString();
        return false;
    }
    return waitUntilServing();
}

bool PulseAudioSandbox::waitUntilServing()
{
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (m_server.state() == QProcess::NotRunning) {
            m_whyNot =
                QStringLiteral("pulseaudio ended at start: ") + QString::fromLocal8Bit(m_server.readAll().right(600));
            return false;
        }
        bool ok = false;
        const QByteArray sinks = runClient(
            QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")}, &ok);
        if (ok && sinks.contains(sensorSinkName().toUtf8()))
            return true;
        QThread::msleep(50);
    }
    m_whyNot = QStringLiteral("pulseaudio did not serve within 15 s: ") +
               QString::fromLocal8Bit(m_server.readAll().right(600));
    return false;
}

QByteArray PulseAudioSandbox::runClient(const QString& program, const QStringList& arguments, bool* ok)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(10000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return process.readAllStandardOutput();
}

FifoFeeder::FifoFeeder(const QString& path, QByteArray stream, QObject* parent)
    : QObject(parent), m_stream(std::move(stream))
{
    // The pipe source holds the FIFO open for reading, so this doesn't fail.
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
    if (m_fd < 0)
        return;
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &FifoFeeder::feed);
    timer->start(10);
    feed();
}

FifoFeeder::~FifoFeeder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void FifoFeeder::feed()
{
    while (m_written < m_stream.size()) {
        const ssize_t n = ::write(m_fd, m_stream.constData() + m_written, size_t(m_stream.size() - m_written));
        if (n <= 0)
            return;
        m_written += n;
    }
}

QByteArray distinctiveSignal(int size)
{
    QByteArray signal(size, Qt::Uninitialized);
    quint32 state = 0xACE1u;
    for (int i = 0; i < size; ++i) {
        // 32-bit Galois shift register, one byte per step of eight bits.
        quint8 byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const quint32 out = state & 1u;
            state >>= 1;
            if (out)
                state ^= 0x80200003u;
            byte = quint8((byte << 1) | out);
        }
        signal[i] = char(byte);
    }
    return signal;
}

int alignmentOf(const QByteArray& piece, const QByteArray& stream)
{
    if (piece.size() < 16)
        return -1;
    return stream.indexOf(piece.left(16));
}
