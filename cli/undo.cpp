#include "cli/session.h"

#include "filelist/renamehistory.h"
#include "platform/filename.h"

#include <QDateTime>

namespace cli {

namespace {

QString whenText(qint64 createdMs)
{
    return QDateTime::fromMSecsSinceEpoch(createdMs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString describeRun(const filelist::RenameHistory::Run& run)
{
    return QStringLiteral("%1 的“%2”：%3 个文件，文件夹 %4")
        .arg(whenText(run.header.createdMs), run.header.command)
        .arg(run.files)
        .arg(platform::readableFileName(run.header.folder));
}

} // namespace

int undo(const UndoOptions& options, Session& session)
{
    const Environment& env = session.env;
    const platform::FileSystem* fs = env.fs;
    if (!options.list && !options.yes && !env.interactive) {
        session.fail(QStringLiteral("标准输入不是终端，无法确认：要撤销请加 --yes（只看记录用 --list）"));
        return 2;
    }
    filelist::RenameHistory history(*fs, env.journalFolder);
    history.load();
    for (const QString& problem : history.problems())
        session.tell(problem);

    if (options.list) {
        const auto& runs = history.runs();
        if (runs.empty()) {
            session.out.line(QStringLiteral("没有可以撤销的改名。"));
            return 0;
        }
        session.out.line(QStringLiteral("可以撤销的改名，最近的在前（undo 撤销第 1 个）："));
        qsizetype number = 0;
        for (auto run = runs.rbegin(); run != runs.rend(); ++run)
            session.out.line(QStringLiteral("%1. %2").arg(++number).arg(describeRun(*run)));
        return 0;
    }

    if (!history.canUndo()) {
        session.fail(QStringLiteral("没有可以撤销的改名"));
        return 1;
    }
    const filelist::RenameHistory::Run run = history.latest();
    session.out.line(QStringLiteral("撤销 %1").arg(describeRun(run)));
    if (!options.yes && !session.confirm(QStringLiteral("确定撤销吗？[y/N] "))) {
        session.tell(QStringLiteral("没有撤销。"));
        return 1;
    }

    // Reading the journal and looking at the folder may meet a disk that does not answer; the
    // renames back are never left halfway, as in the window.
    auto planned = session.patiently<filelist::RenameHistory::Undo>(
        [run, fs] { return filelist::RenameHistory::planUndo(run, *fs, beatProgress); });
    if (!planned) {
        session.tellUnanswered(run.header.folder, QStringLiteral("没有撤销"));
        return 1;
    }
    if (!planned->refusal.isEmpty()) {
        session.fail(planned->refusal);
        return 1;
    }
    filelist::RenameReport report = filelist::RenameHistory::executeUndo(*planned, *fs, history.folder());
    const filelist::RunJournal out = filelist::RenameHistory::stillOut(*planned, report, *fs);
    if (!report.refusal.isEmpty()) {
        session.fail(report.refusal);
        return 1;
    }
    history.keepStillOut(run, out);
    const qsizetype notBack = qsizetype(report.failures.size() + report.misplaced.size());
    session.out.line(QStringLiteral("已把 %1 个文件改回原来的名字，%2 个没能改回。").arg(report.renamed).arg(notBack));
    tellProblems(session, report, QStringLiteral("有 %1 个文件没能改回原来的名字："));
    return notBack > 0 ? 1 : 0;
}

} // namespace cli
