#include "app/Application.h"
#include "base/AppConstants.h"
#include "widgets/QPagination.h"

#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>
#include <QtTest>

#include <algorithm>

namespace {

// A built pagination on a shown window, as under the patients table.
class ShownPagination
{
public:
    ShownPagination(int count, int current, const QSize& buttonSize = QSize(-1, -1))
        : m_pagination(new QPagination(&m_window, 30))
    {
        m_pagination->setTotal(count);
        m_pagination->setCurrent(current);
        m_pagination->setButtonSize(buttonSize);
        m_pagination->build();
        m_pagination->resize(600, 40);
        m_window.resize(600, 40);
        m_window.show();
    }

    QPagination* get() const { return m_pagination; }
    QPagination* operator->() const { return m_pagination; }
    QPagination& operator*() const { return *m_pagination; }

private:
    QWidget m_window;
    QPagination* m_pagination;
};

QList<QPushButton*> visibleButtons(const QPagination& pagination)
{
    QList<QPushButton*> buttons;
    QLayout* layout = pagination.layout();
    for (int i = 0; i < layout->count(); ++i) {
        auto* button = qobject_cast<QPushButton*>(layout->itemAt(i)->widget());
        if (button && button->isVisible())
            buttons << button;
    }
    return buttons;
}

QList<QPushButton*> pageButtons(const QPagination& pagination)
{
    QList<QPushButton*> buttons = visibleButtons(pagination);
    buttons.erase(std::remove_if(buttons.begin(), buttons.end(),
                                 [](QPushButton* b) { return b->objectName() != QLatin1String("buttonPage"); }),
                  buttons.end());
    return buttons;
}

// The row as the user sees it, in layout order: "|" for a stretching spacer,
// then the text of each visible button, in brackets when it is disabled.
QString row(const QPagination& pagination)
{
    QStringList parts;
    QLayout* layout = pagination.layout();
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QSpacerItem* spacer = item->spacerItem()) {
            parts << (spacer->sizePolicy().horizontalPolicy() == QSizePolicy::Expanding ? "|" : "fixed spacer");
            continue;
        }
        auto* button = qobject_cast<QPushButton*>(item->widget());
        if (!button || !button->isVisible())
            continue;
        parts << (button->isEnabled() ? button->text() : '[' + button->text() + ']');
    }
    return parts.join(' ');
}

QString pageProperties(const QPagination& pagination)
{
    QStringList pages;
    for (QPushButton* button : pageButtons(pagination))
        pages << QString::number(button->property("page").toInt());
    return pages.join(' ');
}

QPushButton* navigationButton(const QPagination& pagination, const char* objectName)
{
    return pagination.findChild<QPushButton*>(QLatin1String(objectName), Qt::FindDirectChildrenOnly);
}

} // namespace

class PaginationTest : public QObject
{
    Q_OBJECT

private slots:
    void rowAfterBuild_data();
    void rowAfterBuild();
    void gapsCarryTheirSide_data();
    void gapsCarryTheirSide();
    void setCurrentOutsideTheCountGivesPageOne_data();
    void setCurrentOutsideTheCountGivesPageOne();
    void setCurrentAfterBuildRelabels();
    void nextAndPreviousWalkEveryPage_data();
    void nextAndPreviousWalkEveryPage();
    void pageButtonClicks_data();
    void pageButtonClicks();
    void movesStayWithinTheCount();
    void newPageCountRebuilds_data();
    void newPageCountRebuilds();
    void samePageCountKeepsTheButtons();
    void pageCountChangedWhileTheClickIsDelivered();
    void buttonSize_data();
    void buttonSize();
    void styleSheetPaintsTheBackground();
    void currentPageLooksUnlikeADisabledArrow_data();
    void currentPageLooksUnlikeADisabledArrow();
};

