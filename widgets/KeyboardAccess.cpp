#include "widgets/KeyboardAccess.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>
#include <QShortcut>

void pressWithKeys(QAbstractButton* button, const QList<QKeySequence>& keys)
{
    // Shortcuts of their own, not the button's: setting the button's text
    // replaces its shortcut with the mnemonic of the text. With the button
    // as their parent they work only while it is shown; a disabled button
    // takes no click.
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, button);
        QObject::connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled())
                button->animateClick();
        });
    }
}

QKeySequence keysOf(const QAbstractButton* button)
{
    const auto* shortcut = button->findChild<QShortcut*>(QString(), Qt::FindDirectChildrenOnly);
    return shortcut ? shortcut->key() : QKeySequence();
}

QString withKeys(const QString& tip, const QKeySequence& keys)
{
    if (keys.isEmpty())
        return tip;
    return QStringLiteral("%1 (%2)").arg(tip, keys.toString(QKeySequence::NativeText));
}

void tellKeysInToolTip(QAbstractButton* button)
{
    button->setToolTip(withKeys(button->text(), keysOf(button)));
}

void namePictureButton(QAbstractButton* button, const QString& name)
{
    button->setAccessibleName(name);
    button->setToolTip(withKeys(name, keysOf(button)));
}

void setUpKeyboardTable(QAbstractItemView* table, const QString& name)
{
    table->setTabKeyNavigation(false);
    table->setAccessibleName(name);
}

namespace {

// Makes the current row of a focused table the selected one, the first row
// when there is none, so the row the keys act on is the row that shows.
void showFocusedRow(QAbstractItemView* table)
{
    QAbstractItemModel* model = table->model();
    if (!model || model->rowCount() == 0)
        return;
    const QModelIndex current = table->currentIndex();
    if (!current.isValid())
        table->setCurrentIndex(model->index(0, 0));
    else if (!table->selectionModel()->isRowSelected(current.row(), current.parent()))
        table->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

class FocusedRowKeeper : public QObject
{
public:
    explicit FocusedRowKeeper(QAbstractItemView* table) : QObject(table), m_table(table) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_table && event->type() == QEvent::FocusIn)
            showFocusedRow(m_table);
        return false;
    }

private:
    QAbstractItemView* m_table;
};

} // namespace

void keepFocusedRow(QAbstractItemView* table)
{
    table->installEventFilter(new FocusedRowKeeper(table));
    QAbstractItemModel* model = table->model();
    if (!model)
        return;
    const auto keep = [table] {
        if (table->hasFocus())
            showFocusedRow(table);
    };
    QObject::connect(model, &QAbstractItemModel::modelReset, table, keep);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, table, keep);
}

void actOnFocusedRow(QAbstractItemView* table, const QList<QKeySequence>& keys,
                     const std::function<void(const QModelIndex&)>& action)
{
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, table, nullptr, nullptr, Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, table, [table, action] {
            const QModelIndex current = table->currentIndex();
            if (current.isValid())
                action(current);
        });
    }
}
