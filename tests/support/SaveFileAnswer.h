#pragma once

#include "widgets/SaveFileDialog.h"

#include <QFileInfo>
#include <QList>

// For one test scope, answers every save-file question with the given path
// (an empty one cancels) and records what was asked. As the dialog does, a
// file name without a dot takes the question's default suffix.
class SaveFileAnswer
{
public:
    explicit SaveFileAnswer(const QString& path = {}) : m_path(path)
    {
        SaveFileDialog::set([this](const SaveFileDialog::Question& question) {
            questions.append(question);
            if (m_path.isEmpty() || question.defaultSuffix.isEmpty() || QFileInfo(m_path).fileName().contains('.'))
                return m_path;
            return m_path + QLatin1Char('.') + question.defaultSuffix;
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
