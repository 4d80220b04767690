#pragma once

#include "widgets/ReportPageFrame.h"

#include <QPair>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class PrintedTable;
class QAbstractItemDelegate;
class QAbstractItemModel;
class QPainter;
class QPagedPaintDevice;

// A report of a screen on paper or in a PDF: tables and pictures laid out on
// pages across their whole width, every page with the heading above and
// "page n of m" below. Parts follow one another down the pages: a short table
// shares its page with what comes next, a long one goes on over the pages it
// needs.
class PrintedReport
{
public:
    using Painting = std::function<void(QPainter& painter, const QRectF& area)>;

    explicit PrintedReport(ReportHeading heading);
    ~PrintedReport();
    PrintedReport(PrintedReport&&) noexcept;
    PrintedReport& operator=(PrintedReport&&) noexcept;

    // The model is read when printing and must outlive the report; a sort
    // proxy prints the rows in the order the screen shows them.
    void addTable(const QString& caption, const QAbstractItemModel& model, QAbstractItemDelegate* delegate = nullptr);
    // A picture as wide as the page taking 1/perPage of its height, so that
    // perPage of them share a page; painted in report units (1/96 inch).
    void addPicture(int perPage, Painting painting);

    // Prints every page on a printer or a PDF writer; false when it can't be
    // painted on (a file that can't be written, say).
    bool print(QPagedPaintDevice& printer) const;
    // The pages the report takes on a page of that size, in report units.
    int pageCount(const QSizeF& pageSize) const;

    // The document's name, for a PDF's title and a print job: the patient and the report.
    QString documentTitle() const;

    // The printer's printable area in report units.
    static QSizeF pageSize(const QPagedPaintDevice& printer);

private:
    struct Placed;
    using Page = QVector<Placed>;
    QVector<Page> layOut(const ReportPageFrame& frame) const;

    ReportHeading m_heading;
    std::vector<std::unique_ptr<PrintedTable>> m_tables;
    struct Picture
    {
        int perPage;
        Painting painting;
    };
    QVector<Picture> m_pictures;
    // The order in which tables and pictures were added: table or picture, and its index.
    QVector<QPair<bool, int>> m_order;
};
