#include "ui/livecolumn.h"

#include "filelist/filelistmodel.h"
#include "ui/contrast.h"

#include <QAbstractItemView>
#include <QIcon>
#include <QStyle>
#include <QTableView>

namespace ui {

LiveColumn::LiveColumn(filelist::FileListModel& list, const platform::FileSystem& fs, QObject* parent)
    : QObject(parent), m_list(list), m_names(list, fs)
{
    m_list.setSecondColumn(QStringLiteral("新文件名"), [this](int row, int role) { return cellData(row, role); });
    const auto allChanged = [this] {
        m_list.secondColumnChanged();
        Q_EMIT countsChanged();
    };
    connect(&m_names, &filelist::LiveNames::namesChanged, this, allChanged);
    connect(&m_names, &filelist::LiveNames::planMade, this, allChanged);
    // A list read again or selected otherwise numbers and plans anew.
    const auto listChanged = [this] {
        // A hidden column makes no names; the window sets the rule again when it shows.
        const auto* tree = qobject_cast<const QTableView*>(m_view.data());
        if (tree && tree->isColumnHidden(1) && m_names.hasRule())
            m_names.setRule({}, false);
        m_names.listChanged();
    };
    connect(&m_list, &QAbstractItemModel::modelReset, this, listChanged);
    connect(m_list.selectionModel(), &QItemSelectionModel::selectionChanged, this, listChanged);
}

void LiveColumn::setView(QAbstractItemView* view)
{
    m_view = view;
}

void LiveColumn::setRule(rules::NameFunction name, bool leaveIfNameTaken)
{
    m_names.setRule(std::move(name), leaveIfNameTaken);
}

QString LiveColumn::stateText(const filelist::LiveNames::Cell& cell)
{
    if (!cell.state)
        return QStringLiteral("正在检查……");
    QString word;
    switch (*cell.state) {
    case filelist::PlanState::Rename: word = QStringLiteral("改名"); break;
    case filelist::PlanState::Unchanged: word = QStringLiteral("不变"); break;
    case filelist::PlanState::Taken: word = QStringLiteral("已存在"); break;
    case filelist::PlanState::Invalid: word = QStringLiteral("无效"); break;
    }
    return cell.reason.isEmpty() ? word : word + QStringLiteral("：") + cell.reason;
}

QVariant LiveColumn::cellData(int row, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
    case Qt::ForegroundRole:
    case Qt::DecorationRole: break;
    default: return {};
    }
    const std::optional<filelist::LiveNames::Cell> cell = m_names.cell(row);
    if (!cell)
        return {};
    if (role == Qt::DisplayRole)
        return cell->name;
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
        return stateText(*cell);
    if (!cell->state || !m_view)
        return {};
    const QPalette& palette = m_view->palette();
    const bool problem = *cell->state == filelist::PlanState::Taken || *cell->state == filelist::PlanState::Invalid;
    if (role == Qt::ForegroundRole) {
        if (problem)
            return readableRed(palette.color(QPalette::Base));
        if (*cell->state == filelist::PlanState::Unchanged)
            return readableOr(palette.color(QPalette::PlaceholderText), palette.color(QPalette::Base),
                              palette.color(QPalette::Text));
        return {};
    }
    QStyle* style = m_view->style();
    switch (*cell->state) {
    case filelist::PlanState::Rename: return style->standardIcon(QStyle::SP_ArrowRight, nullptr, m_view);
    case filelist::PlanState::Unchanged: return style->standardIcon(QStyle::SP_DialogApplyButton, nullptr, m_view);
    case filelist::PlanState::Taken: return style->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, m_view);
    case filelist::PlanState::Invalid: return style->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, m_view);
    }
    return {};
}

} // namespace ui
