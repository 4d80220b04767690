#include "widgets/SaveFileName.h"

#include <QFileDialog>

QString askSaveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    if (const SaveFileNameRunner::Function& function = SaveFileNameRunner::current())
        return function(parent, title, folder, filter);
    return QFileDialog::getSaveFileName(parent, title, folder, filter);
}

void SaveFileNameRunner::set(Function function)
{
    current() = std::move(function);
}

SaveFileNameRunner::Function& SaveFileNameRunner::current()
{
    static Function function;
    return function;
}
