// The analysis screen against a scripted service: the category list and its
// retry, the Analyse button, the value bars, the report saved and printed.
#include "app/Application.h"
#include "base/Language.h"
#include "data/ServiceAnswer.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/PdfText.h"
#include "support/RecipeFixtures.h"
#include "support/ServiceTestEnvironment.h"
#include "views/AnalysisDelegate.h"
#include "views/ViewAnalysis.h"

#include <QComboBox>
#include <QFileDialog>
#include <QJsonObject>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

using RecipeFixtures::child;
using RecipeFixtures::overlayGone;

namespace {

const QByteArray summary = R"({"columns":["2021-03-05 14:07","2021-03-06 09:00"],
    "rows":[{"title":"Heart","values":[12.5,-3]},{"title":"Lungs","values":[-20,4]}]})";
const QByteArray categories =
    R"([{"title":"Organs","storages":[{"id":"s1","title":"Liver"},{"id":"s2","title":"Lungs"}]},
    {"title":"Empty","storages":[]}])";
const QByteArray analysis = R"({"columns":["2021-03-05T14:07:00","2021-03-06T09:00:00"],
    "rows":[{"id":"m1","title":"Bile","values":[40,55]},{"id":"m2","title":"Duct","values":[7,100]}]})";
const QString categoriesPath = QStringLiteral("/category/diagnostic/p1");

} // namespace

class ViewAnalysisTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void categoriesAndAnalyse();
    void unreadableAnswersReplaceNothing_data();
    void unreadableAnswersReplaceNothing();
    void barsStayInTheirCell_data();
    void barsStayInTheirCell();
    void bothTablesSavedAsPdf();
    void printDialogPrintsWhereItIsTold_data();
    void printDialogPrintsWhereItIsTold();

private:
    // The screen once its summary shows that many rows.
    std::unique_ptr<ViewAnalysis> openScreen(int summaryRows = 2);

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    QTranslator m_translator;
};

void ViewAnalysisTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void ViewAnalysisTest::init()
{
    m_service = std::make_unique<FakePatientService>();
    m_service->answer("POST", QStringLiteral("/analysis/summary"), ScriptedResponse::json(200, summary));
    m_service->answer("GET", categoriesPath, ScriptedResponse::json(200, categories));
    m_service->answer("POST", QStringLiteral("/analysis"), ScriptedResponse::json(200, analysis));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
}

void ViewAnalysisTest::cleanup()
{
    m_environment.reset();
    m_service.reset();
}

std::unique_ptr<ViewAnalysis> ViewAnalysisTest::openScreen(int summaryRows)
{
    const Patient patient(QJsonObject{{"id", "p1"}, {"name", "Анна Петрова"}});
    const QList<Record> records{Record(QJsonObject{{"id", "r2"}, {"recordedAt", "2021-03-06T09:00:00"}}),
                                Record(QJsonObject{{"id", "r1"}, {"recordedAt", "2021-03-05T14:07:00"}})};
    auto view = std::make_unique<ViewAnalysis>(patient, records);
    view->show();
    auto* summaryTable = child<QTableView>(*view, "summaryTableView");
    if (!QTest::qWaitForWindowExposed(view.get()) ||
        !QTest::qWaitFor([&] { return summaryTable->model()->rowCount() == summaryRows && overlayGone(*view); }))
        return nullptr;
    return view;
}

// The catalogue is asked once, and again after a failure; Analyse needs a
// storage. What the service answers for one is the end-to-end test's.
void ViewAnalysisTest::categoriesAndAnalyse()
{
    m_service->answer("GET", categoriesPath, ScriptedResponse::json(500, R"({"message":"Catalogue down"})"));
    const auto view = openScreen();
    QVERIFY(view);
    auto* tabs = child<QTabWidget>(*view, "tabWidget");
    auto* categoryList = child<QComboBox>(*view, "comboBoxCategories");
    auto* analyse = child<QPushButton>(*view, "buttonAnalyse");
    MessageBoxRecorder boxes;
    tabs->setCurrentIndex(1);
    QTRY_COMPARE(boxes.texts(), QStringList{QStringLiteral("Error: Catalogue down")});
    QVERIFY(!analyse->isEnabled());

    m_service->answer("GET", categoriesPath, ScriptedResponse::json(200, categories));
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(1);
    QTRY_COMPARE(categoryList->count(), 2);
    QVERIFY(analyse->isEnabled());
    // The first storage is analysed without a press.
    QTRY_COMPARE(child<QTableView>(*view, "analysisTableView")->model()->rowCount(), 2);
    const QJsonObject asked = QJsonDocument::fromJson(m_service->requests("POST", "/analysis").value(0).body).object();
    QCOMPARE(asked.value("storageId").toString(), "s1");
    categoryList->setCurrentIndex(1); // a category without storages
    QVERIFY(!analyse->isEnabled());
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(1);
    QTest::qWait(50);
    QCOMPARE(m_service->requests("GET", categoriesPath).size(), 2);
}

void ViewAnalysisTest::unreadableAnswersReplaceNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("summary, a list") << "/analysis/summary" << QByteArray("[]");
    QTest::newRow("categories, cut off") << categoriesPath << QByteArray(R"([{"title":"Org)");
    QTest::newRow("analysis, columns of text") << "/analysis" << QByteArray(R"({"columns":"2021","rows":[]})");
}

