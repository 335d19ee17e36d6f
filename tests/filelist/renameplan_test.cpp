#include "filelist/filelistmodel.h"
#include "filelist/renameplan.h"
#include "filelist/renamerun.h"
#include "platform/faultyfilesystem.h"
#include "platform/filename.h"
#include "tests/support/memoryfilesystem.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <limits>
#include <optional>
#include <map>
#include <random>
#include <set>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <ctime>

namespace {

using filelist::PlanReason;
using filelist::PlanState;
using filelist::RenameDecision;

const QByteArray kFolder = QByteArrayLiteral("/data");

// Every name of a run, all selected, in the order given.
class Selection final : public filelist::RenameSource {
public:
    Selection(std::vector<QByteArray> names, const platform::FileSystem& fs)
        : m_names(std::move(names)), m_identity(fs.openFolder(kFolder)->identity())
    {
    }
    const QByteArray& folder() const override { return kFolder; }
    platform::FolderIdentity folderIdentity() const override { return m_identity; }
    int count() const override { return int(m_names.size()); }
    std::string_view itemBytes(int i) const override
    {
        return {m_names[std::size_t(i)].constData(), std::size_t(m_names[std::size_t(i)].size())};
    }
    bool isSelected(int) const override { return true; }
    void refresh() override {}

private:
    std::vector<QByteArray> m_names;
    platform::FolderIdentity m_identity;
};

struct Expect {
    PlanState state;
    PlanReason reason = PlanReason::None;
    int blocker = -1;
};

struct PlanRow {
    const char* label;
    std::vector<const char*> others; // files outside the run; "name/" is a folder
    // Each file of the run and the rule's answer: a new name, "=" to leave it, "!" to refuse it.
    std::vector<std::pair<const char*, QByteArray>> run;
    std::vector<Expect> expected;
    bool existenceTest = false;
    platform::NameLimits limits{};
};

void PrintTo(const PlanRow& row, std::ostream* os)
{
    *os << row.label;
}

class PlanClassification : public testing::TestWithParam<PlanRow> {};

TEST_P(PlanClassification, SortsEachFileIntoItsState)
{
    const PlanRow& row = GetParam();
    testsupport::MemoryFileSystem memory;
    for (const char* other : row.others) {
        const QByteArray name(other);
        if (name.endsWith('/'))
            memory.addFolder(kFolder, name.chopped(1));
        else
            memory.addFile(kFolder, name, name.startsWith('.') ? platform::Hidden : platform::NoAttributes);
    }
    std::vector<QByteArray> names;
    std::map<QString, QByteArray> answers;
    for (const auto& [name, answer] : row.run) {
        memory.addFile(kFolder, name);
        names.emplace_back(name);
        answers[QString::fromUtf8(name)] = answer;
    }
    platform::FaultyFileSystem fs(memory);
    fs.pretendLimits(row.limits);
    const auto plan = filelist::planRename(Selection(names, fs), fs, [&](const QString& name) {
        const QByteArray& answer = answers.at(name);
        if (answer == "=")
            return RenameDecision::leave();
        if (answer == "!")
            return RenameDecision::refuse(QString(), QStringLiteral("规则的理由"));
        return RenameDecision::rename(QString::fromUtf8(answer), row.existenceTest);
    });
    ASSERT_EQ(plan.size(), qsizetype(row.expected.size()));
    for (qsizetype i = 0; i < plan.size(); ++i) {
        const Expect& e = row.expected[std::size_t(i)];
        EXPECT_EQ(int(plan.state(i)), int(e.state)) << "file " << i;
        EXPECT_EQ(int(plan.reason(i)), int(e.reason)) << "file " << i;
        EXPECT_EQ(plan.blocker(i), e.blocker) << "file " << i;
        EXPECT_EQ(plan.reasonText(i).isEmpty(), e.reason == PlanReason::None) << "file " << i;
        // A Chinese name the driver can't take points to the pinyin command; other names don't.
        if (e.reason == PlanReason::DriverUnsafe) {
            EXPECT_EQ(plan.reasonText(i).contains(QStringLiteral("“汉字转拼音”")),
                      plan.newText(i).contains(QStringLiteral("照片")))
                << "file " << i;
        }
    }
    EXPECT_EQ(fs.renameAttempts(), 0);
}

const platform::NameLimits kWindows{true, false};
const platform::NameLimits kFuseFat{true, true};

INSTANTIATE_TEST_SUITE_P(
    Situations, PlanClassification,
    testing::Values(
        PlanRow{"new_name_is_the_old_one", {}, {{"a", "a"}, {"b", "="}},
                {{PlanState::Unchanged}, {PlanState::Unchanged}}},
        PlanRow{"existence_test_finds_the_file_itself", {}, {{"a", "a"}}, {{PlanState::Taken, PlanReason::SameName}}, true},
        PlanRow{"free_name", {}, {{"a", "b"}}, {{PlanState::Rename}}},
        PlanRow{"held_by_an_unselected_file", {"b"}, {{"a", "b"}}, {{PlanState::Taken, PlanReason::HeldByFile}}},
        PlanRow{"held_by_a_hidden_file", {".b"}, {{"a", ".b"}}, {{PlanState::Taken, PlanReason::HeldByHiddenFile}}},
        PlanRow{"held_by_a_folder", {"d/"}, {{"a", "d"}}, {{PlanState::Taken, PlanReason::HeldByFolder}}},
        PlanRow{"two_files_want_one_name", {}, {{"a", "x"}, {"b", "x"}},
                {{PlanState::Rename}, {PlanState::Taken, PlanReason::WantedByEarlier}}},
        PlanRow{"renumbering_through_the_run's_own_names", {}, {{"1.gif", "2.gif"}, {"2.gif", "4.gif"}, {"3.gif", "6.gif"}},
                {{PlanState::Rename, PlanReason::None, 1}, {PlanState::Rename}, {PlanState::Rename}}},
        PlanRow{"swap", {}, {{"a", "b"}, {"b", "a"}},
                {{PlanState::Rename, PlanReason::None, 1}, {PlanState::Rename, PlanReason::None, 0}}},
        PlanRow{"held_by_a_file_of_the_run_that_stays", {}, {{"a", "b"}, {"b", "b"}},
                {{PlanState::Taken, PlanReason::HeldByStayingFile}, {PlanState::Unchanged}}},
        PlanRow{"chain_behind_a_taken_name", {"z"}, {{"a", "b"}, {"b", "c"}, {"c", "z"}},
                {{PlanState::Taken, PlanReason::HeldByStayingFile},
                 {PlanState::Taken, PlanReason::HeldByStayingFile},
                 {PlanState::Taken, PlanReason::HeldByFile}}},
        PlanRow{"names_no_file_can_have", {}, {{"a", ""}, {"b", "x/y"}, {"c", QByteArray(256, 'x')}, {"d", "!"}},
                {{PlanState::Invalid, PlanReason::EmptyName}, {PlanState::Invalid, PlanReason::Slash},
                 {PlanState::Invalid, PlanReason::TooLong}, {PlanState::Invalid, PlanReason::RuleRefused}}},
        PlanRow{"windows_names", {}, {{"a", "12:30"}, {"b", "x*"}, {"c", "x."}, {"d", "x "}, {"e", "照片"}},
                {{PlanState::Invalid, PlanReason::WindowsCharacter}, {PlanState::Invalid, PlanReason::WindowsCharacter},
                 {PlanState::Invalid, PlanReason::WindowsEnding}, {PlanState::Invalid, PlanReason::WindowsEnding},
                 {PlanState::Rename}},
                false, kWindows},
        PlanRow{"names_the_fuse_fat_driver_loses", {}, {{"a", "照片"}, {"b", "~x"}, {"c", ".x"}, {"d", "X.TXT"}, {"e", "café"}},
                {{PlanState::Invalid, PlanReason::DriverUnsafe}, {PlanState::Invalid, PlanReason::DriverUnsafe},
                 {PlanState::Invalid, PlanReason::DriverUnsafe}, {PlanState::Rename},
                 {PlanState::Invalid, PlanReason::DriverUnsafe}},
                false, kFuseFat},
        PlanRow{"case_rotation_where_case_is_ignored", {}, {{"x", "Y"}, {"y", "X"}},
                {{PlanState::Rename, PlanReason::None, 1}, {PlanState::Rename, PlanReason::None, 0}}, false, kWindows},
        PlanRow{"names_equal_but_for_case_where_case_is_ignored", {}, {{"a", "X"}, {"b", "x"}},
                {{PlanState::Rename}, {PlanState::Taken, PlanReason::WantedByEarlier}}, false, kWindows}),
    [](const testing::TestParamInfo<PlanRow>& info) {
        std::string name = info.param.label;
        std::replace(name.begin(), name.end(), '\'', '_');
        return name;
    });

TEST(PlanClassification, CaseOnlyChangeWhereCaseIsIgnoredGoesThroughATemporaryName)
{
    testsupport::MemoryFileSystem memory;
    memory.addFile(kFolder, "ab.txt");
    platform::FaultyFileSystem fs(memory);
    fs.pretendLimits(kWindows);
    const auto plan = filelist::planRename(Selection({"ab.txt"}, fs), fs,
                                           [](const QString&) { return RenameDecision::rename(QStringLiteral("AB.TXT")); });
    EXPECT_EQ(plan.state(0), PlanState::Rename);
    EXPECT_TRUE(plan.viaTemporary(0));
    EXPECT_EQ(filelist::temporaryName().size(), 12); // an 8.3 name
}

} // namespace

