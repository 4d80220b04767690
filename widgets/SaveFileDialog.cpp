#include "widgets/SaveFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString SaveFileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                        const QString& filter)
{
    if (current())
        return current()({parent, caption, directory, filter});
    // A folder that isn't there yet (no Documents folder) would show up as
    // the file's name: the dialog opens in the home folder instead.
    const QString start = directory.isEmpty() || QFileInfo::exists(directory) ? directory : QDir::homePath();
    return QFileDialog::getSaveFileName(parent, caption, start, filter);
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
