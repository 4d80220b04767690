#include "views/SymptomModel.h"

#include <QAbstractItemView>
#include <QFont>
#include <QJsonObject>

#include <cmath>

namespace {

const QColor computedBackground(224, 251, 246);
const QColor computedText(23, 132, 103);
const QColor symptomText(65, 65, 65);

} // namespace

SymptomModel::SymptomModel(QObject* parent) : QAbstractTableModel(parent), m_table(new SymptomsTable(this)) {}

int SymptomModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table->rowCount();
}

int SymptomModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table->columnCount();
}

QVariant SymptomModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_table->headerText(section);
    return {};
}

Qt::ItemFlags SymptomModel::flags(const QModelIndex& index) const
{
    // The root index is no cell and keeps the toolkit's empty flags.
    if (!index.isValid())
        return QAbstractTableModel::flags(index);
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_table->isEditable(index.column(), index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QColor SymptomModel::levelColour(int level)
{
    switch (level) {
    case 1:
        return QColor(254, 202, 80);
    case 2:
        return QColor(255, 84, 85);
    case 3:
        return QColor(173, 87, 255);
    default:
        return {};
    }
}

QString SymptomModel::levelName(int level)
{
    switch (level) {
    case 0:
        return tr("Complaint.none");
    case 1:
        return tr("Complaint.periodic");
    case 2:
        return tr("Complaint.moderate");
    case 3:
        return tr("Complaint.expressed");
    default:
        return {};
    }
}

QVariant SymptomModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int column = index.column();
    const int row = index.row();
    const bool computed = row < 2;
    const bool intensity = column >= 1 && !computed;
    const QVariant value = m_table->value(column, row);
    const int level = intensity ? int(std::lround(value.toFloat())) : 0;

    switch (role) {
    case Qt::DisplayRole:
        if (!intensity || level < 0 || level > 3)
            return value;
        return levelName(level);
    case Qt::EditRole:
        return value;
    case Qt::FontRole:
        if (computed) {
            QFont font;
            font.setWeight(QFont::Bold);
            return font;
        }
        return {};
    case Qt::BackgroundRole:
        if (computed)
            return computedBackground;
        if (intensity && levelColour(level).isValid())
            return levelColour(level);
        return {};
    case Qt::ForegroundRole:
        return computed ? computedText : symptomText;
    default:
        return {};
    }
}

bool SymptomModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() < 1 || role != Qt::DisplayRole)
        return false;
    const float intensity = value.toFloat();
    const QVariant stored = m_table->value(index.column(), index.row());
    // An editor opening on a cell writes its level back: that is no change.
    if (stored.isValid() && qFuzzyCompare(stored.toFloat() + 1, intensity + 1))
        return true;
    if (!m_table->setIntensity(index.column(), index.row(), intensity))
        return false;
    // The cell and the two computed rows above it.
    emit dataChanged(index, index);
    emit dataChanged(this->index(0, index.column()), this->index(1, index.column()));
    emit onChange();
    return true;
}

void SymptomModel::load(const QJsonObject& object)
{
    beginResetModel();
    m_table->load(object);
    endResetModel();
}

QByteArray SymptomModel::saveJson(QAbstractItemView* view)
{
    if (view) {
        // Closes an editor still open on a cell.
        view->setCurrentIndex(QModelIndex());
        view->setEnabled(false);
        view->setEnabled(true);
    }
    return m_table->toJson();
}

void SymptomModel::addSymptom(const Symptom& symptom)
{
    // The first symptom brings the two computed rows with it: three rows
    // appear where none were, which only a reset can say.
    if (m_table->symptomCount() == 0) {
        beginResetModel();
        m_table->appendSymptom(symptom);
        endResetModel();
    } else {
        const int row = rowCount();
        beginInsertRows({}, row, row);
        m_table->appendSymptom(symptom);
        endInsertRows();
    }
    emit onChange();
}

void SymptomModel::removeSymptomRow(int row)
{
    if (!m_table->isCustom(row))
        return;
    // Likewise the last one takes the computed rows away.
    if (m_table->symptomCount() == 1) {
        beginResetModel();
        m_table->removeSymptom(row);
        endResetModel();
    } else {
        beginRemoveRows({}, row, row);
        m_table->removeSymptom(row);
        endRemoveRows();
        // The totals of every date lose the removed symptom's share.
        if (columnCount() > 1)
            emit dataChanged(index(0, 1), index(1, columnCount() - 1));
    }
    emit onChange();
}
