#include "widgets/SaveFileDialog.h"

#include <QFileDialog>

QString SaveFileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                        const QString& filter)
{
    if (current())
        return current()({parent, caption, directory, filter});
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
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