void PaginationTest::rowAfterBuild_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("row");

    QTest::newRow("no pages") << 0 << 1 << "| |";
    QTest::newRow("one page") << 1 << 1 << "| [1] |";
    QTest::newRow("two pages, on the last") << 2 << 2 << "| < 1 [2] [>] |";
    QTest::newRow("7, on 1") << 7 << 1 << "| [<] [1] 2 3 4 5 6 7 > |";
    QTest::newRow("7, on 4") << 7 << 4 << "| < 1 2 3 [4] 5 6 7 > |";
    QTest::newRow("7, on 7") << 7 << 7 << "| < 1 2 3 4 5 6 [7] [>] |";
    QTest::newRow("8, on 4") << 8 << 4 << "| < 1 2 3 [4] 5 ... 8 > |";
    QTest::newRow("8, on 5") << 8 << 5 << "| < 1 ... 4 [5] 6 7 8 > |";
    QTest::newRow("8, on 8") << 8 << 8 << "| < 1 ... 4 5 6 7 [8] [>] |";
    const char* const twelve[] = {
        "| [<] [1] 2 3 4 5 ... 12 > |", "| < 1 [2] 3 4 5 ... 12 > |",   "| < 1 2 [3] 4 5 ... 12 > |",
        "| < 1 2 3 [4] 5 ... 12 > |",   "| < 1 ... 4 [5] 6 ... 12 > |", "| < 1 ... 5 [6] 7 ... 12 > |",
        "| < 1 ... 6 [7] 8 ... 12 > |", "| < 1 ... 7 [8] 9 ... 12 > |", "| < 1 ... 8 [9] 10 11 12 > |",
        "| < 1 ... 8 9 [10] 11 12 > |", "| < 1 ... 8 9 10 [11] 12 > |", "| < 1 ... 8 9 10 11 [12] [>] |",
    };
    for (int current = 1; current <= 12; ++current)
        QTest::addRow("12, on %d", current) << 12 << current << twelve[current - 1];
}

void PaginationTest::rowAfterBuild()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(QString, row);

    ShownPagination pagination(count, current);
    QCOMPARE(::row(*pagination), row);
    QCOMPARE(pagination->currentPage(), current);
}

void PaginationTest::gapsCarryTheirSide_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("pages");

    QTest::newRow("right gap only") << 12 << 1 << "1 2 3 4 5 -1 12";
    QTest::newRow("both gaps") << 12 << 7 << "1 -2 6 7 8 -1 12";
    QTest::newRow("left gap only") << 12 << 12 << "1 -2 8 9 10 11 12";
    QTest::newRow("all pages fit") << 7 << 7 << "1 2 3 4 5 6 7";
}

void PaginationTest::gapsCarryTheirSide()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(QString, pages);

    ShownPagination pagination(count, current);
    QCOMPARE(pageProperties(*pagination), pages);
}

void PaginationTest::setCurrentOutsideTheCountGivesPageOne_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("current");

    QTest::newRow("last page") << 12 << 12 << 12;
    QTest::newRow("beyond the last") << 12 << 13 << 1;
    QTest::newRow("zero") << 12 << 0 << 1;
    QTest::newRow("negative") << 12 << -4 << 1;
    QTest::newRow("no pages") << 0 << 1 << 1;
}

void PaginationTest::setCurrentOutsideTheCountGivesPageOne()
{
    QFETCH(int, count);
    QFETCH(int, requested);
    QFETCH(int, current);

    QPagination pagination(nullptr, 30);
    pagination.setTotal(count);
    pagination.setCurrent(requested);
    QCOMPARE(pagination.currentPage(), current);
}

void PaginationTest::setCurrentAfterBuildRelabels()
{
    ShownPagination pagination(12, 1);
    QSignalSpy moves(pagination.get(), &QPagination::onPageChange);

    pagination->setCurrent(8);
    QCOMPARE(row(*pagination), "| < 1 ... 7 [8] 9 ... 12 > |");
    pagination->setCurrent(13);
    QCOMPARE(row(*pagination), "| [<] [1] 2 3 4 5 ... 12 > |");
    QCOMPARE(moves.count(), 0);
}

