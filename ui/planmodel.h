#pragma once

#include "filelist/renameplan.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

namespace ui {

// A plan as rows of a table: one row a file, made only when the view shows it, so a plan of a
// million files opens at once. The files that won't be renamed as asked come first.
class PlanModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { StateColumn, OldNameColumn, NewNameColumn, ReasonColumn, ColumnCount };
    // Which files the rows show; the order of the filter box.
    enum class Filter { All, Problems, Renamed, Unchanged };

    explicit PlanModel(const filelist::RenamePlan& plan, QObject* parent = nullptr);

    void setFilter(Filter filter);
    // The plan's index of the file in row.
    [[nodiscard]] qsizetype fileAt(int row) const { return m_rows[std::size_t(row)]; }

    static QString stateText(filelist::PlanState state);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const filelist::RenamePlan& m_plan;
    std::vector<std::int32_t> m_rows;
};

} // namespace ui
