#pragma once

#include <QString>

namespace filelist {

// The texts of the window's status line under the file list.

// "共 N 个文件，选中 M 个".
QString listCountsText(qsizetype files, qsizetype selected);
// What the plan of the new names column says: "将改名 A 个，已存在 B 个，无效 C 个"; while the plan
// is still being made, "正在计算新文件名……".
QString planCountsText(bool ready, qsizetype renamed, qsizetype taken, qsizetype invalid);
// When more files are selected than the column of new names checks.
QString tooManyToCheckText();
// After a run in which every planned file was renamed: "已改名 N 个文件，撤销请按 Ctrl+Z".
QString runDoneText(qsizetype renamed);
// A command asked for with nothing selected.
QString nothingSelectedText();

} // namespace filelist
