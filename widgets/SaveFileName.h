#pragma once

#include <QString>

#include <functional>

class QWidget;

// Asks the practitioner where to save a file, with the platform's save
// dialog over the parent: the chosen path, or an empty text when no name was
// given. Tests put in a function that answers instead, so no human is needed.
QString askSaveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter);

class SaveFileNameRunner
{
public:
    using Function =
        std::function<QString(QWidget* parent, const QString& title, const QString& folder, const QString& filter)>;

    // An empty function restores the save dialog.
    static void set(Function function);

private:
    friend QString askSaveFileName(QWidget*, const QString&, const QString&, const QString&);
    static Function& current();
};
