#pragma once

#include "filelist/livenames.h"

#include <QObject>
#include <QPointer>

class QAbstractItemView;

namespace filelist {
class FileListModel;
}

namespace ui {

// The file list's second column, "新文件名": for each selected file the name the rule of the
// moment would give it, and what becomes of it in a colour, an icon and words (the cell's
// tooltip and accessible description). The names come from filelist::LiveNames; this class
// gives them their looks from the view's palette and tells the list which cells changed.
class LiveColumn final : public QObject {
    Q_OBJECT

public:
    LiveColumn(filelist::FileListModel& list, const platform::FileSystem& fs, QObject* parent = nullptr);

    // The view that shows the column: its palette and style give the colours and icons.
    void setView(QAbstractItemView* view);
    // The rule the column follows, as for LiveNames::setRule(); null empties the column.
    void setRule(rules::NameFunction name, bool leaveIfNameTaken);
    [[nodiscard]] const filelist::LiveNames& names() const { return m_names; }
    filelist::LiveNames& names() { return m_names; }

    // The text of the state of a file for the column's tooltip and screen readers: "改名",
    // "不变", "已存在：…", "无效：…", or "正在检查……" while the plan is being made.
    [[nodiscard]] static QString stateText(const filelist::LiveNames::Cell& cell);

Q_SIGNALS:
    // The counts of the plan, or whether there is one, may read otherwise.
    void countsChanged();

private:
    [[nodiscard]] QVariant cellData(int row, int role) const;

    filelist::FileListModel& m_list;
    filelist::LiveNames m_names;
    QPointer<QAbstractItemView> m_view;
};

} // namespace ui