// Said to be so, and shown as nothing; a catalogue is asked for again.
void ViewAnalysisTest::unreadableAnswersReplaceNothing()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    m_service->answer(path == categoriesPath ? "GET" : "POST", path, ScriptedResponse::json(200, body));
    MessageBoxRecorder boxes;
    const auto view = openScreen(path.endsWith("summary") ? 0 : 2);
    QVERIFY(view);
    auto* tabs = child<QTabWidget>(*view, "tabWidget");
    tabs->setCurrentIndex(1); // the catalogue, then the first storage's analysis
    QTRY_VERIFY(!boxes.boxes.isEmpty() && overlayGone(*view));
    QCOMPARE(boxes.texts(), QStringList{"Error: " + ServiceAnswer::unreadableText()});
    const char* table = path.endsWith("summary") ? "summaryTableView" : "analysisTableView";
    QCOMPARE(child<QTableView>(*view, table)->model()->rowCount(), 0);
    m_service->answer("GET", categoriesPath, ScriptedResponse::json(200, categories));
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(1);
    QTRY_COMPARE(child<QComboBox>(*view, "comboBoxCategories")->count(), 2);
}

void ViewAnalysisTest::barsStayInTheirCell_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("barWidth");

    QTest::newRow("below 0: no bar, no negative width") << -20 << 0;
    QTest::newRow("half") << 50 << 50;
    QTest::newRow("above 100: the full cell, not into the next") << 150 << 100;
}

void ViewAnalysisTest::barsStayInTheirCell()
{
    QFETCH(int, value);
    QFETCH(int, barWidth);
    const QRect cell(100, 0, 100, 40);
    const auto paint = [&cell](int shown) {
        QStandardItemModel model(1, 2);
        model.setData(model.index(0, 1), shown);
        QImage image(300, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QStyleOptionViewItem option;
        option.rect = cell;
        QPainter painter(&image);
        AnalysisDelegate().paint(&painter, option, model.index(0, 1));
        painter.end();
        return image;
    };
    const QColor empty = paint(0).pixelColor(cell.left(), 1); // no bar at 0
    const QImage image = paint(value);
    for (int x = 0; x < image.width(); ++x) {
        const QColor pixel = image.pixelColor(x, 1);
        if (!cell.contains(x, 1))
            QCOMPARE(pixel, QColor(Qt::white));
        else if (x - cell.left() < barWidth)
            QVERIFY2(pixel != empty, qPrintable(QString::number(x)));
        else
            QCOMPARE(pixel, empty);
    }
}

void ViewAnalysisTest::bothTablesSavedAsPdf()
{
    if (!PdfText::available())
        QSKIP("pdfinfo and pdftotext (Debian's poppler-utils) are needed to read the PDF back");
    const auto view = openScreen();
    QVERIFY(view);
    child<QTabWidget>(*view, "tabWidget")->setCurrentIndex(1);
    auto* analyse = child<QPushButton>(*view, "buttonAnalyse");
    QTRY_VERIFY(analyse->isEnabled());
    analyse->click();
    auto* markers = child<QTableView>(*view, "analysisTableView");
    QTRY_COMPARE(markers->model()->rowCount(), 2);
    QVERIFY(qobject_cast<AnalysisDelegate*>(markers->itemDelegate())); // the bars are drawn

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("report")); // the suffix is added
    MessageBoxRecorder boxes;
    whenModalAppears([path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files);
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
    });
    child<QPushButton>(*view, "buttonSavePdf")->click();

    // Two short tables share a page, under a heading; the file is named after the patient and the report.
    const QString pdf = path + QStringLiteral(".pdf");
    QCOMPARE(PdfText::pageCount(pdf), 1);
    const QString text = PdfText::text(pdf, 1);
    for (const QString& expected :
         {QStringLiteral("Анна Петрова"), QStringLiteral("1 of 1"), QStringLiteral("Heart"), QStringLiteral("Bile")})
        QVERIFY2(text.contains(expected), qPrintable(text));
    QCOMPARE(PdfText::title(pdf),
             QStringLiteral("Анна Петрова \u2014 ") + QCoreApplication::translate("ViewAnalysis", "Title.analysis"));
}

void ViewAnalysisTest::printDialogPrintsWhereItIsTold_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK prints") << true;
    QTest::newRow("Cancel prints nothing") << false;
}

void ViewAnalysisTest::printDialogPrintsWhereItIsTold()
{
    QFETCH(bool, accept);
    if (!PdfText::available())
        QSKIP("pdfinfo and pdftotext (Debian's poppler-utils) are needed to read the PDF back");
    const auto view = openScreen();
    QVERIFY(view);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("printed.pdf"));
    bool printsToFile = false;
    MessageBoxRecorder boxes;
    // The toolkit's own dialog, told to print into a file: never to a real printer.
    whenModalAppears([&](QWidget* dialog) {
        auto* print = qobject_cast<QPrintDialog*>(dialog);
        QVERIFY(print);
        auto* printers = print->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* fileName = print->findChild<QLineEdit*>(QStringLiteral("filename"));
        const int toFile = printers ? printers->findText(QStringLiteral("PDF"), Qt::MatchContains) : -1;
        printsToFile = toFile >= 0 && fileName;
        if (!printsToFile || !accept) {
            print->reject();
            return;
        }
        printers->setCurrentIndex(toFile);
        fileName->setText(path);
        print->accept();
    });
    child<QPushButton>(*view, "buttonPrint")->click();
    if (!printsToFile)
        QSKIP("the print dialog offers no printing into a PDF file here");
    QCOMPARE(QFile::exists(path), accept);
    QVERIFY(boxes.boxes.isEmpty());
    if (accept)
        QCOMPARE(PdfText::pageCount(path), 1); // the summary alone: no markers analysed
}

QTEST_MAIN(ViewAnalysisTest)
#include "tst_viewanalysis.moc"
