#pragma once

namespace ui {

// Style and font shared by the program and the window tests, so both see the same layout.
// Call after the QApplication exists.
void configureApplication();

} // namespace ui
