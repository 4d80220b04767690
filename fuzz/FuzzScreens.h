#pragma once

#include "FuzzModels.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QList>

// The screens' targets start alike, in the one file of each that includes
// this. The screens ask the service as soon as they open; pointed at an
// address the client refuses (plain http to another machine), every such
// call fails at once without leaving the process, and its error box is
// answered at once.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("SONVERA_SERVICE_URL", "http://192.0.2.1");
    startOffscreenApplication<QApplication>();
    MessageBoxRunner::set([](QMessageBox&) {});
    return 0;
}

// Lets the refused calls report and their objects go, as the event loop would.
inline void settleEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The input cut at NUL bytes into that many answers of the service; missing
// ones are empty, and what follows the last is dropped.
inline QList<QByteArray> fuzzAnswers(const QByteArray& input, int count)
{
    QList<QByteArray> answers = input.split('\0');
    while (answers.size() < count)
        answers.append(QByteArray());
    return answers.mid(0, count);
}
