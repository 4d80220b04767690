#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

// The shared message boxes of every screen. Texts are translated under the
// context "QObject"; every box is modal over the given parent.
void showError(QWidget* parent, const QString& message);
void showSuccess(QWidget* parent, const QString& message);
void showInformation(QWidget* parent, const QString& title, const QString& text);

// While it lives, an error box with this text is not shown: the practitioner
// has just read the same message in a question of its own (to try again)
// and declined it. An empty text drops nothing.
class ErrorAlreadyShown
{
public:
    explicit ErrorAlreadyShown(const QString& message);
    ~ErrorAlreadyShown();
    ErrorAlreadyShown(const ErrorAlreadyShown&) = delete;
    ErrorAlreadyShown& operator=(const ErrorAlreadyShown&) = delete;

    static bool covers(const QString& message);

private:
    QString m_previous;
};

// Yes/No questions with No as the default answer: true only when the
// practitioner chose Yes.
bool askYesNo(QWidget* parent, const QString& title, const QString& text);
bool confirmDeletePatient(QWidget* parent, const QString& patientName);
bool confirmDeleteRecord(QWidget* parent, const QString& text);

// How a prepared message box is run. The program runs it modally; a test puts
// in a function that inspects the box and clicks one of its buttons, so no
// human is needed.
class MessageBoxRunner
{
public:
    using Function = std::function<void(QMessageBox&)>;

    static void run(QMessageBox& box);
    // An empty function restores the modal run.
    static void set(Function function);

private:
    static Function& current();
};
