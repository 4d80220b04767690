#pragma once

#include <QWidget>

// A half-transparent overlay that covers its parent while a service call runs:
// "request in progress" above an animation. Lying above the parent's other
// children, it keeps clicks from the covered controls.
class LoadingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingWindow(QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void fit();
};
