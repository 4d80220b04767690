#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

// One date column of a marker analysis: each marker's value (a percentage)
// for that recording, in row order.
struct AnalysisColumn
{
    QVector<QPair<QString, int>> values; // (marker id, value)
    QDateTime date;
};

// One marker of a marker analysis.
struct AnalysisRow
{
    QString id;
    QString title;
};

// The marker table of the analysis screen: one row per marker, the marker's
// name first, then one column per recording date the service answered with.
// Display and user roles give the value as an integer, so a sort proxy sorts
// value columns numerically.
class AnalysisModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit AnalysisModel(QObject* parent = nullptr);

    // Replaces the whole content from an analysis answer; anything that is
    // not such an answer leaves the model empty.
    void load(const QByteArray& body);
    void load(const QJsonObject& answer);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The dates of the columns, in the service's order.
    QList<QDateTime> dates() const;

private:
    bool holds(const QModelIndex& index) const;
    int value(int row, int column) const;

    QList<AnalysisColumn> m_columns;
    QList<AnalysisRow> m_rows;
};
