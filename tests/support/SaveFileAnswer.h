#pragma once

#include "widgets/SaveFileDialog.h"

#include <QList>

// For one test scope, answers every save-file question with the given path
// (an empty one cancels) and records what was asked.
class SaveFileAnswer
{
public:
    explicit SaveFileAnswer(const QString& path = {}) : m_path(path)
    {
        SaveFileDialog::set([this](const SaveFileDialog::Question& question) {
            questions.append(question);
            return m_path;
        });
    }
    ~SaveFileAnswer() { SaveFileDialog::set({}); }
    SaveFileAnswer(const SaveFileAnswer&) = delete;
    SaveFileAnswer& operator=(const SaveFileAnswer&) = delete;

    void setPath(const QString& path) { m_path = path; }
    QList<SaveFileDialog::Question> questions;

private:
    QString m_path;
};
