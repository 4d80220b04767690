#pragma once

#include <QAbstractTableModel>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// One category of the summary: its name and one signed deviation per column.
struct SummaryRow
{
    QString title;
    QVector<int> values;
};

// The summary table of the analysis screen: one row per category, one column
// per heading the service sent. Each value cell is coloured by three bands:
// above 10 red, below -10 green, in between yellow.
class SummaryTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SummaryTableModel(QObject* parent = nullptr);

    // Replaces the whole content from a summary answer.
    void load(const QByteArray& body);
    void load(const QJsonObject& answer);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static QColor bandColour(int value);

private:
    bool holds(const QModelIndex& index) const;

    QStringList m_columns;
    QList<SummaryRow> m_rows;
};
