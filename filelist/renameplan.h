#pragma once

#include "platform/filename.h"
#include "platform/filesystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace filelist {

class FolderNames;

// Every name a folder held when it was listed, of every kind, kept as a hash (8 bytes a name): a
// plan settled after the listing looks in these rather than reading the folder again.
//
// Names without times stand for the folder as they are: their caller listed it a moment ago.
// Names with times, kept for a while, stand for it only while it shows no change since.
class ListedNames {
public:
    void add(QByteArrayView name);
    [[nodiscard]] const std::vector<std::uint64_t>& hashes() const { return m_hashes; }
    [[nodiscard]] std::size_t size() const { return m_hashes.size(); }

    // started, the wall-clock time the listing started, and folderModified, the folder's
    // modification time read as the listing opened it, both in nanoseconds since 1970.
    void setTimes(std::int64_t started, std::optional<std::int64_t> folderModified);
    [[nodiscard]] bool hasTimes() const { return m_timed; }
    // Whether the names still are what folder holds, on a file system with limits.
    [[nodiscard]] bool stillTrue(const platform::Folder& folder, const platform::NameLimits& limits) const;

private:
    std::vector<std::uint64_t> m_hashes;
    bool m_timed = false;
    std::int64_t m_started = 0;
    std::optional<std::int64_t> m_folderModified;
};

// How long after the folder's last change a listing must start for its names to be trusted
// later: a change within the same tick of the file system's clock leaves the folder's time as
// it was, and that clock may run a tick behind the wall clock.
inline constexpr std::int64_t kListingSettledNs = 50'000'000;

// Whether a listing that started at started, when the folder's modification time read
// modifiedThen, still tells what the folder holds now that its time reads modifiedNow. Only
// where inode numbers are stable: network and FUSE file systems may cache a folder's time.
bool listingStillTrue(std::int64_t started, std::optional<std::int64_t> modifiedThen,
                      std::optional<std::int64_t> modifiedNow, bool stableInodes);

// What a rename run needs of the file list.
class RenameSource {
public:
    virtual ~RenameSource() = default;
    [[nodiscard]] virtual const QByteArray& folder() const = 0;
    // Which folder was listed: a run refuses a folder moved away and replaced since.
    [[nodiscard]] virtual platform::FolderIdentity folderIdentity() const = 0;
    [[nodiscard]] virtual int count() const = 0;
    [[nodiscard]] virtual std::string_view itemBytes(int index) const = 0;
    [[nodiscard]] virtual bool isSelected(int index) const = 0;
    virtual void refresh() = 0;
    // The buffer that itemBytes() points into, where the source keeps its names in one and never
    // changes it: a plan then shares it rather than copying every old name. Null otherwise.
    [[nodiscard]] virtual std::shared_ptr<const std::string> nameBuffer() const { return {}; }
};

// What a rule says about one selected file.
struct RenameDecision {
    enum class Action { Rename, Leave, Refuse };

    Action action = Action::Leave;
    QString newName;
    QString reason; // why a refused file can't be renamed; for a renamed one, the rule's note on
                    // what it did without ("没有拍摄时间，用了修改时间"), or empty
    // The new name is written in UTF-8, whatever the old one was stored in (a GBK name written
    // again); otherwise in the old name's own.
    bool utf8 = false;
    // The custom-text command's existence test: a file the user can see under the new name,
    // the file's own name included, leaves the file alone with a message naming the new name.
    bool leaveIfNameTaken = false;

    static RenameDecision rename(const QString& newName, bool leaveIfNameTaken = false)
    {
        return {Action::Rename, newName, {}, false, leaveIfNameTaken};
    }
    static RenameDecision leave() { return {}; }
    static RenameDecision refuse(const QString& newName, const QString& reason)
    {
        return {Action::Refuse, newName, reason, false, false};
    }
};

using RenameRule = std::function<RenameDecision(const QString& name)>;
// A rule told each file's number in the run, counting the selected files from 1 in list order.
// It keeps no state, so it may be asked about several files at once from several threads.
using NumberedRule = std::function<RenameDecision(const QString& name, qint64 ordinal)>;

// Called now and then with the work done so far and all there is; false asks to stop.
using Progress = std::function<bool(qsizetype done, qsizetype total)>;

// Longest file name, in bytes, that Linux file systems take.
inline constexpr qsizetype kMaxNameBytes = 255;

// What the run will do with one file.
enum class PlanState : std::uint8_t {
    Rename,    // "改名"
    Unchanged, // "不变": the new name is the old one, or the rule leaves the file alone
    Taken,     // "已存在": another file has or gets the new name
    Invalid,   // "无效": the new name can't be given to a file here
};

