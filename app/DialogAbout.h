#pragma once

#include <QDialog>

class QGridLayout;
class QLabel;

// The program's identity: name, kind, version and how to reach its makers.
class DialogAbout : public QDialog
{
    Q_OBJECT

public:
    explicit DialogAbout(QWidget* parent = nullptr);

public slots:
    void onClose();

private:
    QLabel* addLabel(const QString& objectName, const QString& text);
    void addDetailRow(QGridLayout* layout, int row, QLabel* title, QLabel* value);
};
