// Linked into every test program: the program keeps its journal and settings under the XDG
// folders, and a test must never touch the real ones, nor see what another test left there.
// Each test process gets folders of its own, removed when it ends.

#include "tests/support/statehome.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

struct StateHome {
    QTemporaryDir dir{QStringLiteral("/tmp/quendra-test-home-XXXXXX")};
    int used = 0;

    StateHome() { fresh(); }

    void fresh()
    {
        const QByteArray path = dir.path().toLocal8Bit() + '/' + QByteArray::number(++used);
        ::setenv("XDG_STATE_HOME", QByteArray(path + "/state").constData(), 1);
        ::setenv("XDG_CONFIG_HOME", QByteArray(path + "/config").constData(), 1);
    }
};

StateHome& home()
{
    static StateHome instance;
    return instance;
}

// Set before main(), for tests that never ask for a fresh one.
const bool initialised = (home(), true);

} // namespace

namespace testsupport {

void useFreshStateHome()
{
    home().fresh();
}

} // namespace testsupport
