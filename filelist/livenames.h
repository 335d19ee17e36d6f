#pragma once

#include "filelist/renameplan.h"
#include "rules/rule.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace filelist {

class FileListModel;

// The new names the rule of the moment would give the selected files of a list, for the list's
// column of new names. A row's new name is worked out when it is asked for, so the rows on
// screen have theirs at once whatever the selection holds; what becomes of each file (renamed,
// unchanged, taken, invalid) needs the whole plan with the folder's other names, which a thread
// of its own makes while the window goes on. A newer rule or selection makes the plan under way
// stale: it is stopped and its result dropped.
class LiveNames final : public QObject {
    Q_OBJECT

public:
    LiveNames(const FileListModel& list, const platform::FileSystem& fs, QObject* parent = nullptr);
    ~LiveNames() override;

    // The rule the column follows: its name function for a run over the selected files, and
    // whether it has the custom-text command's existence test. Null shows nothing (a page with
    // no rule, or a rule that can't run as its options stand).
    void setRule(rules::NameFunction name, bool leaveIfNameTaken);
    // Steps (one rule, with single) that want the disk before their names: dates, photo data,
    // the files of the same name (rulerun.h). What they need is read with the plan, on its
    // thread, and the cells show names once the plan is made.
    void setRuleWithInputs(rules::Steps steps, rules::RuleContext context, bool single, bool leaveIfNameTaken);
    // The list was read again or its selection changed.
    void listChanged();

    struct Cell {
        QString name;                // the new name, or the old one for a file left alone
        std::optional<PlanState> state; // what the plan says, once it is made for this rule and selection
        QString reason;              // for a file not renamed, or renamed with a note
    };
    // The cell of row: nothing for a row not selected, or without a rule.
    [[nodiscard]] std::optional<Cell> cell(int row) const;

    // Above this many selected files the column shows the rows' names but makes no plan: a plan
    // of a million files would double the window's memory, and a run plans them anyway.
    static constexpr std::size_t kMaxPlanned = 262'144;
    // Whether the selection is too large for a plan (see kMaxPlanned).
    [[nodiscard]] bool tooManyToPlan() const { return m_rows.size() > kMaxPlanned; }

    // The plan's counts, once the plan for the rule and selection of now is made.
    [[nodiscard]] bool planReady() const { return m_plan != nullptr; }
    [[nodiscard]] bool hasRule() const { return bool(m_name) || !m_steps.empty(); }
    [[nodiscard]] qsizetype count(PlanState state) const { return m_plan ? m_plan->count(state) : 0; }

    // Blocks until the plan of now is made (tests, benchmarks).
    void waitForPlan();

Q_SIGNALS:
    // Every cell may read otherwise now; the plan follows later.
    void namesChanged();
    // The plan for the rule and selection of now is made: states and counts are known.
    void planMade();

private:
    struct Job;
    void restart();
    void startPlan();
    void take(const std::shared_ptr<Job>& job);

    const FileListModel& m_list;
    const platform::FileSystem& m_fs;
    rules::NameFunction m_name;
    // For rules that want the disk first (m_name is then null).
    rules::Steps m_steps;
    rules::RuleContext m_context;
    bool m_single = false;
    bool m_leaveIfNameTaken = false;
    std::vector<std::int32_t> m_rank;  // by row: the row's place among the selected rows, or -1
    std::vector<std::int32_t> m_rows;  // by place among the selected rows: the row
    mutable std::unordered_map<int, Cell> m_named; // cells worked out since the last change
    std::shared_ptr<const RenamePlan> m_plan;      // for the rule and selection of now, or null
    std::vector<std::int32_t> m_planIndex;         // by place among the selected rows: its item in m_plan, or -1;
                                                   // empty where the plan holds the selected rows in order
    std::shared_ptr<Job> m_job;                    // the plan for now, under way or waiting
    // The thread at work, whether its plan is still wanted or not: one at a time, so that a
    // disk that stops answering holds one thread, not one per keystroke.
    std::shared_ptr<Job> m_running;
    // What the threads' results are handed over through: cleared when this goes.
    std::shared_ptr<struct LiveNamesMailbox> m_mailbox;
};

} // namespace filelist
