#include "widgets/ReportPageFrame.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

namespace {

constexpr qreal titleSize = 16;
constexpr qreal smallSize = 9;
constexpr qreal gap = 6;
const QColor textColour(65, 65, 65);
const QColor ruleColour(200, 208, 218);

qreal footerHeight()
{
    return QFontMetricsF(ReportPageFrame::font(smallSize)).height() + 2 * gap;
}

} // namespace

ReportPageFrame::ReportPageFrame(ReportHeading heading, const QSizeF& pageSize)
    : m_heading(std::move(heading)), m_pageSize(pageSize)
{
    const qreal width = pageSize.width();
    m_titleArea = QRectF(0, 0, width, QFontMetricsF(font(titleSize, true)).height());
    // The dates wrap over as many lines as they need; the height is the same
    // on every page, so is the body.
    const QRectF dates = QFontMetricsF(font(smallSize))
                             .boundingRect(QRectF(0, 0, width, pageSize.height() / 3),
                                           Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, datesText());
    m_datesArea = QRectF(0, m_titleArea.bottom() + gap / 2, width, datesText().isEmpty() ? 0 : dates.height());
    const qreal top = m_datesArea.bottom() + 2 * gap;
    m_body = QRectF(0, top, width, pageSize.height() - top - footerHeight());
}

QFont ReportPageFrame::font(qreal pixelSize, bool bold)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    return font;
}

QString ReportPageFrame::datesText() const
{
    if (m_heading.recordDates.isEmpty())
        return {};
    return tr("Text.reportRecords").arg(m_heading.recordDates.join(QStringLiteral(", ")));
}

void ReportPageFrame::paint(QPainter& painter, int pageNumber, int pageCount) const
{
    painter.save();
    painter.setPen(textColour);
    painter.setFont(font(titleSize, true));
    const QString title = m_heading.title + QStringLiteral(" \u2014 ") + m_heading.patientName;
    painter.drawText(m_titleArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetricsF(painter.font()).elidedText(title, Qt::ElideRight, m_titleArea.width()));
    painter.setFont(font(smallSize));
    painter.drawText(m_datesArea, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, datesText());

    painter.setPen(QPen(ruleColour, 1));
    const qreal ruleY = m_body.top() - gap;
    painter.drawLine(QPointF(0, ruleY), QPointF(m_pageSize.width(), ruleY));
    const QRectF footer(0, m_body.bottom(), m_pageSize.width(), footerHeight());
    painter.drawLine(footer.topLeft() + QPointF(0, gap / 2), footer.topRight() + QPointF(0, gap / 2));

    painter.setPen(textColour);
    painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom, tr("Text.pageOf").arg(pageNumber).arg(pageCount));
    painter.restore();
}
