#include "views/DialogManageDevices.h"

#include "audio/SensorId.h"
#include "data/Patient.h"
#include "widgets/MessageBoxes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int errorShownMs = 3000;

// A centred, wrapped label as high as two lines whatever it holds: a message
// that comes and goes moves nothing below it.
QLabel* twoLineLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    // The style sheet's font decides how high a line is.
    label->ensurePolished();
    label->setFixedHeight(2 * label->fontMetrics().lineSpacing() + 4);
    return label;
}

void addCentred(QVBoxLayout* layout, QWidget* widget)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(widget);
    row->addStretch();
    layout->addLayout(row);
}

} // namespace

DialogManageDevices::DialogManageDevices(QWidget* parent, const Patient& patient) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogManageDevices"));
    setWindowTitle(tr("Text.manageDevices"));
    resize(400, 300);
    buildWidgets();

    showPatient(patient);

    m_errorTimer.setSingleShot(true);
    m_errorTimer.setInterval(errorShownMs);
    // A coarse timer may end the message 5% early.
    m_errorTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_errorTimer, &QTimer::timeout, this, [this] {
        m_labelError->clear();
        m_buttonConnect->setEnabled(true);
    });
    connect(m_buttonConnect, &QPushButton::clicked, this, &DialogManageDevices::onConnect);
    connect(m_buttonDisconnect, &QPushButton::clicked, this, &DialogManageDevices::onDisconnect);
    connect(m_buttonToggle, &QPushButton::clicked, this, &DialogManageDevices::onToggle);
}

void DialogManageDevices::buildWidgets()
{
    m_labelState = twoLineLabel(QStringLiteral("labelState"), this);
    m_labelError = twoLineLabel(QStringLiteral("labelError"), this);
    m_buttonToggle = new QPushButton(this);
    m_buttonToggle->setObjectName(QStringLiteral("buttonToggle"));
    // Hidden without a device, yet holding its place: the buttons below it
    // stand where they stand for every patient.
    QSizePolicy togglePolicy = m_buttonToggle->sizePolicy();
    togglePolicy.setRetainSizeWhenHidden(true);
    m_buttonToggle->setSizePolicy(togglePolicy);
    m_buttonConnect = new QPushButton(tr("Text.connect"), this);
    m_buttonConnect->setObjectName(QStringLiteral("buttonConnect"));
    m_buttonDisconnect = new QPushButton(tr("Text.disconnect"), this);
    m_buttonDisconnect->setObjectName(QStringLiteral("buttonDisconnect"));
    m_buttonDisconnect->setEnabled(false);
    for (QPushButton* button : {m_buttonToggle, m_buttonConnect, m_buttonDisconnect})
        button->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 24);
    layout->addWidget(m_labelState);
    layout->addWidget(m_labelError);
    layout->addStretch();
    addCentred(layout, m_buttonToggle);
    layout->addStretch();
    addCentred(layout, m_buttonConnect);
    layout->addStretch();
    addCentred(layout, m_buttonDisconnect);
}

void DialogManageDevices::showPatient(const Patient& patient)
{
    m_labelState->setText(!patient.hasDevices() ? tr("Text.deviceNotBound")
                          : patient.isEnabled() ? tr("Text.deviceBoundEnabled")
                                                : tr("Text.deviceBoundBlocked"));
    m_buttonToggle->setText(
        patient.hasDevices() ? (patient.isEnabled() ? tr("Text.disableDevice") : tr("Text.enableDevice")) : QString());
    m_hasDevice = patient.hasDevices();
    // Without a device there is nothing to block: no empty button stands there.
    m_buttonToggle->setVisible(patient.hasDevices());
    m_buttonToggle->setEnabled(patient.hasDevices());
    m_buttonDisconnect->setEnabled(patient.hasDevices());
    m_buttonConnect->setEnabled(true);
    m_labelError->clear();
}

void DialogManageDevices::showRefusal(const QString& message)
{
    m_labelError->setText(message);
    m_buttonConnect->setEnabled(true);
    // A refused disconnect leaves the device bound.
    m_buttonDisconnect->setEnabled(m_hasDevice);
}

void DialogManageDevices::onConnect()
{
    m_buttonConnect->setEnabled(false);
    m_labelError->clear();
    const QString identifier = sensorId();
    if (!identifier.isEmpty()) {
        emit listenerConnect(identifier);
        return;
    }
    m_labelError->setText(tr("Text.deviceNotConnected"));
    m_errorTimer.start();
}

void DialogManageDevices::onDisconnect()
{
    m_buttonDisconnect->setEnabled(false);
    m_labelError->clear();
    if (askYesNo(this, tr("Text.titleDisconnect"), tr("Text.confirmDisconnect")))
        emit listenerDisconnect();
    else
        m_buttonDisconnect->setEnabled(true);
}

void DialogManageDevices::onToggle()
{
    m_buttonToggle->setEnabled(false);
    emit listenerToggle();
    close();
}
