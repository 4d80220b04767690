#pragma once

class QFrame;
class QString;
class QTableView;
class QWidget;

// A new table named "tableView" in a frame of the given name that it fills
// edge to edge: the frame is what the screen's layout and style sheet see.
QFrame* framedTable(const QString& frameName, QWidget* parent, QTableView*& table);
