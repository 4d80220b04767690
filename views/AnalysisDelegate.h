#pragma once

#include <QImage>
#include <QStyledItemDelegate>

// Paints the value cells of the marker table as a bar over a green-to-red
// ramp: v percent of the cell filled, its right end the colour found v
// percent along the ramp, and "v%" in the middle.
class AnalysisDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit AnalysisDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const QImage m_gradient;
};