// The names a listing keeps stand in for the planner's own reading of the folder: in a real
// folder of files, hidden files, folders and dangling links, with new names drawn from all of
// them, a plan settled with the listed names is the plan settled by reading the folder and the
// plan settled by looking up each name.
TEST(PlanWithListedNames, SettlesAsReadingTheFolderDoes)
{
    const platform::FileSystem& fs = platform::systemFileSystem();
    std::mt19937 random(20261208);
    std::set<PlanReason> seen;
    for (int round = 0; round < 25; ++round) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QByteArray folder = QFile::encodeName(dir.path());
        std::vector<QString> pool;
        for (int i = 0; i < 40; ++i) {
            // Files called "m…" are outside the run, as are hidden ones.
            const auto kind = random() % 5;
            const QString name = (kind == 0 ? QStringLiteral(".n%1") : kind == 1 ? QStringLiteral("m%1") : QStringLiteral("n%1")).arg(i);
            pool.push_back(name);
            const QString path = dir.filePath(name);
            switch (random() % 10) {
            case 0: ASSERT_TRUE(QDir(dir.path()).mkdir(name)); break;
            case 1: ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), path)); break;
            case 2:
            case 3:
            case 4: break; // no such name
            default: {
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            }
            }
        }

        filelist::FileListModel::ListingRequest request;
        request.folder = folder;
        request.pattern = filelist::NamePattern(QStringLiteral("n*"));
        request.switches = {true, true, false, false};
        request.keepAllNames = true;
        filelist::FileListModel::Listing listing = filelist::FileListModel::list(fs, request);
        ASSERT_EQ(listing.error, 0);
        const filelist::ListedNames listed = std::move(listing.allNames);
        filelist::FileListModel model(fs);
        model.show(request, std::move(listing));
        model.setAllSelected(true);

        std::map<QString, QString> answers;
        for (int i = 0; i < model.count(); ++i) {
            const auto pick = random() % 8;
            answers[model.item(i)] = pick == 0 ? QString() : pick == 1 ? model.item(i) : pool[random() % pool.size()];
        }
        const auto rule = [&](const QString& name) {
            const QString& answer = answers.at(name);
            return answer.isEmpty() ? RenameDecision::leave() : RenameDecision::rename(answer);
        };
        const auto settled = [&](qsizetype hint, const filelist::ListedNames* names) {
            filelist::RenamePlan plan = filelist::planNames(model, rule);
            filelist::settlePlan(plan, fs, model.folderIdentity(), {}, hint, names);
            return plan;
        };
        const filelist::RenamePlan fromListing = settled(model.count(), &listed);
        const filelist::RenamePlan readingAll = settled(0, nullptr);
        const filelist::RenamePlan lookingUp = settled(std::numeric_limits<qsizetype>::max(), nullptr);
        ASSERT_TRUE(fromListing.refusal().isEmpty());
        ASSERT_EQ(fromListing.size(), model.count());
        for (const filelist::RenamePlan* other : {&readingAll, &lookingUp}) {
            ASSERT_EQ(other->size(), fromListing.size());
            for (qsizetype i = 0; i < fromListing.size(); ++i) {
                EXPECT_EQ(int(fromListing.state(i)), int(other->state(i))) << "round " << round << " file " << i;
                EXPECT_EQ(int(fromListing.reason(i)), int(other->reason(i))) << "round " << round << " file " << i;
                EXPECT_EQ(fromListing.blocker(i), other->blocker(i)) << "round " << round << " file " << i;
                EXPECT_EQ(fromListing.viaTemporary(i), other->viaTemporary(i)) << "round " << round << " file " << i;
            }
        }
        for (qsizetype i = 0; i < fromListing.size(); ++i)
            seen.insert(fromListing.reason(i));
    }
    // Every kind of holder came up, so the rounds compared what matters.
    for (const PlanReason reason : {PlanReason::HeldByFile, PlanReason::HeldByHiddenFile, PlanReason::HeldBySystemFile,
                                    PlanReason::HeldByFolder, PlanReason::HeldByStayingFile, PlanReason::WantedByEarlier})
        EXPECT_TRUE(seen.count(reason)) << int(reason);
}

