// The toolkit's save dialog as the program builds it: a name typed without a
// suffix takes the default one before the dialog asks whether to replace a
// file, so the question is about the file that will be written.
#include "app/Application.h"
#include "support/ModalDialogDriver.h"
#include "widgets/SaveFileDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class SaveFileDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setupApplication(*qApp); }
    void replaceQuestionNamesTheRealFile_data();
    void replaceQuestionNamesTheRealFile();
};

void SaveFileDialogTest::replaceQuestionNamesTheRealFile_data()
{
    QTest::addColumn<QString>("existing"); // a file already in the folder
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("replace");   // the answer to the question, if one comes
    QTest::addColumn<QString>("asked");  // the file the question names; empty: no question
    QTest::addColumn<QString>("chosen"); // empty: nothing chosen

    QTest::newRow("bare name beside its workbook, replaced") << "anna.xlsx"
                                                             << "anna" << true << "anna.xlsx"
                                                             << "anna.xlsx";
    QTest::newRow("bare name beside its workbook, kept") << "anna.xlsx"
                                                         << "anna" << false << "anna.xlsx"
                                                         << "";
    QTest::newRow("a file without suffix is another file") << "anna"
                                                           << "anna" << true << ""
                                                           << "anna.xlsx";
    QTest::newRow("typed with the suffix") << "anna.xlsx"
                                           << "anna.xlsx" << true << "anna.xlsx"
                                           << "anna.xlsx";
    QTest::newRow("a suffix of its own is kept") << "anna.xlsx"
                                                 << "anna.v2" << true << ""
                                                 << "anna.v2";
}

void SaveFileDialogTest::replaceQuestionNamesTheRealFile()
{
    QFETCH(QString, existing);
    QFETCH(QString, typed);
    QFETCH(bool, replace);
    QFETCH(QString, asked);
    QFETCH(QString, chosen);

    QTemporaryDir folder;
    QFile file(folder.filePath(existing));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QString question;
    whenModalAppears([&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
        if (!asked.isEmpty()) {
            whenModalAppears([&, dialog](QWidget* box) {
                question = qobject_cast<QMessageBox*>(box)->text();
                qobject_cast<QMessageBox*>(box)->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
                // Kept: the dialog stays for another name; the practitioner gives up.
                if (!replace)
                    QTimer::singleShot(0, qobject_cast<QDialog*>(dialog), &QDialog::reject);
            });
        }
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
    });
    const QString path = SaveFileDialog::getSaveFileName(nullptr, QStringLiteral("Save"), folder.path(),
                                                         QStringLiteral("*.xlsx"), QStringLiteral("xlsx"));

    QCOMPARE(path, chosen.isEmpty() ? QString() : folder.filePath(chosen));
    QVERIFY2(asked.isEmpty() ? question.isEmpty() : question.startsWith(asked + QLatin1Char(' ')),
             qPrintable(question));
}

QTEST_MAIN(SaveFileDialogTest)
#include "tst_savefiledialog.moc"
