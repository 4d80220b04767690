#include "views/ScreenHeading.h"

#include "widgets/KeyboardAccess.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Both rows keep their height whether or not they hold anything, so the
// title stands at the same height on every screen, the list included.
constexpr int crumbRowHeight = 32;
constexpr int titleRowHeight = 40;
constexpr int devicePictureSide = 24;

QLabel* separator(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFixedSize(20, 20);
    label->setPixmap(QPixmap(QStringLiteral(":/images/separator.png")));
    label->setScaledContents(true);
    return label;
}

} // namespace

ScreenHeading::ScreenHeading(QWidget* screen, const QList<CrumbName>& crumbs) : QWidget(screen)
{
    setObjectName(QStringLiteral("screenHeading"));
    m_crumbs = new QFrame(this);
    m_crumbs->setObjectName(QStringLiteral("breadCrumbs"));
    m_crumbs->setFixedHeight(crumbRowHeight);
    m_crumbRow = new QHBoxLayout(m_crumbs);
    m_crumbRow->setContentsMargins(0, 0, 0, 0);
    m_crumbRow->setSpacing(0);
    for (const CrumbName& name : crumbs) {
        if (!m_crumbButtons.isEmpty()) {
            const int count = m_crumbButtons.size();
            m_crumbRow->addWidget(separator(
                QStringLiteral("labelSeparator") + (count > 1 ? QString::number(count) : QString()), m_crumbs));
        }
        auto* button = new QPushButton(m_crumbs);
        button->setObjectName(name.objectName);
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        m_crumbRow->addWidget(button);
        m_crumbButtons.append({name.crumb, button});
    }
    m_crumbRow->addStretch();
    // The last crumb is the way back, and the keys for back press it.
    if (!m_crumbButtons.isEmpty())
        pressWithKeys(m_crumbButtons.last().second, {QKeySequence::Back, Qt::Key_Backspace});

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("labelTitle"));
    m_titleRow = new QHBoxLayout;
    m_titleRow->setContentsMargins(0, 0, 0, 0);
    m_titleRow->addWidget(m_title);
    m_titleRow->addStretch();
    m_controls = new QHBoxLayout;
    m_titleRow->addLayout(m_controls);
    auto* titleBox = new QWidget(this);
    titleBox->setObjectName(QStringLiteral("titleRow"));
    titleBox->setMinimumHeight(titleRowHeight);
    titleBox->setLayout(m_titleRow);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_crumbs);
    layout->addWidget(titleBox);
    retranslate();
}

QVBoxLayout* ScreenHeading::screenColumn(QWidget* screen, ScreenHeading* heading)
{
    auto* column = new QVBoxLayout(screen);
    column->setContentsMargins(24, 12, 24, 16);
    column->setSpacing(12);
    column->addWidget(heading);
    return column;
}

QPushButton* ScreenHeading::crumb(Crumb crumb) const
{
    for (const auto& [which, button] : m_crumbButtons) {
        if (which == crumb)
            return button;
    }
    return nullptr;
}

void ScreenHeading::setTitle(const QString& title, const QString& patientName)
{
    m_title->setText(title);
    if (patientName.isEmpty() && !m_name)
        return;
    // Made only when a screen shows a name here: the card's own name label
    // must stay the one a search for "labelPatientName" finds.
    if (!m_name) {
        m_name = new QLabel(this);
        m_name->setObjectName(QStringLiteral("labelPatientName"));
        m_titleRow->insertWidget(1, m_name);
    }
    m_name->setText(QStringLiteral("(") + patientName + QStringLiteral(")"));
    m_name->setVisible(!patientName.isEmpty());
}

void ScreenHeading::setPatientName(const QString& name)
{
    m_patientName = name;
    retranslate();
}

void ScreenHeading::setDevice(const QPixmap& picture, bool shown)
{
    if (!m_device) {
        m_device = new QLabel(this);
        m_device->setObjectName(QStringLiteral("labelConnectedDevice"));
        m_device->setFixedSize(devicePictureSide, devicePictureSide);
        m_device->setScaledContents(true);
        // After the title and the name: with or without it the title stays put.
        m_titleRow->insertWidget(m_titleRow->indexOf(m_name ? static_cast<QWidget*>(m_name) : m_title) + 1, m_device);
        retranslate();
    }
    m_device->setPixmap(picture);
    m_device->setVisible(shown);
}

void ScreenHeading::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ScreenHeading::retranslate()
{
    for (const auto& [crumb, button] : qAsConst(m_crumbButtons)) {
        switch (crumb) {
        case PatientsList:
            button->setText(tr("Text.listOfPatients"));
            break;
        case PatientCard:
            button->setText(tr("Text.patientCard").arg(m_patientName));
            break;
        case Recipe:
            button->setText(tr("Text.recipeScreen"));
            break;
        }
    }
    if (!m_crumbButtons.isEmpty())
        tellKeysInToolTip(m_crumbButtons.last().second);
    if (m_device) {
        m_device->setToolTip(tr("Text.deviceConnected"));
        m_device->setAccessibleName(tr("Text.deviceConnected"));
    }
}

ReportHeading reportHeadingOf(const QString& title, const Patient& patient, const QList<Record>& records)
{
    QStringList dates;
    for (const Record& record : records) {
        if (!record.recordedAt().isEmpty())
            dates.append(record.recordedAt());
    }
    // "yyyy-MM-dd HH:mm:ss" sorts as text in time order.
    dates.sort();
    return {title, patient.name(), dates};
}