// Names a listing keeps for later stand for the folder only while its time shows no change since
// the listing, and only when the listing started well after that time. The folder holds "a" and
// "b", but the kept names leave "b" out: renaming "a" to "b" believes them (改名) or reads the
// folder and finds "b" (已存在).
TEST(PlanWithListedNames, KeptNamesStandForTheFolderOnlyWhileItIsUnchanged)
{
    constexpr std::int64_t ms = 1'000'000;
    struct Row {
        const char* label;
        std::int64_t startedAfter; // the listing's start, after the folder's time
        std::int64_t timeThen;     // the folder's time as the listing read it, against its time now
        bool timeKnown;
        PlanState expected;
    };
    const Row rows[] = {
        {"listed well after the last change", 200 * ms, 0, true, PlanState::Rename},
        {"listed within the clock's tick of the last change", 10 * ms, 0, true, PlanState::Taken},
        {"listed before the last change", -1000 * ms, 0, true, PlanState::Taken},
        {"changed since the listing", 200 * ms, -1000 * ms, true, PlanState::Taken},
        {"the folder's time unknown", 200 * ms, 0, false, PlanState::Taken},
    };
    const platform::FileSystem& fs = platform::systemFileSystem();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    for (const char* name : {"a", "b"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const std::optional<std::int64_t> modified = fs.openFolder(folder)->modifiedTime();
    ASSERT_TRUE(modified.has_value());
    class OneFile final : public filelist::RenameSource {
    public:
        OneFile(QByteArray folder, platform::FolderIdentity identity) : m_folder(std::move(folder)), m_identity(identity) {}
        const QByteArray& folder() const override { return m_folder; }
        platform::FolderIdentity folderIdentity() const override { return m_identity; }
        int count() const override { return 1; }
        std::string_view itemBytes(int) const override { return "a"; }
        bool isSelected(int) const override { return true; }
        void refresh() override {}

    private:
        QByteArray m_folder;
        platform::FolderIdentity m_identity;
    } source(folder, fs.openFolder(folder)->identity());
    for (const Row& row : rows) {
        filelist::ListedNames listed;
        listed.add("a");
        listed.setTimes(*modified + row.startedAfter,
                        row.timeKnown ? std::optional<std::int64_t>(*modified + row.timeThen) : std::nullopt);
        filelist::RenamePlan plan =
            filelist::planNames(source, [](const QString&) { return RenameDecision::rename(QStringLiteral("b")); });
        filelist::settlePlan(plan, fs, source.folderIdentity(), {}, 1, &listed);
        ASSERT_EQ(plan.size(), 1) << row.label;
        EXPECT_EQ(int(plan.state(0)), int(row.expected)) << row.label;
    }
    // Where a file system may cache a folder's time, the time tells nothing.
    EXPECT_TRUE(filelist::listingStillTrue(*modified + 200 * ms, modified, modified, true));
    EXPECT_FALSE(filelist::listingStillTrue(*modified + 200 * ms, modified, modified, false));
}

// The list's own listing keeps the folder's names with the times that tell whether they still
// hold: a file added after it makes them out of date.
TEST(PlanWithListedNames, TheListsListingGoesOutOfDateWithTheFolder)
{
    const platform::FileSystem& fs = platform::systemFileSystem();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    QFile file(dir.filePath(QStringLiteral("a")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // The folder's last change a second back, so that a listing now is well after it.
    const struct timespec back[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.constData(), back, 0), 0);

    filelist::FileListModel model(fs);
    ASSERT_TRUE(model.setFolder(folder));
    const auto listed = model.listedNames();
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->size(), 1u);
    const auto limits = fs.nameLimitsOf(folder);
    EXPECT_TRUE(listed->stillTrue(*fs.openFolder(folder), limits));
    QFile added(dir.filePath(QStringLiteral("b")));
    ASSERT_TRUE(added.open(QIODevice::WriteOnly));
    added.close();
    EXPECT_FALSE(listed->stillTrue(*fs.openFolder(folder), limits));

    model.setAllSelected(true);
    filelist::RenamePlan plan =
        filelist::planNames(model, [](const QString&) { return RenameDecision::rename(QStringLiteral("b")); });
    filelist::settlePlan(plan, fs, model.folderIdentity(), {}, model.count(), listed.get());
    ASSERT_EQ(plan.size(), 1);
    EXPECT_EQ(int(plan.state(0)), int(PlanState::Taken));
}

// A large run named on two threads is the plan named in a row: every file in list order, the
// unselected ones passed over, each numbered as the k-th selected file, the rule's refusals with
// their own words.
// A plan of one thread and one of two give the same files, whether the list shares the buffer
// its names are kept in or not; a plan that shares it outlives the list.
TEST(PlanNumberedNames, TwoThreadsGiveThePlanOfOne)
{
    class Every3rdLeftOut final : public filelist::RenameSource {
    public:
        Every3rdLeftOut(const platform::FileSystem& fs, bool shares)
            : m_identity(fs.openFolder(kFolder)->identity()), m_shares(shares)
        {
            auto buffer = std::make_shared<std::string>();
            for (int i = 0; i < 30001; ++i) {
                const std::string name = "file " + std::to_string(i) + (i % 4 ? ".txt" : "");
                m_at.emplace_back(buffer->size(), name.size());
                buffer->append(name);
            }
            m_buffer = std::move(buffer);
        }
        const QByteArray& folder() const override { return kFolder; }
        platform::FolderIdentity folderIdentity() const override { return m_identity; }
        int count() const override { return int(m_at.size()); }
        std::string_view itemBytes(int i) const override
        {
            return std::string_view(*m_buffer).substr(m_at[std::size_t(i)].first, m_at[std::size_t(i)].second);
        }
        bool isSelected(int i) const override { return i % 3 != 0; }
        void refresh() override {}
        std::shared_ptr<const std::string> nameBuffer() const override { return m_shares ? m_buffer : nullptr; }

    private:
        std::shared_ptr<const std::string> m_buffer;
        std::vector<std::pair<std::size_t, std::size_t>> m_at;
        platform::FolderIdentity m_identity;
        bool m_shares;
    };
    testsupport::MemoryFileSystem fs;
    const filelist::NumberedRule rule = [](const QString& name, qint64 ordinal) {
        if (ordinal % 7 == 0)
            return RenameDecision::refuse(name, QStringLiteral("理由 %1").arg(ordinal % 1000 / 7 % 5));
        if (ordinal % 5 == 0)
            return RenameDecision::leave();
        if (ordinal % 11 == 0)
            return RenameDecision::rename(name); // the same name, kept once
        return RenameDecision::rename(name + QString::number(ordinal), ordinal % 2 == 0);
    };
    const auto inARow = [&rule](const filelist::RenameSource& list) {
        qint64 ordinal = 0;
        return filelist::planNames(list, [&](const QString& name) { return rule(name, ++ordinal); });
    };
    const filelist::RenamePlan reference = inARow(Every3rdLeftOut(fs, false));
    ASSERT_EQ(reference.size(), 20000);
    std::vector<filelist::RenamePlan> plans;
    for (const bool shares : {false, true}) {
        const auto list = std::make_unique<Every3rdLeftOut>(fs, shares);
        plans.push_back(filelist::planNumberedNames(*list, rule, {}, [](qsizetype, qsizetype) { return true; }));
        if (shares)
            plans.push_back(inARow(*list));
        // Told to stop half way, both halves stop and the plan says so.
        const auto halfWay = [](qsizetype done, qsizetype total) { return done < total / 2; };
        EXPECT_TRUE(filelist::planNumberedNames(*list, rule, {}, halfWay).stopped());
    } // the lists are gone
    for (const filelist::RenamePlan& plan : plans) {
        ASSERT_EQ(plan.size(), reference.size());
        for (qsizetype i = 0; i < reference.size(); ++i) {
            ASSERT_EQ(plan.oldName(i), reference.oldName(i)) << i;
            ASSERT_EQ(plan.newName(i), reference.newName(i)) << i;
            ASSERT_EQ(int(plan.state(i)), int(reference.state(i))) << i;
            ASSERT_EQ(int(plan.reason(i)), int(reference.reason(i))) << i;
            ASSERT_EQ(plan.reasonText(i), reference.reasonText(i)) << i;
        }
    }
}
