#include "widgets/PrintedReport.h"

#include "widgets/PrintedTable.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

// Report units are pixels of a 96 dpi screen, so sizes and fonts read the
// same on paper as on screen whatever the printer's resolution.
constexpr qreal unitsPerInch = 96;
constexpr qreal partGap = 12;
// A table starts below the part before it only with this many of its rows.
constexpr int minimumRowsBelow = 3;

} // namespace

// One table slice or one picture, where it goes on its page.
struct PrintedReport::Placed
{
    const PrintedTable* table = nullptr;
    PrintedTable::Slice slice;
    const Painting* painting = nullptr;
    QRectF area;
};

PrintedReport::PrintedReport(ReportHeading heading) : m_heading(std::move(heading)) {}
PrintedReport::~PrintedReport() = default;
PrintedReport::PrintedReport(PrintedReport&&) noexcept = default;
PrintedReport& PrintedReport::operator=(PrintedReport&&) noexcept = default;

void PrintedReport::addTable(const QString& caption, const QAbstractItemModel& model, QAbstractItemDelegate* delegate)
{
    m_order.append({true, int(m_tables.size())});
    m_tables.push_back(std::make_unique<PrintedTable>(caption, model, delegate));
}

void PrintedReport::addPicture(int perPage, Painting painting)
{
    m_order.append({false, m_pictures.size()});
    m_pictures.append({std::max(1, perPage), std::move(painting)});
}

QString PrintedReport::documentTitle() const
{
    return m_heading.patientName + QStringLiteral(" \u2014 ") + m_heading.title;
}

QSizeF PrintedReport::pageSize(const QPagedPaintDevice& printer)
{
    const int resolution = printer.logicalDpiX();
    const QRect paintRect = printer.pageLayout().paintRectPixels(resolution);
    return QSizeF(paintRect.size()) * (unitsPerInch / resolution);
}

QVector<PrintedReport::Page> PrintedReport::layOut(const ReportPageFrame& frame) const
{
    const QRectF body = frame.body();
    QVector<Page> pages;
    qreal top = body.bottom(); // where the next part goes; no page open yet
    const auto newPage = [&pages, &top, &body] {
        pages.append(Page());
        top = body.top();
    };
    for (const auto& [isTable, index] : m_order) {
        if (isTable) {
            const PrintedTable* table = m_tables.at(size_t(index)).get();
            // A table begins below what came before when its headings and a
            // few rows (all of a short table) fit there.
            const qreal left = body.bottom() - top;
            QVector<PrintedTable::Slice> slices;
            if (!pages.isEmpty() && left > 0) {
                slices = table->slices(body.size(), left);
                const int rows = table->rowCount();
                if (slices.first().rowCount < std::min(rows, minimumRowsBelow) ||
                    table->height(slices.first(), body.width()) > left + 0.5)
                    slices.clear();
            }
            const bool below = !slices.isEmpty();
            if (!below)
                slices = table->slices(body.size());
            for (int i = 0; i < slices.size(); ++i) {
                if (i > 0 || !below)
                    newPage();
                pages.last().append(
                    Placed{table, slices.at(i), nullptr, QRectF(body.left(), top, body.width(), body.bottom() - top)});
                top += table->height(slices.at(i), body.width()) + partGap;
            }
            continue;
        }
        const Picture& picture = m_pictures.at(index);
        const qreal height = (body.height() - (picture.perPage - 1) * partGap) / picture.perPage;
        if (top + height > body.bottom() + 0.5)
            newPage();
        pages.last().append(Placed{nullptr, {}, &picture.painting, QRectF(body.left(), top, body.width(), height)});
        top += height + partGap;
    }
    return pages;
}

int PrintedReport::pageCount(const QSizeF& pageSize) const
{
    return std::max(1, int(layOut(ReportPageFrame(m_heading, pageSize)).size()));
}

bool PrintedReport::print(QPagedPaintDevice& printer) const
{
    const ReportPageFrame frame(m_heading, pageSize(printer));
    QVector<Page> pages = layOut(frame);
    if (pages.isEmpty())
        pages.append(Page()); // the heading alone still says what was printed

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const qreal scale = printer.logicalDpiX() / unitsPerInch;
    for (int number = 0; number < pages.size(); ++number) {
        if (number > 0 && !printer.newPage())
            return false;
        painter.save();
        painter.scale(scale, scale);
        frame.paint(painter, number + 1, pages.size());
        for (const Placed& placed : pages.at(number)) {
            if (placed.table) {
                placed.table->paint(painter, placed.area, placed.slice);
            } else {
                painter.save();
                painter.setClipRect(placed.area);
                (*placed.painting)(painter, placed.area);
                painter.restore();
            }
        }
        painter.restore();
    }
    return painter.end();
}
