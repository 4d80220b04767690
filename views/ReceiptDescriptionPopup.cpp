#include "views/ReceiptDescriptionPopup.h"

#include <QBitmap>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

// The bubble's background label sits this far inside the popup, leaving
// room for its shadow.
constexpr int inset = 8;

const QColor outline(124, 169, 222);
const QColor fill(243, 255, 253);

// The bubble with its arrow on the right side, drawn for a label of this size.
QPixmap bubble(const QSize& size, bool antialiased)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    const int w = size.width();
    const int h = size.height();
    const int m = (h - 9) / 2;
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
    painter.setPen(QPen(outline, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRect(1, 1, w - 10, h - 10), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(outline);
    painter.drawPolygon(QPolygon({QPoint(w - 10, m - 8), QPoint(w - 2, m), QPoint(w - 10, m + 8)}));
    painter.setBrush(fill);
    painter.drawPolygon(QPolygon({QPoint(w - 13, m - 8), QPoint(w - 5, m), QPoint(w - 13, m + 8)}));
    return pixmap;
}

} // namespace

ReceiptDescriptionPopup::Backdrop ReceiptDescriptionPopup::platformBackdrop()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") ? Backdrop::Shaped : Backdrop::Translucent;
}

ReceiptDescriptionPopup::ReceiptDescriptionPopup(QWidget* parent, Backdrop backdrop)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_backdrop(backdrop)
{
    setObjectName(QStringLiteral("ReceiptDescriptionPopup"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (m_backdrop == Backdrop::Translucent)
        setAttribute(Qt::WA_TranslucentBackground);
    setFixedWidth(512);
    setMaximumHeight(256);
    resize(512, 200);
    buildWidgets();

    m_hideTimer.setInterval(hideIntervalMs);
    connect(&m_hideTimer, &QTimer::timeout, this, &ReceiptDescriptionPopup::onHideTick);
}

void ReceiptDescriptionPopup::buildWidgets()
{
    m_background = new QLabel(this);
    m_background->setObjectName(QStringLiteral("labelBackground"));
    if (m_backdrop == Backdrop::Translucent) {
        auto* shadow = new QGraphicsDropShadowEffect(m_background);
        shadow->setBlurRadius(32);
        shadow->setColor(QColor(0, 0, 0, 30));
        shadow->setOffset(4, 4);
        m_background->setGraphicsEffect(shadow);
    }

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("labelIcon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/images/notes-popup.png")));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setWordWrap(true);
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 8);
    header->addWidget(icon, 0, Qt::AlignTop);
    header->addWidget(m_title, 1);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("textViewer"));
    m_text->setReadOnly(true);
    m_text->setMaximumHeight(90);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 32, 40, 40);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addWidget(line);
    layout->addWidget(m_text);
    m_background->lower();
}

void ReceiptDescriptionPopup::setMarker(int row, const QString& title, const QString& description)
{
    m_row = row;
    m_title->setText(title);
    m_text->setPlainText(description);
}

void ReceiptDescriptionPopup::restartHideTimer()
{
    m_hideTimer.start();
}

void ReceiptDescriptionPopup::setVisible(bool visible)
{
    if (visible) {
        // The arrow's tip, at the right edge of the bubble's middle, meets the anchor.
        move(m_anchor.x() + inset - width(), m_anchor.y() + inset - height() / 2);
        m_hideTimer.start();
    } else {
        m_hideTimer.stop();
    }
    QWidget::setVisible(visible);
}

void ReceiptDescriptionPopup::onHideTick()
{
    const QPoint pointer = QCursor::pos();
    if (geometry().adjusted(inset, inset, -inset, -inset).contains(pointer) || m_hoverRect.contains(pointer))
        return;
    hide();
}

void ReceiptDescriptionPopup::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    redrawBubble();
}

void ReceiptDescriptionPopup::redrawBubble()
{
    const QRect area = rect().adjusted(inset, inset, -inset, -inset);
    m_background->setGeometry(area);
    const bool shaped = m_backdrop == Backdrop::Shaped;
    // Cut to its shape, every pixel shown is the bubble's own: drawn without
    // antialiasing, no edge is left half transparent.
    const QPixmap picture = bubble(area.size(), !shaped);
    m_background->setPixmap(picture);
    if (shaped)
        setMask(QRegion(picture.mask()).translated(area.topLeft()));
}

void ReceiptDescriptionPopup::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    restartHideTimer();
}

void ReceiptDescriptionPopup::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        hide();
}
