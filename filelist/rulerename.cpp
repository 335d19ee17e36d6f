#include "filelist/rulerename.h"

#include <memory>
#include <utility>

namespace filelist {

NumberedRule numberedRuleFor(rules::NameFunction name, bool leaveIfNameTaken)
{
    return [name = std::move(name), leaveIfNameTaken](const QString& fileName, qint64 ordinal) {
        const rules::NameOutcome outcome = name(fileName, ordinal);
        switch (outcome.action) {
        case rules::NameOutcome::Action::Rename: {
            RenameDecision decision = RenameDecision::rename(outcome.name, leaveIfNameTaken);
            decision.reason = outcome.reason;
            decision.utf8 = outcome.utf8;
            return decision;
        }
        case rules::NameOutcome::Action::Refuse: return RenameDecision::refuse(outcome.name, outcome.reason);
        case rules::NameOutcome::Action::Leave: break;
        }
        return RenameDecision::leave();
    };
}

RenameRule renameRuleFor(rules::NameFunction name, bool leaveIfNameTaken)
{
    // The plan asks the rule once for each selected file, in list order.
    auto ordinal = std::make_shared<qint64>(0);
    return [rule = numberedRuleFor(std::move(name), leaveIfNameTaken), ordinal](const QString& fileName) {
        return rule(fileName, ++*ordinal);
    };
}

} // namespace filelist
