#pragma once

#include <QStyledItemDelegate>

class SymptomModel;

// The drop-down editor of an intensity: the four levels by name. Choosing one
// stores it at once, without waiting for the editor to close.
class SymptomDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    SymptomDelegate(SymptomModel* model, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    SymptomModel* m_model;
};
