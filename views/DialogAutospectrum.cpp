#include "views/DialogAutospectrum.h"

#include "widgets/ScreenPlacement.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>

DialogAutospectrum::DialogAutospectrum(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogAutospectrum"));
    setWindowTitle(tr("Text.autospectrum"));
    resize(400, 300);
    buildWidgets();

    setFixedSize(size());
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setModal(true);
    centreOnFirstScreen(*this, QGuiApplication::screens());

    connect(m_spinBoxDuration, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int minutes) { m_buttonConfirm->setEnabled(minutes > 0); });
    connect(m_buttonConfirm, &QPushButton::clicked, this, &DialogAutospectrum::onConfirm);
    connect(m_buttonCancel, &QPushButton::clicked, this, &DialogAutospectrum::onCancel);
}

void DialogAutospectrum::buildWidgets()
{
    auto* labelDuration = new QLabel(tr("Text.duration"), this);
    labelDuration->setObjectName(QStringLiteral("labelDuration"));
    m_spinBoxDuration = new QSpinBox(this);
    m_spinBoxDuration->setObjectName(QStringLiteral("spinBoxDuration"));
    m_spinBoxDuration->setMinimum(1);
    m_spinBoxDuration->setValue(1);
    m_spinBoxDuration->setSuffix(tr("Text.minutes"));

    m_buttonCancel = new QPushButton(tr("Text.cancel"), this);
    m_buttonCancel->setObjectName(QStringLiteral("buttonCancel"));
    m_buttonCancel->setAutoDefault(false);
    m_buttonConfirm = new QPushButton(tr("Text.confirm"), this);
    m_buttonConfirm->setObjectName(QStringLiteral("buttonConfirm"));
    m_buttonConfirm->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_buttonConfirm);

    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    layout->addRow(labelDuration, m_spinBoxDuration);
    layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    layout->addRow(m_buttonCancel, buttons);
}

void DialogAutospectrum::onConfirm()
{
    emit listener(m_spinBoxDuration->value());
    reject();
}

void DialogAutospectrum::onCancel()
{
    emit listener(0);
    reject();
}

void DialogAutospectrum::closeEvent(QCloseEvent* event)
{
    emit listener(0);
    QDialog::closeEvent(event);
}
