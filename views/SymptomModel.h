#pragma once

#include "data/SymptomsTable.h"

#include <QAbstractTableModel>
#include <QColor>

class QAbstractItemView;

// Shows the recovery history's SymptomsTable to a view: the two computed
// rows in green and bold, each intensity as its level's name over its
// level's colour. Only intensities are editable, through the display role.
class SymptomModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SymptomModel(QObject* parent = nullptr);

    const SymptomsTable& table() const { return *m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Stores an intensity given in the display role; the edit role is
    // refused. A value equal to the stored one changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void load(const QJsonObject& object);
    // The save body, once the view's open editor is closed.
    QByteArray saveJson(QAbstractItemView* view);
    void addSymptom(const Symptom& symptom);
    void removeSymptomRow(int row);

    // The colour of an intensity level; invalid for level 0 and unknown levels.
    static QColor levelColour(int level);
    static QString levelName(int level);

signals:
    // An intensity changed, or a symptom was added or removed.
    void onChange();

private:
    SymptomsTable* m_table;
};
