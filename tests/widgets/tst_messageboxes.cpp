#include "app/Application.h"
#include "base/Language.h"
#include "support/ModalDialogDriver.h"
#include "support/ScopedMessageBoxRunner.h"
#include "widgets/MessageBoxes.h"

#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>
#include <QtTest>

namespace {

// What a message box looked like when it was run.
struct SeenBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QImage picture;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString yesText;
    QString noText;
    QMargins margins;
    QWidget* parent = nullptr;
    bool modal = false;
};

// Records the box and answers it by clicking the given button.
MessageBoxRunner::Function answerWith(QMessageBox::StandardButton answer, SeenBox& seen)
{
    return [answer, &seen](QMessageBox& box) {
        seen.icon = box.icon();
        seen.title = box.windowTitle();
        seen.text = box.text();
        seen.picture = box.iconPixmap().toImage();
        seen.buttons = box.standardButtons();
        seen.defaultButton = box.defaultButton() ? box.standardButton(box.defaultButton()) : QMessageBox::NoButton;
        seen.yesText = box.button(QMessageBox::Yes) ? box.button(QMessageBox::Yes)->text() : QString();
        seen.noText = box.button(QMessageBox::No) ? box.button(QMessageBox::No)->text() : QString();
        seen.margins = box.layout()->contentsMargins();
        seen.parent = box.parentWidget();
        seen.modal = box.isModal();
        if (answer != QMessageBox::NoButton)
            box.button(answer)->click();
        else
            box.reject();
    };
}

} // namespace

class MessageBoxesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void okBoxes_data();
    void okBoxes();
    void questions_data();
    void questions();
    void onlyYesAnswersYes_data();
    void onlyYesAnswersYes();
    void enterAndEscapeAnswerNoInARealBox();
    void clickingYesInARealBoxAnswersYes();
    void longPathsWrapWithinTheBox_data();
    void longPathsWrapWithinTheBox();

private:
    QTranslator m_translator;
    QWidget m_parent;
};

void MessageBoxesTest::initTestCase()
{
    initResources();
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void MessageBoxesTest::okBoxes_data()
{
    QTest::addColumn<int>("helper");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    QTest::newRow("error") << 0 << int(QMessageBox::Critical) << "Error"
                           << "The service is unreachable";
    QTest::newRow("empty error still shows its title") << 0 << int(QMessageBox::Critical) << "Error"
                                                       << "";
    QTest::newRow("success") << 1 << int(QMessageBox::Information) << "Success"
                             << "Saved";
    QTest::newRow("information") << 2 << int(QMessageBox::Information) << "Updates"
                                 << "Up to date";
}

void MessageBoxesTest::okBoxes()
{
    QFETCH(int, helper);
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(QString, text);

    SeenBox seen;
    ScopedMessageBoxRunner runner(answerWith(QMessageBox::Ok, seen));
    if (helper == 0)
        showError(&m_parent, text);
    else if (helper == 1)
        showSuccess(&m_parent, text);
    else
        showInformation(&m_parent, title, text);

    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.parent, &m_parent);
    QVERIFY(seen.modal);
}

void MessageBoxesTest::questions_data()
{
    QTest::addColumn<int>("helper");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("picture");

    QTest::newRow("ask yes or no") << 0 << "Exit"
                                   << "Close the program?"
                                   << "";
    QTest::newRow("delete patient") << 1 << "Delete patient"
                                    << "Delete the patient Anna and all their records?"
                                    << ":/images/patient-delete.png";
    QTest::newRow("delete record") << 2 << "Delete record"
                                   << "Delete the record of 2026-12-06 15:04:05?"
                                   << ":/images/record-delete.png";
}