void PaginationTest::nextAndPreviousWalkEveryPage_data()
{
    QTest::addColumn<int>("count");

    QTest::newRow("12 pages") << 12;
    QTest::newRow("8 pages") << 8;
    QTest::newRow("7 pages") << 7;
    QTest::newRow("2 pages") << 2;
}

// Each step must look exactly like a row built on that page (checked above)
// and report the new page once.
void PaginationTest::nextAndPreviousWalkEveryPage()
{
    QFETCH(int, count);

    ShownPagination pagination(count, 1);
    QSignalSpy moves(pagination.get(), &QPagination::onPageChange);
    QPushButton* previous = navigationButton(*pagination, "buttonPrevious");
    QPushButton* next = navigationButton(*pagination, "buttonNext");
    QVERIFY(previous && next);

    QList<int> expectedMoves;
    for (int page = 2; page <= count; ++page) {
        QTest::mouseClick(next, Qt::LeftButton);
        expectedMoves << page;
        QCOMPARE(pagination->currentPage(), page);
        QCOMPARE(row(*pagination), row(*ShownPagination(count, page)));
    }
    for (int page = count - 1; page >= 1; --page) {
        QTest::mouseClick(previous, Qt::LeftButton);
        expectedMoves << page;
        QCOMPARE(pagination->currentPage(), page);
        QCOMPARE(row(*pagination), row(*ShownPagination(count, page)));
    }

    QList<int> reported;
    for (const QList<QVariant>& move : qAsConst(moves))
        reported << move.at(0).toInt();
    QCOMPARE(reported, expectedMoves);
}

void PaginationTest::pageButtonClicks_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("row");

    QTest::newRow("right gap on 4 of 8") << 8 << 4 << 5 << 7 << "| < 1 ... 4 5 6 [7] 8 > |";
    QTest::newRow("left gap on 5 of 20") << 20 << 5 << 1 << 2 << "| < 1 [2] 3 4 5 ... 20 > |";
    QTest::newRow("left gap on 8 of 8") << 8 << 8 << 1 << 5 << "| < 1 ... 4 [5] 6 7 8 > |";
    QTest::newRow("right gap on 16 of 20") << 20 << 16 << 5 << 19 << "| < 1 ... 16 17 18 [19] 20 > |";
    QTest::newRow("right gap on 5 of 9") << 9 << 5 << 5 << 8 << "| < 1 ... 5 6 7 [8] 9 > |";
    QTest::newRow("left gap on 7 of 12") << 12 << 7 << 1 << 4 << "| < 1 2 3 [4] 5 ... 12 > |";
    QTest::newRow("last page from the first") << 12 << 1 << 6 << 12 << "| < 1 ... 8 9 10 11 [12] [>] |";
    QTest::newRow("first page from the last") << 12 << 12 << 0 << 1 << "| [<] [1] 2 3 4 5 ... 12 > |";
    QTest::newRow("neighbour in the middle") << 12 << 7 << 4 << 8 << "| < 1 ... 7 [8] 9 ... 12 > |";
    QTest::newRow("all pages fit") << 5 << 2 << 4 << 5 << "| < 1 2 3 4 [5] [>] |";
}

void PaginationTest::pageButtonClicks()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(int, position);
    QFETCH(int, page);
    QFETCH(QString, row);

    ShownPagination pagination(count, current);
    QSignalSpy moves(pagination.get(), &QPagination::onPageChange);
    QTest::mouseClick(pageButtons(*pagination).at(position), Qt::LeftButton);

    QCOMPARE(moves.count(), 1);
    QCOMPARE(moves.at(0).at(0).toInt(), page);
    QCOMPARE(pagination->currentPage(), page);
    QCOMPARE(::row(*pagination), row);
}

