#include "cli/session.h"

#include "filelist/filelistmodel.h"
#include "filelist/journal.h"
#include "filelist/pinyintables.h"
#include "filelist/presets.h"
#include "filelist/renamehistory.h"
#include "filelist/rulerename.h"
#include "filelist/rulerun.h"
#include "filelist/scripttables.h"
#include "filelist/startup.h"
#include "platform/filename.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <set>
#include <type_traits>

namespace cli {

namespace {

QString shown(QByteArrayView bytes)
{
    return platform::readableFileName(bytes);
}

QByteArray absolutePath(const QByteArray& path, const QByteArray& workingFolder)
{
    const QByteArray joined = path.startsWith('/') ? path : workingFolder + '/' + path;
    return platform::encodeFileName(QDir::cleanPath(platform::decodeFileName(joined))).value_or(joined);
}

// The files named on the command line, all in one folder, in the order given: the run numbers
// them in that order.
class GivenFiles final : public filelist::RenameSource {
public:
    GivenFiles(QByteArray folder, platform::FolderIdentity identity, std::vector<QByteArray> names)
        : m_folder(std::move(folder)), m_identity(identity), m_names(std::move(names))
    {
    }
    [[nodiscard]] const QByteArray& folder() const override { return m_folder; }
    [[nodiscard]] platform::FolderIdentity folderIdentity() const override { return m_identity; }
    [[nodiscard]] int count() const override { return int(m_names.size()); }
    [[nodiscard]] std::string_view itemBytes(int index) const override
    {
        const QByteArray& name = m_names[std::size_t(index)];
        return {name.constData(), std::size_t(name.size())};
    }
    [[nodiscard]] bool isSelected(int) const override { return true; }
    void refresh() override {}

private:
    QByteArray m_folder;
    platform::FolderIdentity m_identity;
    std::vector<QByteArray> m_names;
};

bool usesTables(const rules::Steps& steps)
{
    return std::any_of(steps.begin(), steps.end(), [](const rules::Rule& rule) {
        return std::holds_alternative<rules::ToSimplifiedRule>(rule) || std::holds_alternative<rules::ToTraditionalRule>(rule);
    });
}

bool usesPinyin(const rules::Steps& steps)
{
    return std::any_of(steps.begin(), steps.end(),
                       [](const rules::Rule& rule) { return std::holds_alternative<rules::PinyinRule>(rule); });
}

// The steps of the run and the command's name for the journal: the rule's own name, or
// "按步骤改名" with the preset's name.
struct Steps {
    rules::Steps steps;
    QString command;
};

std::optional<Steps> readSteps(const ApplyOptions& options, Session& session, int& status)
{
    if (options.rule)
        return Steps{{*options.rule}, rules::commandName(*options.rule)};
    const platform::FileSystem* fs = session.env.fs;
    QString name;
    std::optional<rules::StepsRead> read;
    QByteArray path;
    if (isPresetFile(options.preset)) {
        path = absolutePath(options.preset, session.env.workingFolder);
        QString file = shown(path.mid(path.lastIndexOf('/') + 1));
        if (file.endsWith(QStringLiteral(".json")))
            file.chop(5);
        name = file;
        read = session.patiently<rules::StepsRead>([fs, path] { return filelist::readPresetFile(*fs, path); });
    } else {
        name = QString::fromLocal8Bit(options.preset);
        path = session.env.presetFolder;
        read = session.patiently<rules::StepsRead>([fs, folder = session.env.presetFolder, name] {
            const filelist::PresetStore store(*fs, folder);
            rules::StepsRead steps = store.load(name);
            // A name that isn't saved: the saved ones, rather than the file that isn't there.
            if (const QStringList names = store.names(); !steps.steps && !names.contains(name))
                steps.error = names.isEmpty()
                    ? QStringLiteral("没有名为“%1”的预设（还没有保存过预设）").arg(name)
                    : QStringLiteral("没有名为“%1”的预设；已有的预设：%2").arg(name, names.join(QStringLiteral("、")));
            return steps;
        });
    }
    if (!read) {
        session.tellUnanswered(path, QStringLiteral("没有读到预设"));
        status = 1;
        return std::nullopt;
    }
    if (!read->steps) {
        session.fail(read->error);
        status = 2;
        return std::nullopt;
    }
    if (read->steps->empty()) {
        session.fail(QStringLiteral("预设“%1”里没有步骤").arg(name));
        status = 2;
        return std::nullopt;
    }
    return Steps{std::move(*read->steps), QStringLiteral("按步骤改名（%1）").arg(name)};
}

// What a run did to one planned file, for a JSON line after the run: the failures by file.
struct Outcomes {
    std::vector<std::pair<qsizetype, QString>> failed; // sorted by file
    [[nodiscard]] const QString* reasonFor(qsizetype file) const
    {
        const auto at = std::lower_bound(failed.begin(), failed.end(), file,
                                         [](const auto& entry, qsizetype f) { return entry.first < f; });
        return at != failed.end() && at->first == file ? &at->second : nullptr;
    }
};

QString misplacedText(const filelist::MisplacedFile& m)
{
    if (m.lookupError != 0)
        return QStringLiteral("不知道“%1”在哪里：改名失败后查找它时又出错（%2）。%3请检查磁盘。")
            .arg(m.oldName, platform::describeError(m.lookupError),
                 m.temporaryName.isEmpty() ? QString() : QStringLiteral("它也可能叫“%1”。").arg(m.temporaryName));
    if (m.nowName.isEmpty())
        return QStringLiteral("“%1”在改名失败后找不到了，文件系统可能已把它丢失，请检查磁盘。").arg(m.oldName);
    return QStringLiteral("“%1”现在的名字是“%2”。").arg(m.oldName, m.nowName);
}

Outcomes outcomesOf(const filelist::RenameReport& report)
{
    Outcomes outcomes;
    for (const auto& f : report.failures)
        outcomes.failed.emplace_back(f.file, f.reason);
    for (const auto& m : report.misplaced)
        outcomes.failed.emplace_back(m.file, misplacedText(m));
    std::stable_sort(outcomes.failed.begin(), outcomes.failed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return outcomes;
}

// Tells of unfinished runs a crash left, which only the window finishes or takes back.
void tellInterrupted(Session& session)
{
    const platform::FileSystem& fs = *session.env.fs;
    const QByteArray& folder = session.env.journalFolder;
    if (folder.isEmpty())
        return;
    for (const QByteArray& name : filelist::listJournals(fs, folder).unfinished) {
        if (!fs.fileInUse(folder + '/' + name)) {
            session.tell(QStringLiteral("注意：上次有一次改名没有做完，打开窗口（quendra-rename）可以完成或撤销它。"));
            return;
        }
    }
}

} // namespace

void Session::tellUnanswered(const QByteArray& path, const QString& what)
{
    fail(QStringLiteral("“%1”所在的磁盘没有响应（等了 %2 秒），所以%3，文件都没有动。它可能是断开的网络磁盘或卡住的外接设备。")
             .arg(shown(path), QString::number(double(env.patience.count()) / 1000, 'g', 3), what));
}

bool beatProgress(qsizetype, qsizetype)
{
    platform::beat();
    return true;
}

qsizetype tellProblems(Session& session, const filelist::RenameReport& report, const QString& heading)
{
    if (!report.journalProblem.isEmpty())
        session.tell(QStringLiteral("改名记录没能写完（%1），撤销可能不完整。").arg(report.journalProblem));
    if (!report.misplaced.empty()) {
        session.tell(QStringLiteral("注意：有 %1 个文件不在原来的名字下：").arg(report.misplaced.size()));
        for (const auto& m : report.misplaced)
            session.tell(misplacedText(m));
    }
    if (!report.failures.empty()) {
        session.tell(heading.arg(report.failures.size()));
        for (const auto& f : report.failures)
            session.tell(QStringLiteral("“%1” → “%2”：%3").arg(f.oldName, f.newName, f.reason));
    }
    return qsizetype(report.failures.size() + report.misplaced.size());
}

int apply(const ApplyOptions& options, Session& session)
{
    const Environment& env = session.env;
    const platform::FileSystem* fs = env.fs;
    // Asked before anything is read, so that a script without --yes learns it at once.
    if (!options.dryRun && !options.yes && !env.interactive) {
        session.fail(QStringLiteral("标准输入不是终端，无法确认：要改名请加 --yes（只看计划用 --dry-run）"));
        return 2;
    }

    int status = 0;
    const auto steps = readSteps(options, session, status);
    if (!steps)
        return status;

    // Tables the steps use, found by find beside the program or in the data folder on a thread of
    // their own; false when that disk did not answer, which has been told.
    const auto readTables = [&](auto& into, auto find, const QString& notRead) {
        auto found = session.patiently<std::decay_t<decltype(into)>>(
            [fs, find, program = env.programFolder, data = env.dataFolder] { return find(*fs, program, data); });
        if (!found) {
            session.tellUnanswered(env.programFolder, notRead);
            return false;
        }
        into = std::move(*found);
        return true;
    };
    filelist::ScriptTables tables;
    if (usesTables(steps->steps) && !readTables(tables, filelist::findScriptTables, QStringLiteral("没有读到繁简对照表")))
        return 1;
    filelist::PinyinTables pinyin;
    if (usesPinyin(steps->steps) && !readTables(pinyin, filelist::findPinyinTables, QStringLiteral("没有读到拼音表")))
        return 1;

    // The paths, checked on a thread of their own, as the window's command line is.
    std::vector<QByteArray> pathArguments{QByteArray("--")};
    pathArguments.insert(pathArguments.end(), options.paths.begin(), options.paths.end());
    const filelist::CommandLine line =
        filelist::parseCommandLinePatiently(pathArguments, env.workingFolder, *fs, env.patience);
    switch (line.action) {
    case filelist::CommandLine::Action::Unanswered:
        session.tellUnanswered(line.unanswered, QStringLiteral("没有改名"));
        return 1;
    case filelist::CommandLine::Action::Refuse: session.fail(line.problem); return 2;
    default: break;
    }
    if (!line.leftOut.empty()) {
        QStringList names;
        for (const QByteArray& path : line.leftOut)
            names << shown(path);
        session.fail(QStringLiteral("一次只能给同一个文件夹里的文件：这些不在“%1”里：%2")
                         .arg(shown(line.folder), names.join(QStringLiteral("、"))));
        return 2;
    }

    // The files of the run, in the order they are numbered.
    filelist::FileListModel listed(*fs);
    std::unique_ptr<GivenFiles> given;
    const filelist::RenameSource* source = nullptr;
    std::shared_ptr<const filelist::ListedNames> allNames;
    if (line.files.empty()) {
        filelist::FileListModel::ListingRequest request;
        request.folder = line.folder;
        request.pattern = filelist::NamePattern(options.pattern.value_or(QStringLiteral("*.*")));
        request.switches = {true, true, options.hidden, false};
        // The plan is settled a moment later: the same reading tells it which names are taken.
        request.keepAllNames = true;
        auto listing = session.patiently<filelist::FileListModel::Listing>(
            [fs, request] { return filelist::FileListModel::list(*fs, request); });
        if (!listing) {
            session.tellUnanswered(line.folder, QStringLiteral("没有改名"));
            return 1;
        }
        if (listing->error != 0) {
            session.fail(QStringLiteral("无法读取文件夹“%1”：%2，所以没有改名。")
                             .arg(shown(line.folder), platform::describeError(listing->error)));
            return 2;
        }
        allNames = std::make_shared<const filelist::ListedNames>(std::move(listing->allNames));
        listed.show(request, std::move(*listing));
        listed.setAllSelected(true);
        source = &listed;
    } else {
        if (options.pattern || options.hidden) {
            session.fail(QStringLiteral("--pattern 和 --hidden 只用于文件夹：给出的文件都会改名"));
            return 2;
        }
        std::vector<QByteArray> names;
        std::set<QByteArray> seen;
        for (const QByteArray& name : line.files) {
            if (seen.insert(name).second)
                names.push_back(name);
        }
        auto identity = session.patiently<platform::FolderIdentity>(
            [fs, folder = line.folder] { return fs->openFolder(folder)->identity(); });
        if (!identity) {
            session.tellUnanswered(line.folder, QStringLiteral("没有改名"));
            return 1;
        }
        given = std::make_unique<GivenFiles>(line.folder, *identity, std::move(names));
        source = given.get();
    }
    if (source->count() == 0) {
        session.tell(QStringLiteral("“%1”里没有符合“%2”的文件，没有改名。")
                         .arg(shown(line.folder), options.pattern.value_or(QStringLiteral("*.*"))));
        return 0;
    }

    // What the steps want of the disk before the files are named: the other files of their names,
    // their dates, what their photos say.
    std::shared_ptr<const filelist::RunInputs> inputs;
    if (filelist::needsRunInputs(steps->steps)) {
        auto read = session.patiently<filelist::RunInputs>(
            [fs, folder = line.folder, selected = filelist::selectedNames(*source), chain = steps->steps] {
                return filelist::readRunInputs(*fs, folder, selected, chain, beatProgress);
            });
        if (!read) {
            session.tellUnanswered(line.folder, QStringLiteral("没有改名"));
            return 1;
        }
        inputs = std::make_shared<const filelist::RunInputs>(std::move(*read));
    }
    const qsizetype files = inputs ? inputs->namedCount() : source->count();

    rules::RuleContext context;
    context.table = &tables.table;
    context.pinyin = &pinyin.table;
    if (inputs)
        filelist::addRunFacts(context, *inputs);
    const rules::PreparedRule prepared = options.rule ? rules::prepare(*options.rule, context, files)
                                                      : rules::prepareSteps(steps->steps, context, files);
    if (!prepared.error.isEmpty()) {
        QString error = prepared.error;
        if (usesTables(steps->steps) && !filelist::canConvertToSimplified(tables.table))
            error += QStringLiteral("（查找过繁简对照表：%1）").arg(tables.lookedFor.join(QStringLiteral("、")));
        if (usesPinyin(steps->steps) && pinyin.table.isEmpty())
            error += QStringLiteral("（查找过拼音表：%1）").arg(pinyin.lookedFor.join(QStringLiteral("、")));
        session.fail(error);
        return 2;
    }
    if (prepared.idle || !prepared.name) {
        session.fail(QStringLiteral("“%1”什么都不会改（要找、要去掉的文字或新扩展名是空的），所以没有改名。").arg(steps->command));
        return 2;
    }

    // The rule's part of the plan here, the disk's part on a thread of its own.
    auto plan = std::make_shared<filelist::RenamePlan>(
        filelist::nameRun(*source, inputs.get(), filelist::numberedRuleFor(prepared.name)));
    const qsizetype hint = given ? -1 : source->count();
    const bool settled = session
                             .patiently<bool>([plan, fs, identity = source->folderIdentity(), hint, allNames] {
                                 filelist::settlePlan(*plan, *fs, identity, beatProgress, hint, allNames.get());
                                 return true;
                             })
                             .has_value();
    if (!settled) {
        session.tellUnanswered(line.folder, QStringLiteral("没有改名"));
        return 1;
    }
    if (!plan->refusal().isEmpty()) {
        session.fail(plan->refusal());
        return 1;
    }
    const qsizetype problems = plan->count(filelist::PlanState::Taken) + plan->count(filelist::PlanState::Invalid);

    if (options.dryRun) {
        writePlan(session.out, *plan, options.json);
        if (problems > 0)
            session.tell(QStringLiteral("有 %1 个文件不能改名，原因见上面的计划。").arg(problems));
        return problems > 0 ? 1 : 0;
    }
    if (plan->count(filelist::PlanState::Rename) == 0) {
        filelist::RenameReport report;
        filelist::addPlanProblems(*plan, report, false);
        if (options.json)
            writePlan(session.out, *plan, true);
        else
            session.out.line(QStringLiteral("没有要改名的文件。") + planCounts(*plan));
        tellProblems(session, report, QStringLiteral("有 %1 个文件没有改名："));
        return problems > 0 ? 1 : 0;
    }
    if (!options.yes) {
        writePlan(session.out, *plan, options.json);
        if (!session.confirm(QStringLiteral("确定改名吗？[y/N] "))) {
            session.tell(QStringLiteral("没有改名。"));
            return 1;
        }
    }
    // Ctrl+C while the folder was read or the plan worked out: nothing has changed yet.
    if (session.stopRequested()) {
        session.tell(QStringLiteral("已停止，没有改名。"));
        return 1;
    }

    filelist::RenameHistory history(*fs, env.journalFolder);
    history.load();
    for (const QString& problem : history.problems())
        session.tell(problem);
    tellInterrupted(session);
    const std::unique_ptr<filelist::JournalWriter> journal = history.startJournal();
    const filelist::JournalHeader header =
        filelist::RenameHistory::headerFor(*plan, steps->command, filelist::JournalKind::Run);
    filelist::RenameReport report = filelist::executePlan(
        *plan, *fs, [&session](qsizetype, qsizetype) { return !session.stopRequested(); },
        {nullptr, journal.get(), header});
    if (report.refusal.isEmpty())
        filelist::addPlanProblems(*plan, report, false);
    history.record(*journal, header, journal->movedCount());

    if (!report.refusal.isEmpty()) {
        session.fail(report.refusal);
        return 1;
    }
    if (options.json && !report.stopped) {
        const Outcomes outcomes = outcomesOf(report);
        for (qsizetype i = 0; i < plan->size(); ++i) {
            if (const QString* reason = outcomes.reasonFor(i))
                appendJsonLine(session.out.buffer(), *plan, i,
                               plan->state(i) == filelist::PlanState::Rename ? "failed" : nullptr, reason);
            else
                appendJsonLine(session.out.buffer(), *plan, i);
            session.out.written();
        }
    } else if (!options.json) {
        session.out.line(QStringLiteral("已改名 %1 个文件，不变 %2 个，没有改名 %3 个。")
                             .arg(report.renamed)
                             .arg(report.unchanged)
                             .arg(report.failures.size() + report.misplaced.size()));
    }
    if (report.stopped)
        session.tell(QStringLiteral("改名已停止：已经改名的 %1 个文件保留新名字，其余的没有动；用 quendra-rename undo 可以撤销。")
                         .arg(report.renamed));
    const qsizetype notRenamed = tellProblems(session, report, QStringLiteral("有 %1 个文件没有改名："));
    return notRenamed > 0 || report.stopped ? 1 : 0;
}

} // namespace cli
