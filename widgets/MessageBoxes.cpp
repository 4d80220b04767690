#include "widgets/MessageBoxes.h"

#include <QAbstractButton>
#include <QIcon>
#include <QLayout>
#include <QMessageBox>
#include <QPixmap>
#include <QRegularExpression>

// The keys are written out as QObject::tr literals so that lupdate finds them
// under the context "QObject".
namespace {

// A box wraps its text at spaces only: a path, which has none, would stretch
// the box as wide as the screen and then be cut. A word this long gets an
// invisible break after each separator of its parts, and within a part
// longer still.
constexpr int longWord = 32;
const QChar breakHint(0x200B); // zero-width space

QString withBreakHints(const QString& word)
{
    QString broken;
    int sinceBreak = 0;
    for (const QChar character : word) {
        broken += character;
        ++sinceBreak;
        const bool separator = QStringLiteral("/\\_-").contains(character);
        if (separator || sinceBreak >= longWord) {
            broken += breakHint;
            sinceBreak = 0;
        }
    }
    return broken;
}

QString breakableText(const QString& text)
{
    static const QRegularExpression longWords(QStringLiteral("\\S{%1,}").arg(longWord));
    QString result;
    int done = 0;
    QRegularExpressionMatchIterator words = longWords.globalMatch(text);
    while (words.hasNext()) {
        const QRegularExpressionMatch word = words.next();
        result += text.midRef(done, word.capturedStart() - done);
        result += withBreakHints(word.captured());
        done = word.capturedEnd();
    }
    return result + text.midRef(done);
}

// Some desktops put stock icons on dialog buttons; the program's buttons show
// their text alone on every platform.
void runWithPlainButtons(QMessageBox& box)
{
    for (QAbstractButton* button : box.buttons())
        button->setIcon(QIcon());
    MessageBoxRunner::run(box);
}

void showOkBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, breakableText(text), QMessageBox::Ok, parent);
    runWithPlainButtons(box);
}

bool askQuestion(QWidget* parent, const QString& title, const QString& text, const QString& picture = {})
{
    QMessageBox box(QMessageBox::Question, title, breakableText(text), QMessageBox::Yes | QMessageBox::No, parent,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    if (!picture.isEmpty())
        box.setIconPixmap(QPixmap(picture));
    QAbstractButton* yes = box.button(QMessageBox::Yes);
    yes->setText(QObject::tr("Text.yes"));
    box.button(QMessageBox::No)->setText(QObject::tr("Text.no"));
    box.setDefaultButton(QMessageBox::No);
    box.layout()->setContentsMargins(32, 24, 32, 24);
    runWithPlainButtons(box);
    // Closing the box by any other means than Yes answers no.
    return box.clickedButton() == yes;
}

} // namespace

namespace {

QString& alreadyShownError()
{
    static QString message;
    return message;
}

} // namespace

ErrorAlreadyShown::ErrorAlreadyShown(const QString& message) : m_previous(alreadyShownError())
{
    alreadyShownError() = message;
}

ErrorAlreadyShown::~ErrorAlreadyShown()
{
    alreadyShownError() = m_previous;
}

bool ErrorAlreadyShown::covers(const QString& message)
{
    return !message.isEmpty() && message == alreadyShownError();
}

void showError(QWidget* parent, const QString& message)
{
    if (ErrorAlreadyShown::covers(message))
        return;
    showOkBox(parent, QMessageBox::Critical, QObject::tr("Text.error"), message);
}

void showSuccess(QWidget* parent, const QString& message)
{
    showOkBox(parent, QMessageBox::Information, QObject::tr("Text.success"), message);
}

void showInformation(QWidget* parent, const QString& title, const QString& text)
{
    showOkBox(parent, QMessageBox::Information, title, text);
}

bool askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    return askQuestion(parent, title, text);
}

bool confirmDeletePatient(QWidget* parent, const QString& patientName)
{
    return askQuestion(parent, QObject::tr("Dialog.deletePatient"),
                       QObject::tr("Dialog.confirmDeletePatient").arg(patientName),
                       QStringLiteral(":/images/patient-delete.png"));
}

bool confirmDeleteRecord(QWidget* parent, const QString& text)
{
    return askQuestion(parent, QObject::tr("Dialog.deleteRecord"), QObject::tr("Dialog.confirmDeleteRecord").arg(text),
                       QStringLiteral(":/images/record-delete.png"));
}

void MessageBoxRunner::run(QMessageBox& box)
{
    if (current())
        current()(box);
    else
        box.exec();
}

void MessageBoxRunner::set(Function function)
{
    current() = std::move(function);
}

MessageBoxRunner::Function& MessageBoxRunner::current()
{
    static Function function;
    return function;
}