// setTotal leaves the buttons of the old count in place until the next build;
// clicking one of them still gives a page the new count has.
void PaginationTest::movesStayWithinTheCount()
{
    ShownPagination pagination(12, 1);
    QSignalSpy moves(pagination.get(), &QPagination::onPageChange);
    pagination->setTotal(10);

    QPushButton* lastOfTwelve = pageButtons(*pagination).at(6);
    QCOMPARE(lastOfTwelve->text(), "12");
    QTest::mouseClick(lastOfTwelve, Qt::LeftButton);

    QCOMPARE(moves.count(), 1);
    QCOMPARE(moves.at(0).at(0).toInt(), 10);
    QCOMPARE(pagination->currentPage(), 10);
}

void PaginationTest::newPageCountRebuilds_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("newCount");
    QTest::addColumn<int>("newCurrent");
    QTest::addColumn<QString>("row");

    QTest::newRow("shrinks below the current page") << 12 << 9 << 5 << 1 << "| [<] [1] 2 3 4 5 > |";
    QTest::newRow("shrinks to the current page") << 12 << 5 << 5 << 5 << "| < 1 2 3 4 [5] [>] |";
    QTest::newRow("shrinks, current page kept") << 12 << 9 << 10 << 9 << "| < 1 ... 6 7 8 [9] 10 > |";
    QTest::newRow("grows, current page kept") << 5 << 3 << 20 << 3 << "| < 1 2 [3] 4 5 ... 20 > |";
    QTest::newRow("to no pages") << 3 << 2 << 0 << 1 << "| |";
    QTest::newRow("from no pages") << 0 << 1 << 3 << 1 << "| [<] [1] 2 3 > |";
}

void PaginationTest::newPageCountRebuilds()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(int, newCount);
    QFETCH(int, newCurrent);
    QFETCH(QString, row);

    ShownPagination pagination(count, current);
    QList<QPointer<QPushButton>> oldButtons;
    for (QPushButton* button : pagination->findChildren<QPushButton*>())
        oldButtons << button;
    QSignalSpy moves(pagination.get(), &QPagination::onPageChange);

    pagination->setPageCount(newCount);

    QCOMPARE(pagination->pageCount(), newCount);
    QCOMPARE(pagination->currentPage(), newCurrent);
    QCOMPARE(::row(*pagination), row);
    QCOMPARE(moves.count(), 0);
    const auto remaining = [&oldButtons] {
        return std::count_if(oldButtons.cbegin(), oldButtons.cend(), [](const auto& old) { return !old.isNull(); });
    };
    QTRY_COMPARE_WITH_TIMEOUT(remaining(), 0, 1000);
    // Only the new previous, next and page buttons remain.
    QCOMPARE(pagination->findChildren<QPushButton*>().size(), 2 + qMin(newCount, 7));
}

void PaginationTest::samePageCountKeepsTheButtons()
{
    ShownPagination pagination(12, 7);
    const QList<QPushButton*> before = pagination->findChildren<QPushButton*>();
    const QString rowBefore = row(*pagination);
    QSignalSpy moves(pagination.get(), &QPagination::onPageChange);

    pagination->setPageCount(12);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(pagination->findChildren<QPushButton*>(), before);
    QCOMPARE(pagination->currentPage(), 7);
    QCOMPARE(row(*pagination), rowBefore);
    QCOMPARE(moves.count(), 0);
}

// The page list reloads on a move and may learn a new page count while the
// clicked button is still delivering its click.
void PaginationTest::pageCountChangedWhileTheClickIsDelivered()
{
    ShownPagination pagination(12, 1);
    QSignalSpy moves(pagination.get(), &QPagination::onPageChange);
    connect(pagination.get(), &QPagination::onPageChange, pagination.get(),
            [&pagination] { pagination->setPageCount(3); });
    QPointer<QPushButton> clicked = pageButtons(*pagination).at(6);

    QTest::mouseClick(clicked, Qt::LeftButton);

    QCOMPARE(moves.count(), 1);
    QCOMPARE(moves.at(0).at(0).toInt(), 12);
    QCOMPARE(pagination->currentPage(), 1);
    QCOMPARE(row(*pagination), "| [<] [1] 2 3 > |");
    QTRY_VERIFY_WITH_TIMEOUT(clicked.isNull(), 1000);
}

