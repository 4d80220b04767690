// The toolkit's own texts follow the interface language: file, print and
// message dialogs and the context menu of a text field. Each row makes one of
// them and reads back the texts it shows.

#include "base/ToolkitTranslation.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

using TextsOf = QStringList (*)();

QStringList shownTexts(const QWidget& widget)
{
    QStringList texts;
    for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QLabel* label : widget.findChildren<QLabel*>())
        texts << label->text();
    texts.removeAll(QString());
    return texts;
}

QStringList saveDialogTexts()
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return shownTexts(dialog);
}

QStringList messageBoxTexts()
{
    QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Save);
    return shownTexts(box);
}

QStringList textFieldMenuTexts()
{
    QLineEdit field(QStringLiteral("text"));
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    texts.removeAll(QString());
    return texts;
}

QStringList printDialogTexts()
{
    QPrinter printer;
    return shownTexts(QPrintDialog(&printer));
}

bool hasScript(const QString& text, QChar::Script script)
{
    return std::any_of(text.cbegin(), text.cend(), [script](QChar c) { return c.script() == script; });
}

} // namespace

Q_DECLARE_METATYPE(TextsOf)

class ToolkitTranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void toolkitTextsSpeakTheInterfaceLanguage_data();
    void toolkitTextsSpeakTheInterfaceLanguage();

private:
    QTranslator m_translator;
};

void ToolkitTranslationTest::toolkitTextsSpeakTheInterfaceLanguage_data()
{
    QTest::addColumn<TextsOf>("textsOf");
    QTest::newRow("save file dialog") << &saveDialogTexts;
    QTest::newRow("message box") << &messageBoxTexts;
    QTest::newRow("text field menu") << &textFieldMenuTexts;
    QTest::newRow("print dialog") << &printDialogTexts;
}

void ToolkitTranslationTest::toolkitTextsSpeakTheInterfaceLanguage()
{
    QFETCH(TextsOf, textsOf);
    const QStringList english = textsOf();
    QVERIFY(!english.isEmpty());

    QVERIFY2(loadToolkitTranslation(m_translator, QStringLiteral("ru_RU")),
             qPrintable(toolkitTranslationFolders().join(QLatin1Char(' '))));
    // Every word is Russian but "OK", which Russian keeps.
    for (QString text : textsOf()) {
        text.remove(QLatin1Char('&')).remove(QStringLiteral("OK"));
        QVERIFY2(!hasScript(text.section(QLatin1Char('\t'), 0, 0), QChar::Script_Latin), qPrintable(text));
    }
    QVERIFY(hasScript(textsOf().join(QString()), QChar::Script_Cyrillic));

    // English takes the toolkit's translation away again.
    QVERIFY(!loadToolkitTranslation(m_translator, QStringLiteral("en_US")));
    QCOMPARE(textsOf(), english);
}

QTEST_MAIN(ToolkitTranslationTest)
#include "tst_toolkittranslation.moc"
