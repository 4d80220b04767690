#include "app/DialogAbout.h"

#include "base/AppConstants.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DialogAbout::DialogAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogAbout"));
    setWindowTitle(tr("Text.about"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->setSpacing(10);
    // The dialog keeps the size its texts need.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QLabel* programName = addLabel(QStringLiteral("labelProgramName"), AppConstants::applicationName);
    programName->setAlignment(Qt::AlignCenter);
    layout->addWidget(programName);
    QLabel* programType = addLabel(QStringLiteral("labelProgramType"), tr("Text.aboutProgramType"));
    programType->setAlignment(Qt::AlignCenter);
    layout->addWidget(programType);

    auto* details = new QGridLayout;
    details->setHorizontalSpacing(12);
    addDetailRow(details, 0, addLabel(QStringLiteral("labelVersionTitle"), tr("Text.aboutVersion")),
                 addLabel(QStringLiteral("labelVersionNumber"), AppConstants::applicationVersion));
    addDetailRow(details, 1, addLabel(QStringLiteral("labelEmailTitle"), tr("Text.aboutEmail")),
                 addLabel(QStringLiteral("labelEmail"), AppConstants::supportEmail));
    QLabel* website =
        addLabel(QStringLiteral("labelWebsite"),
                 QStringLiteral("<a href=\"%1\">%1</a>").arg(QString(AppConstants::website).toHtmlEscaped()));
    website->setTextFormat(Qt::RichText);
    website->setOpenExternalLinks(true);
    addDetailRow(details, 2, addLabel(QStringLiteral("labelWebsiteTitle"), tr("Text.aboutWebsite")), website);
    layout->addLayout(details);

    QLabel* maker = addLabel(QStringLiteral("labelMaker"),
                             QStringLiteral("\u00a9 %1").arg(QString(AppConstants::organizationName)));
    maker->setAlignment(Qt::AlignCenter);
    layout->addWidget(maker);

    auto* buttonClose = new QPushButton(tr("Text.close"), this);
    buttonClose->setObjectName(QStringLiteral("buttonClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonClose);
    layout->addLayout(buttons);

    connect(buttonClose, &QPushButton::clicked, this, &DialogAbout::onClose);
}

void DialogAbout::onClose()
{
    close();
}

QLabel* DialogAbout::addLabel(const QString& objectName, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(objectName);
    return label;
}

void DialogAbout::addDetailRow(QGridLayout* layout, int row, QLabel* title, QLabel* value)
{
    // Values can be copied: the practitioner may want the address elsewhere.
    value->setTextInteractionFlags(value->textInteractionFlags() | Qt::TextSelectableByMouse);
    layout->addWidget(title, row, 0);
    layout->addWidget(value, row, 1);
}
