#include "audio/AudioRecorder.h"

#include "audio/AudioInputCapture.h"
#include "audio/SensorAudioFormat.h"
#include "audio/SensorId.h"
#include "widgets/MessageBoxes.h"
#include "widgets/ProgressBar.h"

#include <QAudioBuffer>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString secondDeviceName = QStringLiteral("C-Media USB Headphone Set");
const QString sensorName = QStringLiteral("Sonvera USB v");

QPixmap iconPicture(const QString& path)
{
    return QPixmap(path).scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QLabel* iconLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFixedSize(32, 32);
    return label;
}

QPushButton* button(const QString& objectName, const QString& text, QWidget* parent)
{
    auto* pushButton = new QPushButton(text, parent);
    pushButton->setObjectName(objectName);
    return pushButton;
}

// A borderless row of buttons, right-aligned.
QGroupBox* buttonGroup(const QString& objectName, const QList<QPushButton*>& buttons, QWidget* parent)
{
    auto* group = new QGroupBox(parent);
    group->setObjectName(objectName);
    auto* layout = new QHBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    for (QPushButton* pushButton : buttons) {
        pushButton->setParent(group);
        layout->addWidget(pushButton);
    }
    return group;
}

} // namespace

qreal recordingVolume(const SensorDeviceMatch& match)
{
    if (match.entry == secondDeviceName)
        return 0.5;
    if (match.entry.contains(sensorName))
        return 0.9;
    return 0.5;
}

AudioRecorder::AudioRecorder(QWidget* parent, bool hasDevices) : AudioRecorder(parent, hasDevices, nullptr) {}

AudioRecorder::AudioRecorder(QWidget* parent, bool hasDevices, std::unique_ptr<AudioCapture> capture)
    : QDialog(parent), m_capture(capture ? std::move(capture) : AudioCaptureFactory::create())
{
    setObjectName(QStringLiteral("AudioRecorder"));
    setWindowTitle(tr("Title.signalRecord"));
    setMinimumSize(600, 300);
    setMaximumSize(600, 350);
    resize(600, 333);
    buildWidgets();

    connect(m_capture.get(), &AudioCapture::bufferCaptured, this, &AudioRecorder::processBuffer);
    connect(m_capture.get(), &AudioCapture::failed, this, &AudioRecorder::captureFailed);
    m_progressBar->bufferLengthChanged(kRecordingLimit);
    showRemoteGroup(hasDevices);
    enterReady();
}

// The capture stops itself when it goes.
AudioRecorder::~AudioRecorder() = default;

void AudioRecorder::buildWidgets()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);

    m_labelIcon = iconLabel(QStringLiteral("labelIcon"), this);
    m_labelMessage = new QLabel(this);
    m_labelMessage->setObjectName(QStringLiteral("labelMessage"));
    m_labelMessage->setWordWrap(true);
    auto* messageRow = new QHBoxLayout;
    messageRow->setSpacing(12);
    messageRow->addWidget(m_labelIcon);
    messageRow->addWidget(m_labelMessage, 1);
    layout->addLayout(messageRow);

    auto* progressBarContainer = new QVBoxLayout;
    progressBarContainer->setObjectName(QStringLiteral("progressBarContainer"));
    progressBarContainer->setContentsMargins(0, 0, 0, 0);
    m_progressBar = new ProgressBar(&m_recording, this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBarContainer->addWidget(m_progressBar);
    layout->addLayout(progressBarContainer);

    auto* buttonCancelRecord = button(QStringLiteral("buttonCancelRecord"), tr("Text.cancel"), this);
    buttonCancelRecord->setAutoDefault(false);
    m_buttonStartRecord = button(QStringLiteral("buttonStartRecord"), tr("Text.startRecord"), this);
    m_groupRecordStart =
        buttonGroup(QStringLiteral("groupRecordStart"), {buttonCancelRecord, m_buttonStartRecord}, this);
    layout->addWidget(m_groupRecordStart);

    auto* buttonCancel = button(QStringLiteral("buttonCancel"), tr("Text.cancel"), this);
    buttonCancel->setAutoDefault(false);
    auto* buttonRerecord = button(QStringLiteral("buttonRerecord"), tr("Text.reRecord"), this);
    buttonRerecord->setAutoDefault(false);
    auto* buttonSaveRecord = button(QStringLiteral("buttonSaveRecord"), tr("Text.saveRecord"), this);
    m_groupRecordConfirm =
        buttonGroup(QStringLiteral("groupRecordConfirm"), {buttonCancel, buttonRerecord, buttonSaveRecord}, this);
    layout->addWidget(m_groupRecordConfirm);

    layout->addStretch();
    m_lineRemote = new QFrame(this);
    m_lineRemote->setObjectName(QStringLiteral("lineRemote"));
    m_lineRemote->setFrameShape(QFrame::HLine);
    m_lineRemote->setFrameShadow(QFrame::Sunken);
    layout->addWidget(m_lineRemote);
    m_groupRemote = buildRemoteGroup();
    layout->addWidget(m_groupRemote);

    connect(m_buttonStartRecord, &QPushButton::clicked, this, &AudioRecorder::onStartRecord);
    connect(buttonCancel, &QPushButton::clicked, this, &AudioRecorder::onCancel);
    connect(buttonCancelRecord, &QPushButton::clicked, this, &AudioRecorder::onCancel);
    connect(buttonRerecord, &QPushButton::clicked, this, &AudioRecorder::onRerecord);
    connect(buttonSaveRecord, &QPushButton::clicked, this, &AudioRecorder::onSaveRecord);
}

