#pragma once

#include <QPointer>
#include <QWidget>

// A half-transparent overlay that covers its parent while a service call runs:
// "request in progress" above an animation. Lying above the parent's other
// children, it keeps clicks from the covered controls; holding the keyboard
// focus, it keeps keys from them too (Enter on a form would save it again).
// The focus goes back where it was when the overlay goes. A call that runs
// long offers a button to stop waiting, so a service that takes the
// connection but never answers holds nobody for the transport's minutes.
class LoadingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingWindow(QWidget* parent);
    ~LoadingWindow() override;

    // How long a call runs before the overlay offers to stop waiting.
    static int stopWaitingOfferMs();
    // For tests: a shorter time; 0 restores the compiled-in one.
    static void setStopWaitingOfferMsForTests(int milliseconds);

signals:
    void stopWaitingClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void fit();

    QPointer<QWidget> m_focusBefore;
};
