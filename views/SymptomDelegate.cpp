#include "views/SymptomDelegate.h"

#include "views/SymptomModel.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace {

// The level list of one cell. The wheel goes on to the table, which scrolls;
// closing the list takes the editor away, once a choice made with it has
// been stored.
class LevelEditor : public QComboBox
{
public:
    explicit LevelEditor(QWidget* parent) : QComboBox(parent) {}

    bool chosen = false;
    std::function<void()> listClosed;

    void hidePopup() override
    {
        QComboBox::hidePopup();
        if (listClosed)
            QMetaObject::invokeMethod(this, listClosed, Qt::QueuedConnection);
    }

protected:
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

} // namespace

SymptomDelegate::SymptomDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* SymptomDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    Q_UNUSED(option)
    if (!index.flags().testFlag(Qt::ItemIsEditable))
        return nullptr;
    auto* editor = new LevelEditor(parent);
    editor->setObjectName(QStringLiteral("comboBoxLevel"));
    editor->setFrame(false);
    editor->setFocusPolicy(Qt::StrongFocus);
    for (int level = 0; level <= 3; ++level)
        editor->addItem(SymptomModel::levelName(level), level);
    // The signals of an editor are the delegate's own, even from a const function.
    auto* self = const_cast<SymptomDelegate*>(this);
    connect(editor, qOverload<int>(&QComboBox::activated), self, [self, editor] {
        editor->chosen = true;
        emit self->commitData(editor);
    });
    editor->listClosed = [self, editor] { emit self->closeEditor(editor); };
    QMetaObject::invokeMethod(editor, &QComboBox::showPopup, Qt::QueuedConnection);
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

void SymptomDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* level = dynamic_cast<LevelEditor*>(editor);
    if (level && level->chosen)
        model->setData(index, level->currentData().toFloat(), Qt::DisplayRole);
}

void SymptomDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    Q_UNUSED(index)
    editor->setGeometry(option.rect);
}
