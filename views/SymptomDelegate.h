#pragma once

#include <QStyledItemDelegate>

// The drop-down editor of an intensity: the four levels by name. It opens
// with its list on a click (or F2), and only a choice from the list stores a
// level, at once; the editor goes when the list closes. The mouse wheel
// changes no level: it scrolls the table.
class SymptomDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit SymptomDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    // Stores the level only when the practitioner chose one.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};