// Why a file is not renamed, or nothing for a file that is.
enum class PlanReason : std::uint8_t {
    None,
    RuleRefused,       // the rule's own words
    RuleNote,          // a file renamed all the same: the rule's note on what it did without
    NotEncodable,
    NotInGbk,          // the old name is stored in GBK, which can't hold a character of the new
    ReadsAsUtf8,       // the new name's GBK bytes are valid UTF-8 too, and would be read as other text
    ReadsOtherwise,    // the new name's bytes would be read back as other text
    EmptyName,
    DotName,
    Slash,
    Nul,
    TooLong,
    WindowsCharacter,  // \ : * ? " < > | or a control character on a Windows file system
    WindowsEnding,     // a trailing dot or space on a Windows file system
    DriverUnsafe,      // a name the FUSE FAT driver can't write safely
    SameName,          // the existence test finds the file itself
    HeldByFile,
    HeldByHiddenFile,
    HeldBySystemFile,
    HeldByFolder,
    HeldByUnknown,     // the lookup failed: taken, to be safe
    HeldByStayingFile, // a file of the same run that keeps its name
    WantedByEarlier,   // an earlier file of the same run gets the name
    Gone,              // the file is no longer under the name to take back
    HeldWithItsGroup,  // a file renamed together with others stays because one of them must
};

// Every selected file with its new name and what will happen to it, worked out before anything
// on disk changes, so that the user can see it first and the renames can be put in an order in
// which every new name is free when its turn comes.
//
// Names are raw bytes in one buffer; a plan for a million files costs a few tens of megabytes.
class RenamePlan {
public:
    RenamePlan() = default;
    explicit RenamePlan(const QByteArray& folder) : m_folder(folder) {}

    [[nodiscard]] const QByteArray& folder() const { return m_folder; }
    [[nodiscard]] qsizetype size() const { return qsizetype(m_items.size()); }
    [[nodiscard]] QByteArrayView oldName(qsizetype i) const;
    [[nodiscard]] QByteArrayView newName(qsizetype i) const;
    // The names as the user reads them.
    [[nodiscard]] QString oldText(qsizetype i) const;
    [[nodiscard]] QString newText(qsizetype i) const;
    [[nodiscard]] PlanState state(qsizetype i) const { return m_items[std::size_t(i)].state; }
    [[nodiscard]] PlanReason reason(qsizetype i) const { return m_items[std::size_t(i)].reason; }
    // Plain words for reason(i), empty for a file that is renamed or unchanged.
    [[nodiscard]] QString reasonText(qsizetype i) const;
    // Whether the custom-text command tells the user of this file with "…文件已经存在！".
    [[nodiscard]] bool hasExistenceMessage(qsizetype i) const;
    // The file of this run that holds this file's new name now and moves away first, or -1.
    [[nodiscard]] qsizetype blocker(qsizetype i) const { return m_items[std::size_t(i)].blocker; }
    // Whether the new name is the old one spelled otherwise on a file system that ignores
    // letter case, so the file goes through a temporary name.
    [[nodiscard]] bool viaTemporary(qsizetype i) const { return m_items[std::size_t(i)].viaTemporary; }

    [[nodiscard]] qsizetype count(PlanState state) const { return m_counts[std::size_t(state)]; }
    // The planning was stopped before every file was looked at; such a plan is never run.
    [[nodiscard]] bool stopped() const { return m_stopped; }
    // Why the folder as a whole can't be renamed in, or empty; such a plan is never run either.
    [[nodiscard]] const QString& refusal() const { return m_refusal; }

    // Room for files files whose names take about nameBytes, so that a large plan is not
    // copied while it grows; with returns, room for their identities too (see addReturn()).
    void reserve(qsizetype files, qsizetype nameBytes, bool returns = false);
    // Old names given to add() that lie in buffer are kept as places in it, not copied.
    void shareNames(std::shared_ptr<const std::string> buffer) { m_shared = std::move(buffer); }
    // Building a plan: add every file in the order the run meets it, then settle() once. The
    // new name is written in encoding, the one the old name was read in.
    void add(QByteArrayView oldName, const RenameDecision& decision,
             platform::NameEncoding encoding = platform::NameEncoding::Utf8);
    // A file to be given a name it had before: no rule, the names as bytes; a file no longer
    // found under oldName is marked gone when the plan is settled. The run renames it only when
    // the file under oldName is still identity.
    void addReturn(QByteArrayView oldName, QByteArrayView newName, const platform::FileIdentity& identity);
    // File i goes with file leader of the plan (a raw file or a sidecar with its photo): if either
    // of them, or another that goes with leader, can't be renamed, none of them is.
    void follow(qsizetype i, qsizetype leader);
    // The file i goes with, or -1.
    [[nodiscard]] qsizetype leader(qsizetype i) const { return m_leaders.empty() ? -1 : m_leaders[std::size_t(i)]; }
    // The file a returning file must be, or null for a file of a rule's plan.
    [[nodiscard]] const platform::FileIdentity* expectedIdentity(qsizetype i) const
    {
        return m_items[std::size_t(i)].mustExist ? &m_expected[std::size_t(i)] : nullptr;
    }
    // Refuses the plan unless the folder at the plan's path is the one with identity; a refused
    // plan drops its files. Call before settle(), which then uses the folder as opened here.
    void requireFolder(const platform::FileSystem& fs, const platform::FolderIdentity& identity);
    // Opens the folder, looks in it for every new name and sorts each file into its state.
    // folderSizeHint, the number of entries the folder is thought to hold, or -1, decides
    // whether all its names are read at once or each new name is looked up. listed, the names of
    // a listing of the folder, stands in for reading them while it still tells what the folder
    // holds (see ListedNames), and not where letter case is ignored, as listed names are not
    // folded; a name found there is still looked up for what holds it.
    void settle(const platform::FileSystem& fs, const Progress& progress = {}, qsizetype folderSizeHint = -1,
                const ListedNames* listed = nullptr);
    // The folder as opened for the plan, which the run uses too; null before settle().
    [[nodiscard]] const platform::Folder* openedFolder() const { return m_opened.get(); }
    // What the folder's file system can hold and how it numbers files, as settle() found.
    [[nodiscard]] const platform::NameLimits& limits() const { return m_limits; }

private:
    friend RenamePlan planNames(const RenameSource&, const RenameRule&, const Progress&);
    friend RenamePlan planNumberedNames(const RenameSource&, const NumberedRule&, const std::vector<qint64>&,
                                        const Progress&);

