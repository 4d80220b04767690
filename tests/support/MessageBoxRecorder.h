#pragma once

#include "support/ScopedMessageBoxRunner.h"

#include <QList>
#include <QMessageBox>
#include <QString>

// What one message box showed.
struct ShownMessageBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QWidget* parent = nullptr;
};

// For one test scope, records every message box instead of showing it and
// answers it: with the given button when the box has it, else with its
// escape (Cancel, No or Ok).
class MessageBoxRecorder
{
public:
    explicit MessageBoxRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok);

    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    QList<ShownMessageBox> boxes;

    // The texts of the boxes shown so far, for readable failure messages.
    QStringList texts() const;

private:
    void answer(QMessageBox& box);

    QMessageBox::StandardButton m_answer;
    ScopedMessageBoxRunner m_runner;
};
