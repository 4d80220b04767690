#include "widgets/QPagination.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>
#include <QStyleOption>

namespace {

constexpr int kMaximumButtons = 7;
constexpr int kLeftGap = -2;
constexpr int kRightGap = -1;
// How many pages a click on a gap skips.
constexpr int kGapJump = 3;
const char* const kPageProperty = "page";
// Marks the button of the page shown, which the style sheet sets apart from
// a button that is merely disabled (an arrow at the end of the pages).
const char* const kCurrentProperty = "current";

QString labelFor(int page)
{
    return page < 1 ? QStringLiteral("...") : QString::number(page);
}

int pageOf(const QPushButton* button)
{
    return button->property(kPageProperty).toInt();
}

QSpacerItem* expandingSpacer()
{
    return new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Preferred);
}

} // namespace

QPagination::QPagination(QWidget* parent, int height) : QWidget(parent), m_layout(new QHBoxLayout(this))
{
    setMinimumHeight(height);
    m_layout->setContentsMargins(6, 0, 6, 0);
    m_layout->setSpacing(0);
    createNavigationButtons();
}

void QPagination::setTotal(int total)
{
    m_pageCount = total;
    m_current = 1;
}

void QPagination::setCurrent(int current)
{
    m_current = current < 1 || current > m_pageCount ? 1 : current;
    refresh();
}

void QPagination::setButtonSize(const QSize& size)
{
    m_buttonSize = size;
    applyButtonSize(m_buttonPrevious);
    applyButtonSize(m_buttonNext);
    for (QPushButton* button : qAsConst(m_pageButtons))
        applyButtonSize(button);
}

void QPagination::setPageCount(int count)
{
    if (count == m_pageCount)
        return;
    m_pageCount = count;
    // Not reported: onPageChange is for the user's moves only.
    if (m_current > m_pageCount)
        m_current = 1;
    build();
}

void QPagination::build()
{
    if (m_layout->count() > 0) {
        clear();
        createNavigationButtons();
    }
    const bool navigable = m_pageCount > 1;

    m_layout->addItem(expandingSpacer());
    if (navigable) {
        m_buttonPrevious->show();
        m_layout->addWidget(m_buttonPrevious);
    }

    const int buttonCount = qMin(kMaximumButtons, m_pageCount);
    const bool allFit = buttonCount == m_pageCount;
    for (int i = 0; i < buttonCount; ++i) {
        int page = i + 1;
        if (!allFit && i == buttonCount - 1)
            page = m_pageCount;
        else if (!allFit && i >= 5)
            page = kRightGap;

        QPushButton* button = createButton(QStringLiteral("buttonPage"));
        button->setMinimumSize(24, 24);
        applyButtonSize(button);
        button->setProperty(kPageProperty, page);
        button->setText(labelFor(page));
        connect(button, &QPushButton::clicked, this, [this, button] { pageButtonClicked(button); });
        // Shown now rather than when the layout gets round to it, so a rebuilt
        // row is complete as soon as build() returns.
        button->show();
        m_layout->addWidget(button);
        m_pageButtons.append(button);
    }

    if (navigable) {
        m_buttonNext->show();
        m_layout->addWidget(m_buttonNext);
    }
    m_layout->addItem(expandingSpacer());
    // Tab goes along the row as it reads: back, the pages, forward.
    QWidget* before = m_buttonPrevious;
    for (QPushButton* page : qAsConst(m_pageButtons)) {
        setTabOrder(before, page);
        before = page;
    }
    setTabOrder(before, m_buttonNext);
    refresh();
}

void QPagination::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void QPagination::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        nameArrows();
    QWidget::changeEvent(event);
}

void QPagination::nameArrows()
{
    m_buttonPrevious->setAccessibleName(tr("Text.previousPage"));
    m_buttonPrevious->setToolTip(tr("Text.previousPage"));
    m_buttonNext->setAccessibleName(tr("Text.nextPage"));
    m_buttonNext->setToolTip(tr("Text.nextPage"));
}