    // Adds the files of part, a plan of the files that follow this plan's, not yet settled.
    void append(const RenamePlan& part);

    struct Item {
        std::uint32_t oldOffset = 0;
        std::uint32_t oldSize = 0;
        std::uint32_t newOffset = 0;
        std::uint32_t newSize = 0;
        std::int32_t blocker = -1;
        std::int32_t other = -1; // the file that holds or gets the name, for the reason's words
        PlanState state = PlanState::Rename;
        PlanReason reason = PlanReason::None;
        std::uint16_t ruleReason = 0;
        bool viaTemporary : 1 = false;
        bool existenceTest : 1 = false;
        bool mustExist : 1 = false;
        // Whether the old and the new name lie in m_shared rather than in m_names.
        bool oldShared : 1 = false;
        bool newShared : 1 = false;
    };
    [[nodiscard]] std::string_view oldBytes(const Item& item) const
    {
        return {(item.oldShared ? m_shared->data() : m_names.data()) + item.oldOffset, item.oldSize};
    }
    [[nodiscard]] std::string_view newBytes(const Item& item) const
    {
        return {(item.newShared ? m_shared->data() : m_names.data()) + item.newOffset, item.newSize};
    }

    std::uint32_t store(QByteArrayView bytes);
    void setProblem(Item& item, PlanState state, PlanReason reason, std::int32_t other = -1);
    void checkNames(const platform::NameLimits& limits);
    void findHolders(const FolderNames& names, const platform::NameLimits& limits, const Progress& progress,
                     const std::function<void()>& tick);
    void blockBehindStayingFiles();
    void holdGroupsTogether();

    QByteArray m_folder;
    std::shared_ptr<const platform::Folder> m_opened;
    platform::NameLimits m_limits;
    bool m_limitsKnown = false;
    std::string m_names;
    // The list's own buffer of names, shared: the old names of a large run are not copied.
    std::shared_ptr<const std::string> m_shared;
    std::vector<Item> m_items;
    std::vector<QString> m_ruleReasons;
    std::vector<platform::FileIdentity> m_expected; // by item, for a plan of returns
    std::vector<std::int32_t> m_leaders;            // by item, the file it goes with, or -1; empty when none does
    std::array<qsizetype, 4> m_counts{};
    bool m_stopped = false;
    QString m_refusal;
};

// Asks rule for the new name of every selected file of list, in list order, with the name as
// readFileName() reads it, and settles the plan against the list's folder: planNames(), then
// settlePlan().
RenamePlan planRename(const RenameSource& list, const platform::FileSystem& fs, const RenameRule& rule,
                      const Progress& progress = {});

// The rule's part of a plan: every selected file of list with the rule's new name, nothing asked
// of the disk yet. progress hears of the items of list gone through.
RenamePlan planNames(const RenameSource& list, const RenameRule& rule, const Progress& progress = {});

// planNames() for a rule that keeps no state: a large run is named on two threads at once, each
// taking half of the files, and the plan is the same as one named in a row. The k-th selected
// file (from 0, in list order) is told the ordinal ordinals[k], or k + 1 without ordinals.
// progress is called on the calling thread alone, which names a half; when it answers false,
// both halves stop and the plan is stopped().
RenamePlan planNumberedNames(const RenameSource& list, const NumberedRule& rule,
                             const std::vector<qint64>& ordinals = {}, const Progress& progress = {});

// The disk's part of a plan: refuses plan unless its folder is still the one with identity,
// then settles it (RenamePlan::settle()). Reads nothing but the plan, the disk and listed, so it
// can run on a thread of its own while the list the plan came from changes. Only a listing made
// just before may stand in for the folder: a list on show for a while is out of date.
void settlePlan(RenamePlan& plan, const platform::FileSystem& fs, const platform::FolderIdentity& identity,
                const Progress& progress = {}, qsizetype folderSizeHint = -1, const ListedNames* listed = nullptr);

// Why name can't be given to a file on a file system with limits, or nothing when it can.
PlanReason checkFileName(QByteArrayView name, const platform::NameLimits& limits);

} // namespace filelist
