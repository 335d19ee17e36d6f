#include "ui/planmodel.h"

#include "ui/contrast.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace ui {

namespace {

bool isProblem(filelist::PlanState state)
{
    return state == filelist::PlanState::Taken || state == filelist::PlanState::Invalid;
}

} // namespace

PlanModel::PlanModel(const filelist::RenamePlan& plan, QObject* parent) : QAbstractTableModel(parent), m_plan(plan)
{
    setFilter(Filter::All);
}

void PlanModel::setFilter(Filter filter)
{
    beginResetModel();
    m_rows.clear();
    for (qsizetype i = 0; i < m_plan.size(); ++i) {
        const auto state = m_plan.state(i);
        const bool shown = filter == Filter::All || (filter == Filter::Problems && isProblem(state))
            || (filter == Filter::Renamed && state == filelist::PlanState::Rename)
            || (filter == Filter::Unchanged && state == filelist::PlanState::Unchanged);
        if (shown)
            m_rows.push_back(std::int32_t(i));
    }
    std::stable_partition(m_rows.begin(), m_rows.end(), [this](std::int32_t i) { return isProblem(m_plan.state(i)); });
    endResetModel();
}

QString PlanModel::stateText(filelist::PlanState state)
{
    switch (state) {
    case filelist::PlanState::Rename: return QStringLiteral("改名");
    case filelist::PlanState::Unchanged: return QStringLiteral("不变");
    case filelist::PlanState::Taken: return QStringLiteral("已存在");
    case filelist::PlanState::Invalid: return QStringLiteral("无效");
    }
    return {};
}

int PlanModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PlanModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlanModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const qsizetype file = fileAt(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case StateColumn: return stateText(m_plan.state(file));
        case OldNameColumn: return m_plan.oldText(file);
        case NewNameColumn: return m_plan.newText(file);
        case ReasonColumn: return m_plan.reasonText(file);
        default: return {};
        }
    }
    if (role == Qt::ForegroundRole && isProblem(m_plan.state(file)))
        return readableRedOnBase(QGuiApplication::palette()); // 4.5:1 or more on light and dark lists alike
    return {};
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case StateColumn: return QStringLiteral("状态");
    case OldNameColumn: return QStringLiteral("原文件名");
    case NewNameColumn: return QStringLiteral("新文件名");
    case ReasonColumn: return QStringLiteral("说明");
    default: return {};
    }
}

} // namespace ui