void MessageBoxesTest::questions()
{
    QFETCH(int, helper);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, picture);

    SeenBox seen;
    ScopedMessageBoxRunner runner(answerWith(QMessageBox::No, seen));
    bool answer = true;
    if (helper == 0)
        answer = askYesNo(&m_parent, title, text);
    else if (helper == 1)
        answer = confirmDeletePatient(&m_parent, QStringLiteral("Anna"));
    else
        answer = confirmDeleteRecord(&m_parent, QStringLiteral("2026-12-06 15:04:05"));

    QVERIFY(!answer);
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(seen.defaultButton, QMessageBox::No);
    QCOMPARE(seen.yesText, QStringLiteral("Yes"));
    QCOMPARE(seen.noText, QStringLiteral("No"));
    QCOMPARE(seen.margins, QMargins(32, 24, 32, 24));
    QCOMPARE(seen.parent, &m_parent);
    if (picture.isEmpty()) {
        QCOMPARE(seen.icon, QMessageBox::Question);
    } else {
        // The picture takes the place of the question icon.
        QVERIFY(!seen.picture.isNull());
        QCOMPARE(seen.picture, QPixmap(picture).toImage());
    }
}

void MessageBoxesTest::onlyYesAnswersYes_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("expected");

    QTest::newRow("yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("no") << int(QMessageBox::No) << false;
    QTest::newRow("closed otherwise") << int(QMessageBox::NoButton) << false;
}

void MessageBoxesTest::onlyYesAnswersYes()
{
    QFETCH(int, button);
    QFETCH(bool, expected);
    SeenBox seen;
    ScopedMessageBoxRunner runner(answerWith(QMessageBox::StandardButton(button), seen));
    QCOMPARE(askYesNo(&m_parent, QStringLiteral("t"), QStringLiteral("q")), expected);
    QCOMPARE(confirmDeletePatient(&m_parent, QStringLiteral("Anna")), expected);
}

void MessageBoxesTest::enterAndEscapeAnswerNoInARealBox()
{
    m_parent.show();
    whenModalAppears([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    QVERIFY(!askYesNo(&m_parent, QStringLiteral("Exit"), QStringLiteral("Close the program?")));

    whenModalAppears([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QVERIFY(!confirmDeleteRecord(&m_parent, QStringLiteral("record")));
}

void MessageBoxesTest::clickingYesInARealBoxAnswersYes()
{
    m_parent.show();
    bool wasModal = false;
    whenModalAppears([&wasModal](QWidget* box) {
        wasModal = box->isModal();
        static_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
    });
    QVERIFY(confirmDeletePatient(&m_parent, QStringLiteral("Anna")));
    QVERIFY(wasModal);
}

void MessageBoxesTest::longPathsWrapWithinTheBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hinted"); // breaks are offered within a word

    QTest::newRow("Windows path") << "Saved: C:\\Users\\practitioner\\Documents\\Patients\\Anna Schmidt\\"
                                     "impact_2026-12-06_15-04-05_recipe.wav"
                                  << true;
    QTest::newRow("one long name") << "Not saved: " + QString(150, QLatin1Char('x')) << true;
    QTest::newRow("sentence") << "The service is unreachable; try again in a minute." << false;
}

// The box stays about as wide as for a sentence and cuts nothing; the text
// reads unchanged, as the breaks offered are invisible.
void MessageBoxesTest::longPathsWrapWithinTheBox()
{
    QFETCH(QString, text);
    QFETCH(bool, hinted);
    QString shown;
    int width = 0;
    int cut = 0; // how much wider than its label the widest word is
    ScopedMessageBoxRunner runner([&](QMessageBox& messageBox) {
        messageBox.show();
        shown = messageBox.text();
        auto* label = messageBox.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        width = messageBox.width();
        cut = label->minimumSizeHint().width() - label->width();
        messageBox.reject();
    });
    showError(&m_parent, text);

    const int screenWidth = m_parent.screen()->availableGeometry().width();
    QVERIFY2(width <= screenWidth / 2 + 120 && cut <= 0,
             qPrintable(QStringLiteral("%1 wide, %2 cut").arg(width).arg(cut)));
    QCOMPARE(shown.contains(QChar(0x200B)), hinted);
    QCOMPARE(QString(shown).remove(QChar(0x200B)), text);
}

QTEST_MAIN(MessageBoxesTest)
#include "tst_messageboxes.moc"
