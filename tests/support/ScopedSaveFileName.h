#pragma once

#include "widgets/SaveFileName.h"

#include <QList>
#include <QString>

// For one test scope, answers every question where to save a file with the
// given path (empty: the practitioner gave no name) and records what was
// asked; then the save dialog is back.
class ScopedSaveFileName
{
public:
    struct Question
    {
        QWidget* parent = nullptr;
        QString title;
        QString folder;
        QString filter;
    };

    explicit ScopedSaveFileName(const QString& answer)
    {
        SaveFileNameRunner::set(
            [this, answer](QWidget* parent, const QString& title, const QString& folder, const QString& filter) {
                questions.append({parent, title, folder, filter});
                return answer;
            });
    }
    ~ScopedSaveFileName() { SaveFileNameRunner::set({}); }
    ScopedSaveFileName(const ScopedSaveFileName&) = delete;
    ScopedSaveFileName& operator=(const ScopedSaveFileName&) = delete;

    QList<Question> questions;
};