void QPagination::createNavigationButtons()
{
    m_buttonPrevious = createButton(QStringLiteral("buttonPrevious"));
    m_buttonPrevious->setText(QStringLiteral("<"));
    connect(m_buttonPrevious, &QPushButton::clicked, this, [this] { moveTo(m_current - 1); });

    m_buttonNext = createButton(QStringLiteral("buttonNext"));
    m_buttonNext->setText(QStringLiteral(">"));
    connect(m_buttonNext, &QPushButton::clicked, this, [this] { moveTo(m_current + 1); });

    nameArrows();
    for (QPushButton* button : {m_buttonPrevious, m_buttonNext}) {
        button->setEnabled(false);
        button->hide();
        applyButtonSize(button);
    }
}

QPushButton* QPagination::createButton(const QString& objectName)
{
    auto* button = new QPushButton(this);
    button->setObjectName(objectName);
    return button;
}

void QPagination::applyButtonSize(QPushButton* button) const
{
    if (m_buttonSize.width() < 0 || m_buttonSize.height() < 0)
        return;
    button->setMinimumSize(m_buttonSize);
    button->setMaximumSize(m_buttonSize);
}

// The count may change from a slot of onPageChange, while the clicked button is
// still delivering its signal: the old buttons leave the row at once but are
// only deleted once control is back in the event loop.
void QPagination::clear()
{
    QList<QPushButton*> oldButtons = m_pageButtons;
    oldButtons << m_buttonPrevious << m_buttonNext;
    for (QPushButton* button : qAsConst(oldButtons)) {
        button->disconnect(this);
        button->hide();
        button->deleteLater();
    }
    m_pageButtons.clear();
    m_buttonPrevious = nullptr;
    m_buttonNext = nullptr;

    while (QLayoutItem* item = m_layout->takeAt(0))
        delete item;
}

void QPagination::refresh()
{
    // Until build() has run for the current count, the buttons may not match it.
    if (m_pageCount > kMaximumButtons && m_pageButtons.size() == kMaximumButtons)
        relabel();
    for (QPushButton* button : qAsConst(m_pageButtons)) {
        const bool current = pageOf(button) == m_current;
        button->setEnabled(!current);
        if (button->property(kCurrentProperty).toBool() != current) {
            button->setProperty(kCurrentProperty, current);
            // A property the style sheet reads takes effect once polished again.
            button->style()->unpolish(button);
            button->style()->polish(button);
        }
    }
    m_buttonPrevious->setEnabled(m_current > 1);
    m_buttonNext->setEnabled(m_current < m_pageCount);
}

// Seven positions: page 1 and page N at the ends, and in between either the
// first pages, the last pages, or the current page with its neighbours.
void QPagination::relabel()
{
    const int last = m_pageCount;
    showPage(0, 1);
    showPage(6, last);
    if (m_current < 5) {
        // With more than seven pages, page 5 is never within three of the last.
        for (int position = 1; position <= 4; ++position)
            showPage(position, position + 1);
        showPage(5, kRightGap);
    } else if (last - m_current < 4) {
        showPage(1, kLeftGap);
        for (int position = 2; position <= 5; ++position)
            showPage(position, last - 6 + position);
    } else {
        showPage(1, kLeftGap);
        showPage(2, m_current - 1);
        showPage(3, m_current);
        showPage(4, m_current + 1);
        showPage(5, kRightGap);
    }
}

void QPagination::showPage(int position, int page)
{
    QPushButton* button = m_pageButtons.at(position);
    button->setProperty(kPageProperty, page);
    button->setText(labelFor(page));
}

void QPagination::pageButtonClicked(const QPushButton* button)
{
    const int page = pageOf(button);
    if (page == kRightGap)
        moveTo(m_current + kGapJump);
    else if (page == kLeftGap)
        moveTo(m_current - kGapJump);
    else
        moveTo(page);
}

void QPagination::moveTo(int page)
{
    m_current = qMax(1, qMin(page, m_pageCount));
    refresh();
    emit onPageChange(m_current);
}
