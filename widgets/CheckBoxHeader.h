#pragma once

#include <QHeaderView>

// A header whose first section carries a check box. A click on that section
// flips the box and reports it; it never sorts. Other sections behave as in
// any header.
class CheckBoxHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit CheckBoxHeader(Qt::Orientation orientation, QWidget* parent = nullptr);

    bool isChecked() const { return m_checked; }
    // Shows the state without reporting it.
    void setChecked(bool checked);

signals:
    void checkBoxClicked(bool state);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_checked = false;
};
