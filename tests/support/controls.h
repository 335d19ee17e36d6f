#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QScrollArea>
#include <QStackedWidget>
#include <QString>
#include <QTabWidget>
#include <QTest>
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

// Shows window, off the screen under the offscreen platform, and waits until its layouts have
// given every control its place: a click at a control's middle lands on it as a user's would.
inline bool showLaidOut(QWidget& window)
{
    window.show();
    const bool exposed = QTest::qWaitForWindowExposed(&window);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return exposed;
}

// Shows window with control in view, as a user would before clicking it: the page of the tabs
// that holds it is brought to the front, and a window larger than the screen scrolled to it.
inline bool showControl(QWidget& window, QWidget& control)
{
    for (QWidget* w = &control; w && w != &window; w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        if (auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr)
            tabs->setCurrentWidget(w);
    }
    const bool shown = showLaidOut(window);
    for (QWidget* w = control.parentWidget(); w && w != &window; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(w))
            area->ensureWidgetVisible(&control);
    }
    return shown;
}

} // namespace testsupport
