#pragma once

namespace testsupport {

// Points XDG_STATE_HOME and XDG_CONFIG_HOME at new, empty folders of this test process, so that
// a window made afterwards starts without the history or the settings of an earlier test.
void useFreshStateHome();

} // namespace testsupport
