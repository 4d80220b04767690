// Printed reports: how a table divides over pages and fills their width,
// parts sharing pages, and the heading, page numbers and title of the PDF.
#include "app/Application.h"
#include "base/Language.h"
#include "support/MessageBoxRecorder.h"
#include "support/PdfText.h"
#include "support/SaveFileAnswer.h"
#include "support/ScopedFileSizeLimit.h"
#include "widgets/PrintedReport.h"
#include "widgets/PrintedTable.h"
#include "widgets/ReportOutput.h"

#include <QMainWindow>
#include <QPainter>
#include <QPrinter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// rows x columns cells "r<row>c<column>", headed by dates after the label column.
void fill(QStandardItemModel& model, int rows, int columns)
{
    model.setRowCount(rows);
    model.setColumnCount(columns);
    for (int column = 0; column < columns; ++column) {
        model.setHeaderData(column, Qt::Horizontal,
                            column == 0 ? QStringLiteral("Marker") : QStringLiteral("2021-03-05 14:07:%1").arg(column));
        for (int row = 0; row < rows; ++row)
            model.setData(model.index(row, column), QStringLiteral("r%1c%2").arg(row).arg(column));
    }
}

ReportHeading heading()
{
    return {QStringLiteral("Analysis"),
            QStringLiteral("Пётр Иванов"),
            {QStringLiteral("2021-03-05 14:07:00"), QStringLiteral("2021-03-06 09:00:00")}};
}

} // namespace

class PrintedReportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tablesDivideOverPages_data();
    void tablesDivideOverPages();
    void tablesFillThePagesWidth_data();
    void tablesFillThePagesWidth();
    void shortPartsShareAPage_data();
    void shortPartsShareAPage();
    void everyPageCarriesTheHeadingAndItsNumber();
    void pdfIsSavedWholeOrNotAtAll_data();
    void pdfIsSavedWholeOrNotAtAll();

private:
    QTranslator m_translator;
};

void PrintedReportTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void PrintedReportTest::tablesDivideOverPages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");

    QTest::newRow("fits one page") << 3 << 4;
    QTest::newRow("long") << 100 << 4;
    QTest::newRow("wide") << 5 << 51;
    QTest::newRow("long and wide") << 100 << 51;
    QTest::newRow("no rows") << 0 << 3;
}

void PrintedReportTest::tablesDivideOverPages()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QStandardItemModel model;
    fill(model, rows, columns);
    const QSizeF body(1000, 560);
    const QVector<PrintedTable::Slice> slices = PrintedTable(QStringLiteral("Markers"), model, nullptr).slices(body);
    QVERIFY(!slices.isEmpty());

    // Every cell once; the labels and headings on every page.
    QMap<QPair<int, int>, int> printed;
    for (const PrintedTable::Slice& slice : slices) {
        QCOMPARE(slice.columns.first(), 0);
        QVERIFY(slice.rowCount * PrintedTable::rowHeight < body.height());
        for (int row = slice.firstRow; row < slice.firstRow + slice.rowCount; ++row)
            for (int column : slice.columns.mid(1))
                ++printed[{row, column}];
    }
    QCOMPARE(printed.size(), rows * (columns - 1));
    for (int count : printed)
        QCOMPARE(count, 1);
    if (rows * columns > 1000)
        QVERIFY(slices.size() > 4);
}

void PrintedReportTest::tablesFillThePagesWidth_data()
{
    QTest::addColumn<int>("columns");

    QTest::newRow("narrow: the values stretch") << 3;
    QTest::newRow("one column: the labels stretch") << 1;
    QTest::newRow("wide: every column group stretches") << 51;
}

// Each page's share of the table reaches from the body's left edge to its right one.
void PrintedReportTest::tablesFillThePagesWidth()
{
    QFETCH(int, columns);
    QStandardItemModel model;
    fill(model, 4, columns);
    const PrintedTable table(QStringLiteral("Markers"), model, nullptr);
    const QSize body(1000, 560);
    for (const PrintedTable::Slice& slice : table.slices(body)) {
        QImage page(body, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        table.paint(painter, QRectF(QPointF(0, 0), body), slice);
        painter.end();
        // The headings' fill, just inside the right edge.
        const int y = int(table.height(slice, body.width()) - PrintedTable::rowHeight * slice.rowCount) - 3;
        QVERIFY2(page.pixelColor(body.width() - 1, y) != QColor(Qt::white), qPrintable(QString::number(y)));
    }
}

void PrintedReportTest::shortPartsShareAPage_data()
{
    QTest::addColumn<int>("summaryRows");
    QTest::addColumn<int>("markerRows"); // a full page when -1
    QTest::addColumn<int>("extraPages"); // beyond the markers' own

    QTest::newRow("two short tables") << 5 << 10 << 0;
    QTest::newRow("short summary, long markers") << 5 << 120 << 0;
    QTest::newRow("no summary rows") << 0 << 10 << 0;
    QTest::newRow("a page of summary") << -1 << 10 << 1;
}

void PrintedReportTest::shortPartsShareAPage()
{
    QFETCH(int, summaryRows);
    QFETCH(int, markerRows);
    QFETCH(int, extraPages);
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
    const QSizeF page = PrintedReport::pageSize(printer);
    QStandardItemModel summary;
    QStandardItemModel markers;
    fill(markers, markerRows, 6);
    if (summaryRows < 0) {
        fill(summary, 200, 6);
        summaryRows = PrintedTable(QStringLiteral("Summary"), summary, nullptr)
                          .slices(ReportPageFrame(heading(), page).body().size())
                          .first()
                          .rowCount;
    }
    fill(summary, summaryRows, 6);
    PrintedReport alone(heading());
    alone.addTable(QStringLiteral("Markers"), markers);
    PrintedReport both(heading());
    both.addTable(QStringLiteral("Summary"), summary);
    both.addTable(QStringLiteral("Markers"), markers);
    QCOMPARE(both.pageCount(page), alone.pageCount(page) + extraPages);

    // Nothing lost on the shared pages.
    if (!PdfText::available())
        return;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("both.pdf"));
    QVERIFY(ReportOutput::writePdf(both, path));
    const QString text = PdfText::text(path);
    QCOMPARE(text.count(QRegularExpression(QStringLiteral("r\\d+c5"))), summaryRows + markerRows);
}

