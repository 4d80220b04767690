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
        // Added by the dialog to a name typed without one, before it asks
        // whether to replace a file of that name: the question is about the
        // file that will be written.
        QString defaultSuffix;
        // The file name offered at first; none when empty.
        QString suggestedName;
    };
    using Function = std::function<QString(const Question&)>;

    // The chosen path, as the dialog completed it, or an empty text when the
    // practitioner cancelled.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                   const QString& filter, const QString& defaultSuffix,
                                   const QString& suggestedName = {});
    // An empty function restores the toolkit's dialog.
    static void set(Function function);

private:
    static QString ask(const Question& question);
    static Function& current();
};
