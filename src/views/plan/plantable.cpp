#include "views/plan/plantable.h"

#include "gui/taskstates.h"

#include <QBrush>
#include <QColor>

QString PlanGrid::taskText(const QString& title, int state)
{
    return state == 1 ? title + QStringLiteral("√") : title;
}

PlanModel::PlanModel(QObject* parent) : QAbstractTableModel(parent)
{}

void PlanModel::setTable(PlanTable table)
{
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

int PlanModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table_.rows.size());
}

int PlanModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 7;
}

QVariant PlanModel::data(const QModelIndex& index, int role) const
{
    const int column = index.column();
    if (!index.isValid() || column < 1 || index.row() >= table_.rows.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return table_.rows[index.row()].value(column - 1);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (column == PlanGrid::kTaskColumn) {
            const TaskStates::Look* look = TaskStates::find(table_.states.value(index.row()));
            if (look && look->colour.isValid())
                return QBrush(look->colour);
        }
        return {};
    default:
        return {};
    }
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return section >= 1 ? table_.headers.value(section - 1) : QString();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}
