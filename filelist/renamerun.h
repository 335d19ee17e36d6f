#pragma once

#include "platform/filesystem.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string_view>
#include <vector>

namespace filelist {

// What a rename run needs of the file list.
class RenameSource {
public:
    virtual ~RenameSource() = default;
    [[nodiscard]] virtual const QByteArray& folder() const = 0;
    [[nodiscard]] virtual int count() const = 0;
    [[nodiscard]] virtual std::string_view itemBytes(int index) const = 0;
    [[nodiscard]] virtual QString item(int index) const = 0;
    [[nodiscard]] virtual bool isSelected(int index) const = 0;
    virtual void refresh() = 0;
};

// What a rule says about one selected file.
struct RenameDecision {
    enum class Action { Rename, Leave, Refuse };

    Action action = Action::Leave;
    QString newName;
    QString reason; // why a refused file can't be renamed
    // Look for a file the user can see under the new name first, and leave the file alone
    // when there is one.
    bool leaveIfNameTaken = false;

    static RenameDecision rename(const QString& newName, bool leaveIfNameTaken = false)
    {
        return {Action::Rename, newName, {}, leaveIfNameTaken};
    }
    static RenameDecision leave() { return {}; }
    static RenameDecision refuse(const QString& newName, const QString& reason)
    {
        return {Action::Refuse, newName, reason, false};
    }
};

// A file that was not renamed, with its names as the user reads them.
struct RenameFailure {
    QString oldName;
    QString newName;
    QString reason;
};

struct RenameReport {
    int renamed = 0;   // files that have their new names now
    int unchanged = 0; // files whose new name was their name already
    int leftAlone = 0; // files the rule left alone, or whose new name was taken
    std::vector<RenameFailure> failures;
    bool stopped = false; // the progress callback asked to stop
};

struct RenameHooks {
    // Called, before the walk goes on, for a file left alone because a file the user can see
    // already has its new name; receives that name as the user reads it.
    std::function<void(const QString& newName)> nameTaken;
    // Called now and then with the number of items walked and the count; false stops the run
    // there, keeping what was renamed.
    std::function<bool(int walked, int count)> progress;
};

using RenameRule = std::function<RenameDecision(const QString& name)>;

// Walks the list from its first item to its last, asks rule for the new name of every
// selected file and renames the file within the list's folder. A file that can't be renamed is
// reported and the walk goes on; nothing is undone. The list is refreshed at the end.
RenameReport runRename(RenameSource& list, const platform::FileSystem& fs, const RenameRule& rule,
                       const RenameHooks& hooks = {});

// Longest file name, in bytes, that Linux file systems take.
inline constexpr qsizetype kMaxNameBytes = 255;

} // namespace filelist
