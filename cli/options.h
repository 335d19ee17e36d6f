#pragma once

#include "rules/rule.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace cli {

// quendra-rename apply: a rule given inline or a preset, the paths, and how to go about it.
struct ApplyOptions {
    std::optional<rules::Rule> rule; // one rule given inline
    QByteArray preset;               // or a preset's name, or a preset file (with "/" or ending ".json")
    std::vector<QByteArray> paths;   // as the shell gave them
    std::optional<QString> pattern; // --pattern, for a folder; "*.*" when not given
    bool hidden = false;
    bool dryRun = false;
    bool json = false;
    bool yes = false;
    bool help = false;
};

// quendra-rename undo.
struct UndoOptions {
    bool list = false;
    bool yes = false;
    bool help = false;
};

template <typename Options>
struct Parsed {
    Options options;
    QString error; // one line in Chinese; empty when the options are good
};

// Reads the arguments after "apply". A rule's values are checked as a preset's are, with the
// same words; what is wrong with the command line comes back as the error.
Parsed<ApplyOptions> parseApply(const std::vector<QByteArray>& arguments);
Parsed<UndoOptions> parseUndo(const std::vector<QByteArray>& arguments);

// Whether the --preset value names a file rather than a saved preset.
bool isPresetFile(const QByteArray& preset);

} // namespace cli
