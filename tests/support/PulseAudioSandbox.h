#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private PulseAudio server for real-sound tests, with devices named and
// described as a USB sensor would be: a null sink (what is played into it can
// be captured back from its monitor) and a pipe source (what a test writes
// into its FIFO is what recording from it gives). A decoy sink, which is the
// default, makes sure the sensor is found by the device rule and not by luck.
//
// The server's address goes into the environment, so start() must come before
// the first use of the toolkit's audio classes in the process.
class PulseAudioSandbox
{
public:
    PulseAudioSandbox();
    ~PulseAudioSandbox();
    PulseAudioSandbox(const PulseAudioSandbox&) = delete;
    PulseAudioSandbox& operator=(const PulseAudioSandbox&) = delete;

    // False, with the reason in whyNot(), when the server can't run here.
    bool start();
    QString whyNot() const { return m_whyNot; }

    static QString sensorSinkName();
    static QString sensorSourceName();
    static QString decoySinkName();
    QString sourceFifoPath() const;

private:
    // Runs a client tool of the server (pactl...) against it to its end.
    QByteArray runClient(const QString& program, const QStringList& arguments, bool* ok = nullptr);
    bool waitUntilServing();

    QTemporaryDir m_folder;
    QProcess m_server;
    QString m_whyNot;
};

// Writes a stream of bytes into a FIFO without blocking the event loop: what
// the pipe doesn't take now is offered again on the next tick.
class FifoFeeder : public QObject
{
    Q_OBJECT

public:
    FifoFeeder(const QString& path, QByteArray stream, QObject* parent = nullptr);
    ~FifoFeeder() override;

    bool isOpen() const { return m_fd >= 0; }

private:
    void feed();

    QByteArray m_stream;
    qint64 m_written = 0;
    int m_fd = -1;
};

// A stream in which every window of 16 bytes occurs once, so a captured piece
// can be found again in it (a maximal-length shift register's output).
QByteArray distinctiveSignal(int size);
// Where `piece` starts in `stream`, found by its first 16 bytes, or -1.
int alignmentOf(const QByteArray& piece, const QByteArray& stream);
