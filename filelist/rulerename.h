#pragma once

#include "filelist/renameplan.h"
#include "rules/rule.h"

namespace filelist {

// The rename rule that asks name for each file in the order the plan meets them, numbering
// them from 1: the k-th selected file in list order is the k-th file of the run.
// With leaveIfNameTaken, the custom-text command's existence test applies to every file.
RenameRule renameRuleFor(rules::NameFunction name, bool leaveIfNameTaken = false);

// The same rule told each file's number by the plan (planNumberedNames()): rules keep no state,
// so it can be asked from several threads.
NumberedRule numberedRuleFor(rules::NameFunction name, bool leaveIfNameTaken = false);

} // namespace filelist
