#include "platform/xdg.h"

#include <cstdlib>

namespace platform {

namespace {

// A relative path in these variables counts as unset, as the XDG base directory rules say.
QByteArray baseFolder(const char* variable, const char* underHome)
{
    const char* set = std::getenv(variable);
    if (set && set[0] == '/')
        return QByteArray(set).append("/quendra-rename");
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/')
        return {};
    return QByteArray(home).append(underHome).append("/quendra-rename");
}

} // namespace

QByteArray stateFolder()
{
    return baseFolder("XDG_STATE_HOME", "/.local/state");
}

QByteArray configFolder()
{
    return baseFolder("XDG_CONFIG_HOME", "/.config");
}

} // namespace platform
