#pragma once

#include "filelist/recovery.h"

#include <QString>

#include <optional>

class QWidget;

namespace ui {

// What the user is told of a run a crash cut short: which command in which folder, when, and how
// many of its files are at their new names, under temporary names, still at their old names,
// or nowhere to be found, as counted on the disk just now.
QString recoveryText(const filelist::Interrupted& interrupted);

// Asks what to do with such a run: 完成, 撤销, or nothing (以后再说: ask again at the next start).
std::optional<filelist::RecoveryChoice> askRecovery(QWidget* parent, const QString& title, const QString& text);

} // namespace ui
