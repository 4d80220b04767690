#pragma once

#include <QString>

#include <functional>

class QWidget;

// Asks the practitioner where to save a file. The program shows the toolkit's
// save dialog; a test puts in a function that answers instead (a path, or an
// empty text for Cancel), so no human is needed.
class SaveFileDialog
{
public:
    struct Question
    {
        QWidget* parent = nullptr;
        QString caption;
        QString directory;
        QString filter;
    };
    using Function = std::function<QString(const Question&)>;

    // The chosen path, or an empty text when the practitioner cancelled.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                   const QString& filter);
    // An empty function restores the toolkit's dialog.
    static void set(Function function);

private:
    static Function& current();
};