void PrintedReportTest::everyPageCarriesTheHeadingAndItsNumber()
{
    if (!PdfText::available())
        QSKIP("pdfinfo and pdftotext (Debian's poppler-utils) are needed to read the PDF back");
    QStandardItemModel model;
    fill(model, 60, 30);
    PrintedReport report(heading());
    report.addTable(QStringLiteral("Markers"), model);
    int paintings = 0;
    for (int picture = 0; picture < 3; ++picture) {
        report.addPicture(2, [&paintings](QPainter& painter, const QRectF& area) {
            painter.drawText(area, Qt::AlignCenter, QStringLiteral("picture"));
            ++paintings;
        });
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("report.pdf"));
    QVERIFY(ReportOutput::writePdf(report, path));
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
    const int pages = report.pageCount(PrintedReport::pageSize(printer));
    // The table's pages, the first picture below its last rows, then two pictures on a page.
    const int tablePages = PrintedTable(QStringLiteral("Markers"), model, nullptr)
                               .slices(ReportPageFrame(heading(), PrintedReport::pageSize(printer)).body().size())
                               .size();
    QCOMPARE(pages, tablePages + 1);
    QCOMPARE(PdfText::pageCount(path), pages);
    QCOMPARE(PdfText::title(path), QStringLiteral("Пётр Иванов \u2014 Analysis"));
    QCOMPARE(paintings, 3);
    for (int page = 1; page <= pages; ++page) {
        const QString text = PdfText::text(path, page);
        QVERIFY2(text.contains(QStringLiteral("Пётр Иванов")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("2021-03-06 09:00:00")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)), qPrintable(text));
    }
    const QString all = PdfText::text(path);
    QVERIFY(all.contains(QStringLiteral("r59c29")));
    QCOMPARE(all.count(QStringLiteral("picture")), 3);
}

void PrintedReportTest::pdfIsSavedWholeOrNotAtAll_data()
{
    QTest::addColumn<QString>("chosen");  // in the test's folder; empty: cancelled
    QTest::addColumn<bool>("fullDisk");   // no file may grow past 4 KiB
    QTest::addColumn<QString>("message"); // the key of the one message shown; empty: none
    QTest::addColumn<QString>("content"); // of anna.pdf afterwards: "pdf", or the earlier file's

    QTest::newRow("bare name") << "anna" << false << "Text.pdfSaved"
                               << "pdf";
    QTest::newRow("cancelled") << "" << false << ""
                               << "earlier";
    QTest::newRow("folder that does not exist") << "missing/anna.pdf" << false << "Text.pdfNotSaved"
                                                << "earlier";
    if (ScopedFileSizeLimit::supported())
        QTest::newRow("disk full") << "anna.pdf" << true << "Text.pdfNotSaved"
                                   << "earlier";
}

void PrintedReportTest::pdfIsSavedWholeOrNotAtAll()
{
    QFETCH(QString, chosen);
    QFETCH(bool, fullDisk);
    QFETCH(QString, message);
    QFETCH(QString, content);

    QStandardItemModel model;
    fill(model, 40, 12);
    PrintedReport report(heading());
    report.addTable(QStringLiteral("Markers"), model);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("anna.pdf")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("earlier") == 7);
    file.close();
    SaveFileAnswer answer(chosen.isEmpty() ? QString() : folder.filePath(chosen));
    MessageBoxRecorder boxes;
    QMainWindow window;
    bool saved = false;
    {
        std::unique_ptr<ScopedFileSizeLimit> limit(fullDisk ? new ScopedFileSizeLimit(4096) : nullptr);
        saved = ReportOutput::saveAsPdf(&window, report, QStringLiteral("Anna: Analysis"));
    }

    QCOMPARE(saved, message == "Text.pdfSaved");
    const QString written = folder.filePath(chosen.endsWith(".pdf") ? chosen : chosen + ".pdf");
    const QString told =
        QCoreApplication::translate("ReportOutput", qPrintable(message)).arg(QDir::toNativeSeparators(written));
    // A saved file is told in passing in the status bar; a failure in a box.
    QCOMPARE(window.statusBar()->currentMessage(), saved ? told : QString());
    QCOMPARE(boxes.boxes.size(), message.isEmpty() || saved ? 0 : 1);
    if (!boxes.boxes.isEmpty())
        QCOMPARE(boxes.boxes.first().text, told);
    // The practitioner is offered the report's name, and the dialog completes a bare name as a PDF.
    QCOMPARE(answer.questions.first().suggestedName, QStringLiteral("Anna_ Analysis.pdf"));
    QCOMPARE(answer.questions.first().defaultSuffix, QStringLiteral("pdf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(content == "pdf" ? bytes.startsWith("%PDF") && bytes.trimmed().endsWith("%%EOF") : bytes == "earlier",
             bytes.left(40).constData());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"anna.pdf"});
}

QTEST_MAIN(PrintedReportTest)
#include "tst_printedreport.moc"
