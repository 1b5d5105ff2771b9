#include "HistoryModel.h"

HistoryModel::HistoryModel(bool japanese, QObject *parent)
    : QAbstractTableModel(parent), japanese(japanese) {}

void HistoryModel::SetRows(std::vector<HistoryRow> next) {
    beginResetModel();
    rows = std::move(next);
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int HistoryModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : HistoryColumnCount;
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const HistoryRow &row = Row(index.row());
    const auto column = static_cast<HistoryColumn>(index.column());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return QString::fromStdString(HistoryCellText(row, column, japanese));
    if (role == SortRole) {
        if (column == HistoryColumn::Peak)
            return static_cast<double>(row.Summary.PeakCurrent);
        // The rank puts the same first fault before a nearer waveform of another fault.
        if (column == HistoryColumn::Distance)
            return index.row();
        return QString::fromStdString(HistoryCellText(row, column, japanese));
    }
    if (role == Qt::TextAlignmentRole &&
        (column == HistoryColumn::Peak || column == HistoryColumn::Distance))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= HistoryColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(
        HistoryColumnTitle(static_cast<HistoryColumn>(section), japanese));
}

HistoryFilter::HistoryFilter(HistoryModel &model, QObject *parent)
    : QSortFilterProxyModel(parent), model(model) {
    setSourceModel(&model);
    setSortRole(HistoryModel::SortRole);
}

void HistoryFilter::SetFilterText(const QString &text) {
    filter = text.toStdString();
    invalidateFilter();
}

bool HistoryFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const {
    return HistoryRowMatches(model.Row(sourceRow), filter, model.Japanese());
}
