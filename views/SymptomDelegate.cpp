#include "views/SymptomDelegate.h"

#include "views/SymptomModel.h"

#include <QComboBox>
#include <QPersistentModelIndex>
#include <QSignalBlocker>

SymptomDelegate::SymptomDelegate(SymptomModel* model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}

QWidget* SymptomDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    Q_UNUSED(option)
    if (!m_model->table().isEditable(index.column(), index.row()))
        return nullptr;
    auto* editor = new QComboBox(parent);
    editor->setObjectName(QStringLiteral("comboBoxLevel"));
    editor->setFrame(false);
    for (int level = 0; level <= 3; ++level)
        editor->addItem(SymptomModel::levelName(level), level);
    const QPersistentModelIndex cell(index);
    SymptomModel* model = m_model;
    connect(editor, qOverload<int>(&QComboBox::currentIndexChanged), editor, [editor, cell, model](int chosen) {
        if (cell.isValid() && chosen >= 0)
            model->setData(cell, editor->itemData(chosen).toFloat(), Qt::DisplayRole);
    });
    return editor;
}

void SymptomDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo)
        return;
    // Showing the stored level is no choice of the practitioner's.
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index.data(Qt::EditRole).toInt());
}

void SymptomDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    Q_UNUSED(index)
    editor->setGeometry(option.rect);
}
