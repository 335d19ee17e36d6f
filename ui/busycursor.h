#pragma once

#include <QApplication>

namespace ui {

// Shows that the window is busy for as long as it lives: rebuilding the list of a large folder
// or working out a plan takes a moment.
class BusyCursor final {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace ui
