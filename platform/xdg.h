#pragma once

#include <QByteArray>

namespace platform {

// Where the program keeps what it must remember between runs: $XDG_STATE_HOME/quendra-rename,
// by default ~/.local/state/quendra-rename. Empty when neither that nor a home folder is set.
QByteArray stateFolder();

// Where the user's own settings live: $XDG_CONFIG_HOME/quendra-rename, by default
// ~/.config/quendra-rename. Empty when neither that nor a home folder is set.
QByteArray configFolder();

} // namespace platform
