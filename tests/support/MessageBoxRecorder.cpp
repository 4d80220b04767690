#include "support/MessageBoxRecorder.h"

#include <QAbstractButton>

MessageBoxRecorder::MessageBoxRecorder(QMessageBox::StandardButton answer)
    : m_answer(answer), m_runner([this](QMessageBox& box) { this->answer(box); })
{}

void MessageBoxRecorder::answer(QMessageBox& box)
{
    // The text as read: without the invisible break hints of long paths.
    QString text = box.text();
    text.remove(QChar(0x200B));
    boxes.append({box.icon(), box.windowTitle(), text, box.parentWidget()});
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
