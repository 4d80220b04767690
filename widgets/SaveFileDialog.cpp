#include "widgets/SaveFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString SaveFileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                        const QString& filter, const QString& defaultSuffix,
                                        const QString& suggestedName)
{
    const Question question{parent, caption, directory, filter, defaultSuffix, suggestedName};
    return current() ? current()(question) : ask(question);
}

QString SaveFileDialog::ask(const Question& question)
{
    // A folder that isn't there yet (no Documents folder) would show up as
    // the file's name: the dialog opens in the home folder instead.
    const QString folder =
        question.directory.isEmpty() || QFileInfo::exists(question.directory) ? question.directory : QDir::homePath();
    const QString start = question.suggestedName.isEmpty() ? folder : QDir(folder).filePath(question.suggestedName);
    QFileDialog dialog(question.parent, question.caption, start, question.filter);
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(question.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void SaveFileDialog::set(Function function)
{
    current() = std::move(function);
}

SaveFileDialog::Function& SaveFileDialog::current()
{
    static Function function;
    return function;
}
