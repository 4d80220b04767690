#pragma once

#include "audio/SensorDeviceChoice.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <memory>

class AudioCapture;
class ProgressBar;
class QAudioBuffer;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

// The input volume for the sensor's audio input, by the entry of the sensor
// device names that picked it: the second accepted device records at 0.5, the
// sensor itself at 0.9, and the default input (no match) at 0.5.
qreal recordingVolume(const SensorDeviceMatch& match);

// Takes one three-second recording from the sensor for the open patient and
// hands it on as a WAV file with the sensor identifier (onSave). When the
// patient has a remote device it can instead send that device a command
// (onCommand). The dialog always ends rejected: a save is told only by onSave.
class AudioRecorder : public QDialog
{
    Q_OBJECT

public:
    AudioRecorder(QWidget* parent, bool hasDevices);
    // With a capture of the caller's choice instead of the one the capture
    // factory makes.
    AudioRecorder(QWidget* parent, bool hasDevices, std::unique_ptr<AudioCapture> capture);
    ~AudioRecorder() override;

    // Every way of closing (Cancel, Save, Send, Escape, the window's frame)
    // ends here: a running capture is stopped and the recording dropped.
    void reject() override;

signals:
    void onSave(QByteArray& file, QString sensorId);
    void onCommand(QString command);

public slots:
    void processBuffer(const QAudioBuffer& buffer);
    void onStartRecord();
    void onCancel();
    void onRerecord();
    void onSaveRecord();
    void onSendCommand();

private:
    enum class State
    {
        Ready,
        Recording,
        Confirm
    };

    void buildWidgets();
    QGroupBox* buildRemoteGroup();
    void showRemoteGroup(bool hasDevices);
    // Stops a running capture and starts over with an empty recording.
    void enterReady();
    void showState(const QString& message, const QString& picture);
    void finishRecording();
    void captureFailed();

    std::unique_ptr<AudioCapture> m_capture;
    QByteArray m_recording;
    State m_state = State::Ready;

    QLabel* m_labelIcon = nullptr;
    QLabel* m_labelMessage = nullptr;
    ProgressBar* m_progressBar = nullptr;
    QGroupBox* m_groupRecordStart = nullptr;
    QPushButton* m_buttonStartRecord = nullptr;
    QGroupBox* m_groupRecordConfirm = nullptr;
    QFrame* m_lineRemote = nullptr;
    QGroupBox* m_groupRemote = nullptr;
    QLabel* m_labelIconRemote = nullptr;
    QComboBox* m_comboBoxTarget = nullptr;
    QPushButton* m_buttonSendCommand = nullptr;
};
