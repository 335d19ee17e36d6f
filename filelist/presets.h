#pragma once

#include "platform/filesystem.h"
#include "rules/rule.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace filelist {

// Where saved presets live: $XDG_CONFIG_HOME/quendra-rename/presets, by default
// ~/.config/quendra-rename/presets. Empty when there is no config folder at all.
QByteArray presetFolder();

// The user's saved presets, one file NAME.json each in the preset folder. Every write goes
// beside the file and is renamed over it, so a crash leaves the former preset or the new one.
class PresetStore {
public:
    explicit PresetStore(const platform::FileSystem& fs, QByteArray folder = presetFolder());

    [[nodiscard]] const QByteArray& folder() const { return m_folder; }
    // The presets there, by name, sorted as the user reads them; files that aren't presets
    // (other extensions, unreadable names) are passed over.
    [[nodiscard]] QStringList names() const;
    // Reads one; a bad file gives an error naming it and what is wrong, and no steps.
    [[nodiscard]] rules::StepsRead load(const QString& name) const;
    // Saves steps under name, replacing a preset of that name; the error, or empty.
    QString save(const QString& name, const rules::Steps& steps) const;
    // Deletes the preset; the error, or empty.
    QString remove(const QString& name) const;
    // The file a preset of that name is kept in.
    [[nodiscard]] QByteArray pathOf(const QString& name) const;

    // Why name can't name a preset (empty, "/", a leading ".", too long, control characters),
    // or empty when it can.
    static QString checkName(const QString& name);

private:
    const platform::FileSystem& m_fs;
    QByteArray m_folder;
};

// A preset file anywhere (import, or the command line's --preset FILE): the steps, or an error
// naming the file and what is wrong (line and column when it isn't JSON).
rules::StepsRead readPresetFile(const platform::FileSystem& fs, const QByteArray& path);
// Writes steps to a preset file anywhere (export), atomically; the error, or empty.
QString writePresetFile(const platform::FileSystem& fs, const QByteArray& path, const rules::Steps& steps);

} // namespace filelist
