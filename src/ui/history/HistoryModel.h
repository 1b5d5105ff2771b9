#pragma once
// The trace history as a table model, and the filter and sort over it that the history window
// shows: one model over all rows, never a widget per cell.

#include "Likeness.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <vector>

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// Role that sorts a column: numbers for the peak, the rank for the distance, else the text.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit HistoryModel(bool japanese, QObject *parent = nullptr);

    /// Shows rows in this order; a ranked list (rows carry distances) sorts by its rank.
    void SetRows(std::vector<HistoryRow> rows);
    const std::vector<HistoryRow> &Rows() const { return rows; }
    const HistoryRow &Row(int row) const { return rows.at(static_cast<std::size_t>(row)); }
    bool Japanese() const { return japanese; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<HistoryRow> rows;
    bool japanese;
};

/// Rows whose text in any column holds the filter, letters in either case.
class HistoryFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit HistoryFilter(HistoryModel &model, QObject *parent = nullptr);
    void SetFilterText(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    HistoryModel &model;
    std::string filter;
};