void PaginationTest::buttonSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");

    const QSize unlimited(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QTest::newRow("not set") << QSize(-1, -1) << QSize(24, 24) << unlimited;
    QTest::newRow("width only") << QSize(40, -1) << QSize(24, 24) << unlimited;
    QTest::newRow("40 x 40") << QSize(40, 40) << QSize(40, 40) << QSize(40, 40);
    QTest::newRow("18 x 30") << QSize(18, 30) << QSize(18, 30) << QSize(18, 30);
}

// Checked after a rebuild, so that buttons made later get the size too.
void PaginationTest::buttonSize()
{
    QFETCH(QSize, size);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);

    ShownPagination pagination(12, 1, size);
    pagination->setPageCount(20);

    for (QPushButton* button : visibleButtons(*pagination)) {
        if (button->objectName() == QLatin1String("buttonPage") || size.isValid())
            QCOMPARE(button->minimumSize(), minimum);
        QCOMPARE(button->maximumSize(), maximum);
    }
}

void PaginationTest::styleSheetPaintsTheBackground()
{
    ShownPagination pagination(3, 1);
    pagination->setStyleSheet(QStringLiteral("QPagination { background: rgb(10, 20, 30); }"));

    // Grabbed through the window, whose own background is another colour, and
    // left of the first spacer, where only the widget's margin lies.
    const QImage image = pagination->window()->grab().toImage();
    const QPoint inMargin = pagination->mapTo(pagination->window(), QPoint(2, 20));
    QCOMPARE(image.pixelColor(inMargin), QColor(10, 20, 30));
}

void PaginationTest::currentPageLooksUnlikeADisabledArrow_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("clickedPage"); // 0: none
    QTest::addColumn<QString>("looks");   // of the visible buttons: "c"urrent, "d"isabled, "o"rdinary

    QTest::newRow("on the first") << 7 << 1 << 0 << "dcooooooo";
    QTest::newRow("on the last") << 7 << 7 << 0 << "ooooooocd";
    QTest::newRow("moved off the first") << 7 << 1 << 3 << "ooocooooo";
    QTest::newRow("relabelled row") << 12 << 1 << 5 << "oooocoooo";
}

// Under the program's style sheet, each look has a face of its own colour,
// sampled just inside the button's top border.
void PaginationTest::currentPageLooksUnlikeADisabledArrow()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(int, clickedPage);
    QFETCH(QString, looks);
    initResources();
    ShownPagination pagination(count, current, QSize(32, 32));
    pagination->window()->setStyleSheet(readStyleSheet(QString(AppConstants::styleSheetResource)));
    for (QPushButton* button : pageButtons(*pagination)) {
        if (button->property("page").toInt() == clickedPage)
            button->click();
    }
    const QImage image = pagination->window()->grab().toImage();
    const QList<QPushButton*> buttons = visibleButtons(*pagination);
    QCOMPARE(buttons.size(), looks.size());
    QMap<QRgb, QSet<QChar>> looksOfFace;
    QSet<QChar> lookSeen;
    for (int i = 0; i < buttons.size(); ++i) {
        const QPoint face = buttons.at(i)->mapTo(pagination->window(), QPoint(buttons.at(i)->width() / 2, 3));
        looksOfFace[image.pixel(face)].insert(looks.at(i));
        lookSeen.insert(looks.at(i));
    }
    // One colour per look, and no colour shared by two.
    QCOMPARE(looksOfFace.size(), lookSeen.size());
    for (const QSet<QChar>& shared : qAsConst(looksOfFace))
        QCOMPARE(shared.size(), 1);
}

QTEST_MAIN(PaginationTest)
#include "tst_pagination.moc"
