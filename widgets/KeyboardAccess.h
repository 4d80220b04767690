#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QAbstractButton;
class QAbstractItemView;
class QModelIndex;
class QWidget;

// Keys a practitioner works the screens with, without a mouse.

// Keys that press the button, as a click does, while it is shown and enabled
// (a screen below the current one hears none). The first keys are the ones
// its tooltip shows.
void pressWithKeys(QAbstractButton* button, const QList<QKeySequence>& keys);

// The keys that press the button first; empty when none do.
QKeySequence keysOf(const QAbstractButton* button);

// "Refresh (F5)": a tooltip that tells the button's keys.
QString withKeys(const QString& tip, const QKeySequence& keys);

// The button's text with its keys as its tooltip; call after its text is set.
void tellKeysInToolTip(QAbstractButton* button);

// A tip and a name for a control that shows only a picture: the tooltip
// tells its keys, and a screen reader says the name.
void namePictureButton(QAbstractButton* button, const QString& name);

// A table that Tab and Shift+Tab leave instead of moving between cells,
// with the name a screen reader says for it.
void setUpKeyboardTable(QAbstractItemView* table, const QString& name);

// A focused table always shows a selected current row, the first when it
// has none (on Tab into it, after a reload or a new page), so the row keys
// act on the row that shows. Call once the table has its model.
void keepFocusedRow(QAbstractItemView* table);

// Keys that act on the focused row of the table while the table has focus
// (Enter opens it, Delete removes it...); nothing happens without a row.
void actOnFocusedRow(QAbstractItemView* table, const QList<QKeySequence>& keys,
                     const std::function<void(const QModelIndex&)>& action);
