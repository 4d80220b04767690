#include "widgets/KeyboardAccess.h"

#include <QAbstractButton>
#include <QAbstractItemView>
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

void keepFocusedRow(QAbstractItemView* table)
{
    QAbstractItemModel* model = table->model();
    if (!model)
        return;
    const auto keep = [table, model] {
        if (table->hasFocus() && !table->currentIndex().isValid() && model->rowCount() > 0)
            table->setCurrentIndex(model->index(0, 0));
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
