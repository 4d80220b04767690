// Every control a practitioner can reach on every screen and dialog has a
// name a screen reader can say: buttons, fields, check boxes, lists, tables
// and the pictures that act. The tour walks the real window against the
// local service; each stop is one row.

#include "app/Application.h"
#include "support/LocalServiceProcess.h"
#include "support/ScreenTour.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QMap>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

bool needsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::PageTab:
    case QAccessible::Slider:
        return true;
    default:
        return false;
    }
}

// Parts of the toolkit's own controls that no one reaches by name: a combo
// box's drop-down list, a field's clear button.
bool isToolkitPart(const QObject* object)
{
    return object && (qobject_cast<const QComboBox*>(object->parent() ? object->parent()->parent() : nullptr) ||
                      object->inherits("QLineEditIconButton"));
}

QString describe(const QObject* object)
{
    return object
               ? QStringLiteral("%1 (%2)").arg(object->objectName(), QLatin1String(object->metaObject()->className()))
               : QStringLiteral("?");
}

// The cells of a table's first row that a delegate of their column draws
// as a picture (edit, delete, move, a device...), without text a screen
// reader could say instead.
void collectUnnamedPictures(const QAbstractItemView* table, QStringList& unnamed)
{
    const QAbstractItemModel* model = table->model();
    for (int column = 0; model && model->rowCount() > 0 && column < model->columnCount(); ++column) {
        const QModelIndex cell = model->index(0, column);
        const QVariant shown = cell.data(Qt::DisplayRole);
        const bool text = shown.canConvert<QString>() && !shown.toString().isEmpty();
        if (table->itemDelegateForColumn(column) && !text && cell.data(Qt::AccessibleTextRole).toString().isEmpty())
            unnamed << describe(table) + QStringLiteral(" column %1").arg(column);
    }
}

// The controls under that interface without a name.
void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed, int depth = 0)
{
    if (!node || depth > 40 || node->state().invisible || isToolkitPart(node->object()))
        return;
    // A name of signs alone ("<") says nothing read aloud; the toolkit's print
    // dialog keeps its own "..." button.
    static const QRegularExpression word(QStringLiteral("\\w"));
    const QString name = node->text(QAccessible::Name);
    const bool printDialogs = node->object() && node->object()->objectName() == QLatin1String("fileBrowser");
    if (needsName(node->role()) && (printDialogs ? name.trimmed().isEmpty() : !name.contains(word)))
        unnamed << describe(node->object());
    // The cells of a table are named by their text, but for the pictures.
    if (auto* table = qobject_cast<QAbstractItemView*>(node->object())) {
        collectUnnamedPictures(table, unnamed);
        return;
    }
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), unnamed, depth + 1);
}

} // namespace

class AccessibleNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyControlIsNamed_data();
    void everyControlIsNamed();

private:
    ScopedWorkingDirectory m_workingDirectory;
    LocalServiceProcess m_service;
    // What each stop of the tour left unnamed.
    QMap<QString, QStringList> m_unnamed;
};

void AccessibleNamesTest::initTestCase()
{
    setupApplication(*qApp);
    QAccessible::setActive(true);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    ServiceTestEnvironment environment(m_service.baseUrl(), 20000);
    ScreenTour tour(QStringLiteral("en_US"), [this](const QString& name, QWidget* shown) {
        QStringList unnamed;
        collectUnnamed(QAccessible::queryAccessibleInterface(shown), unnamed);
        m_unnamed.insert(name, unnamed);
    });
    QVERIFY2(tour.run(), qPrintable(tour.errorText()));
}

void AccessibleNamesTest::everyControlIsNamed_data()
{
    QTest::addColumn<QString>("stop");
    for (const QString& stop : ScreenTour::stops())
        if (stop != QLatin1String("language"))
            QTest::newRow(qPrintable(stop)) << stop;
}

void AccessibleNamesTest::everyControlIsNamed()
{
    QFETCH(QString, stop);
    QVERIFY2(m_unnamed.contains(stop), "the tour did not stop there");
    const QStringList unnamed = m_unnamed.value(stop);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

QTEST_MAIN(AccessibleNamesTest)
#include "tst_accessiblenames.moc"
