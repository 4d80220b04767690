#pragma once

#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPlainTextEdit;

// The floating bubble that shows a marker's title and description beside the
// notes picture of the recipe table, its arrow pointing at the cell from the
// right. It stays while the pointer is over it or over that cell and hides
// within half a second otherwise. It is a window of its own, yet a child of
// the screen: it goes with the screen.
class ReceiptDescriptionPopup : public QWidget
{
    Q_OBJECT

public:
    // How the bubble's surroundings are left out. A translucent window needs
    // a compositing desktop, without which the transparent parts show black;
    // there the window is cut to the bubble's shape instead, without shadow.
    enum class Backdrop
    {
        Translucent,
        Shaped,
    };
    // Translucent where the window system always composites; shaped on X11,
    // where a compositor may be missing.
    static Backdrop platformBackdrop();

    explicit ReceiptDescriptionPopup(QWidget* parent, Backdrop backdrop = platformBackdrop());

    Backdrop backdrop() const { return m_backdrop; }

    void setMarker(int row, const QString& title, const QString& description);
    int row() const { return m_row; }
    // The point the arrow points at and the hovered cell, in global coordinates.
    void setAnchor(const QPoint& anchor) { m_anchor = anchor; }
    void setHoverRect(const QRect& rect) { m_hoverRect = rect; }
    // Keeps the popup for another half second.
    void restartHideTimer();
    bool hideTimerActive() const { return m_hideTimer.isActive(); }

    // Placed at its anchor, with the hide timer running, whenever it shows.
    void setVisible(bool visible) override;

    static constexpr int hideIntervalMs = 500;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    void onHideTick();
    void redrawBubble();

    Backdrop m_backdrop;
    QLabel* m_background = nullptr;
    QLabel* m_title = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QTimer m_hideTimer;
    QPoint m_anchor;
    QRect m_hoverRect;
    int m_row = -1;
};
