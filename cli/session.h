#pragma once

#include "cli/cli.h"
#include "cli/options.h"
#include "cli/output.h"
#include "platform/asidejob.h"

#include <QString>

#include <memory>
#include <optional>
#include <utility>

namespace cli {

// What a command has at hand while it runs: its environment and its two outputs.
class Session {
public:
    explicit Session(const Environment& environment)
        : env(environment), out(environment.writeOut), err(environment.writeErr)
    {
    }

    const Environment& env;
    Output out;
    Output err;

    // A line on the error output, after everything written to the output so far.
    void tell(const QString& line);
    // A line on the error output that starts with the program's name: why the command ends.
    void fail(const QString& line);
    // Asks a yes-or-no question on the terminal; only yes goes on.
    bool confirm(const QString& question);
    // Whether the user asked the work to stop.
    [[nodiscard]] bool stopRequested() const { return env.stopRequested && env.stopRequested(); }

    // Runs work on a thread of its own and waits for it while its disk answers; nothing when the
    // disk gave no sign of progress for the environment's patience. work must own copies of
    // everything it reads: a job given up on runs on.
    template <typename Result, typename Work>
    std::optional<Result> patiently(Work work)
    {
        auto result = std::make_shared<std::optional<Result>>();
        const platform::AsideJob job([work = std::move(work), result](platform::JobControl&) { *result = work(); });
        if (!platform::waitPatiently(job, env.patience))
            return std::nullopt;
        job.rethrow();
        return std::move(*result);
    }

    // Says that the disk holding path did not answer, and that nothing changed.
    void tellUnanswered(const QByteArray& path, const QString& what);
};

// A progress callback for work on a thread of its own: every file counts as a sign of life.
bool beatProgress(qsizetype done, qsizetype total);

// What the two commands write for the user about files that were not renamed; the number of
// files listed.
qsizetype tellProblems(Session& session, const filelist::RenameReport& report, const QString& heading);

int apply(const ApplyOptions& options, Session& session);
int undo(const UndoOptions& options, Session& session);

extern const char* const kApplyUsage;
extern const char* const kUndoUsage;

} // namespace cli
