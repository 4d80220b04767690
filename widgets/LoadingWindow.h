#pragma once

#include <QPointer>
#include <QWidget>

// A half-transparent overlay that covers its parent while a service call runs:
// "request in progress" above an animation. Lying above the parent's other
// children, it keeps clicks from the covered controls; holding the keyboard
// focus, it keeps keys from them too (Enter on a form would save it again).
// The focus goes back where it was when the overlay goes.
class LoadingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingWindow(QWidget* parent);
    ~LoadingWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void fit();

    QPointer<QWidget> m_focusBefore;
};
