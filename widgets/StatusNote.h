#pragma once

class QString;
class QWidget;

// Says in the status bar of the main window holding `from` that something
// was done, such as where a file was saved: read in passing, with no box to
// dismiss. Where no main window holds `from` (a screen shown on its own), the
// note goes to the log only.
void showStatusNote(QWidget* from, const QString& text);
