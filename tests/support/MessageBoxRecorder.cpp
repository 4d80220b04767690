#include "support/MessageBoxRecorder.h"

#include <QAbstractButton>

MessageBoxRecorder::MessageBoxRecorder(QMessageBox::StandardButton answer)
    : m_answer(answer), m_runner([this](QMessageBox& box) { this->answer(box); })
{}

void MessageBoxRecorder::answer(QMessageBox& box)
{
    boxes.append({box.icon(), box.windowTitle(), box.text(), box.parentWidget()});
    if (QAbstractButton* button = box.button(m_answer))
        button->click();
    else
        box.reject();
}

QStringList MessageBoxRecorder::texts() const
{
    QStringList texts;
    for (const ShownMessageBox& box : boxes)
        texts << box.title + QStringLiteral(": ") + box.text;
    return texts;
}
