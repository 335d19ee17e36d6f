#pragma once

#include "filelist/filefacts.h"
#include "filelist/pairs.h"
#include "filelist/renameplan.h"
#include "rules/rule.h"

#include <memory>
#include <vector>

namespace filelist {

// What the disk tells a run of steps over its selected files before they are named: the other
// files of their names, when the steps take those along, and what the steps want to know of
// them (their dates, what their photos say) with the order they get their numbers in. Made on a
// disk thread; it owns its copies.
struct RunInputs {
    std::vector<QByteArray> selected;      // the selected files' names, in list order
    bool pairs = false;
    Pairing pairing;                       // with pairs: which files lead, which follow
    std::shared_ptr<const RunFacts> facts; // when the steps want facts or an order; else null

    // The files the steps name themselves: with pairs, the first of each name; else all selected.
    [[nodiscard]] qsizetype namedCount() const;
};

// Whether a run of steps needs RunInputs at all: without pairs, facts or an order, a run is
// named from the list alone.
bool needsRunInputs(const rules::Steps& steps);

// Reads what needsRunInputs() says the steps need, for the files called selected in folder.
RunInputs readRunInputs(const platform::FileSystem& fs, const QByteArray& folder, std::vector<QByteArray> selected,
                        const rules::Steps& steps, const Progress& progress = {});

// The rule context told the run's facts.
void addRunFacts(rules::RuleContext& context, const RunInputs& inputs);

// The names part of the plan: the selected files of list named by rule, in the order and with
// the followers inputs give (null inputs: in list order, no followers).
RenamePlan nameRun(const RenameSource& list, const RunInputs* inputs, const NumberedRule& rule);

} // namespace filelist
