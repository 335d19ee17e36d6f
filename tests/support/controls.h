#pragma once

#include <QString>
#include <QWidget>

namespace testsupport {

// The control of the window called name; a missing control ends the test run, since every
// later step would fail for the same reason.
template <class T>
T* findControl(const QWidget& window, const char* name)
{
    auto* w = window.findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

} // namespace testsupport
