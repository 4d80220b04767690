#pragma once

#include <QString>

class QApplication;

// Makes the compiled-in pictures, flags and style sheet available. The
// resources live in a static library, so they must be pulled in explicitly.
void initResources();

// The style sheet file read as Latin-1 text up to its first NUL byte; empty
// when the file is missing or unreadable.
QString readStyleSheet(const QString& path);

// Style sheet, application identity, toolkit attributes and window icon, set
// once before any window exists.
void setupApplication(QApplication& application);

// The whole program after the application object exists: set-up, log, the
// main window with its sign-in, and the event loop. An abandoned sign-in
// ends it at once with status 0.
int runApplication(QApplication& application);