QGroupBox* AudioRecorder::buildRemoteGroup()
{
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("groupRemote"));
    auto* layout = new QHBoxLayout(group);
    layout->setSpacing(12);

    m_labelIconRemote = iconLabel(QStringLiteral("labelIconRemote"), group);
    auto* labelMessageRemote = new QLabel(tr("Text.messageRemote"), group);
    labelMessageRemote->setObjectName(QStringLiteral("labelMessageRemote"));
    labelMessageRemote->setWordWrap(true);
    m_comboBoxTarget = new QComboBox(group);
    m_comboBoxTarget->setObjectName(QStringLiteral("comboBoxTarget"));
    m_buttonSendCommand = button(QStringLiteral("buttonSendCommand"), tr("Text.send"), group);
    m_buttonSendCommand->setAutoDefault(false);

    layout->addWidget(m_labelIconRemote);
    layout->addWidget(labelMessageRemote, 1);
    layout->addWidget(m_comboBoxTarget);
    layout->addWidget(m_buttonSendCommand);
    return group;
}

void AudioRecorder::showRemoteGroup(bool hasDevices)
{
    if (!hasDevices) {
        m_lineRemote->hide();
        m_groupRemote->hide();
        // Without the remote group the dialog is lower than its usual
        // minimum: the minimum follows, or the toolkit would keep 300.
        setMinimumHeight(250);
        resize(width(), 250);
        return;
    }
    m_labelIconRemote->setPixmap(iconPicture(QStringLiteral(":/images/connected-device.png")));
    m_comboBoxTarget->addItem(tr("Text.record"), QStringLiteral("RECORD"));
    m_comboBoxTarget->addItem(tr("Text.autospectrum"), QStringLiteral("AUTOSPECTRUM"));
    m_comboBoxTarget->setCurrentIndex(0);
    m_lineRemote->show();
    m_groupRemote->show();
    connect(m_buttonSendCommand, &QPushButton::clicked, this, &AudioRecorder::onSendCommand);
}

void AudioRecorder::showState(const QString& message, const QString& picture)
{
    m_labelMessage->setText(message);
    m_labelIcon->setPixmap(iconPicture(picture));
}

void AudioRecorder::onRerecord()
{
    enterReady();
}

void AudioRecorder::enterReady()
{
    if (m_state == State::Recording)
        m_capture->stop();
    m_state = State::Ready;
    m_recording.clear();
    m_progressBar->bufferLengthChanged(kRecordingLimit);
    m_groupRecordStart->show();
    m_groupRecordConfirm->hide();
    showState(tr("Dialog.signalRecord"), QStringLiteral(":/images/record-sensor.png"));
    m_buttonStartRecord->setEnabled(true);
}

void AudioRecorder::onStartRecord()
{
    // Start is offered in the Ready state only; a second start would run two
    // captures into one recording.
    if (m_state != State::Ready)
        return;
    m_buttonStartRecord->setEnabled(false);
    m_labelMessage->setText(tr("Dialog.signalRecordInProgress"));
    m_recording.clear();

    const SensorAudioDevice input = chooseSensorAudioDevice(QAudio::AudioInput);
    m_state = State::Recording;
    m_capture->start(input.device, recordingVolume(input.match));
}

void AudioRecorder::processBuffer(const QAudioBuffer& buffer)
{
    // A capture may deliver a last buffer after it was stopped: once the
    // recording is complete or dropped, such a buffer is not part of it.
    if (m_state != State::Recording)
        return;
    m_recording.append(buffer.constData<char>(), buffer.byteCount());
    m_progressBar->recordPositionChanged(m_recording.size());
    if (m_recording.size() >= kRecordingLimit)
        finishRecording();
}

void AudioRecorder::captureFailed()
{
    // Waiting for samples that will never come would leave Start dead.
    if (m_state != State::Recording)
        return;
    enterReady();
    showError(this, tr("Text.recordingFailed"));
}

void AudioRecorder::finishRecording()
{
    m_capture->stop();
    m_state = State::Confirm;
    m_recording.truncate(kRecordingLimit);
    m_groupRecordStart->hide();
    m_groupRecordConfirm->show();
    showState(tr("Dialog.signalRecordConfirm"), QStringLiteral(":/images/record-done.png"));
    // The completing buffer moves no progress, but its samples belong to the
    // waveform shown for confirmation.
    m_progressBar->update();
}

void AudioRecorder::onSaveRecord()
{
    // Only a complete recording is ever handed on.
    if (m_state != State::Confirm)
        return;
    const QString identifier = sensorId();
    QByteArray file = wavHeader(m_recording.size()) + m_recording;
    emit onSave(file, identifier);
    reject();
}

void AudioRecorder::onCancel()
{
    reject();
}

void AudioRecorder::onSendCommand()
{
    if (m_comboBoxTarget->currentIndex() < 0)
        return;
    emit onCommand(m_comboBoxTarget->currentData().toString());
    reject();
}

void AudioRecorder::reject()
{
    // Hidden first, so that the start over is never seen.
    QDialog::reject();
    enterReady();
}
