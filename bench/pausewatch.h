#pragma once

// How long the window's event loop goes without handling an event, for the window benchmarks.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace bench {

// From its making on, the longest time a timer of 5 ms went unhandled: the window's longest pause.
class PauseWatch {
public:
    PauseWatch()
    {
        m_ticker.setInterval(5);
        QObject::connect(&m_ticker, &QTimer::timeout, &m_ticker, [this] {
            m_pause = std::max(m_pause, elapsed());
            m_sinceTick.restart();
        });
        m_sinceTick.start();
        m_ticker.start();
    }

    // The longest pause so far, the one going on now included, in seconds.
    [[nodiscard]] double longest() const { return std::max(m_pause, elapsed()); }
    // Counts the pause going on now and stops watching.
    void stop()
    {
        m_pause = longest();
        m_ticker.stop();
    }

private:
    [[nodiscard]] double elapsed() const { return double(m_sinceTick.nsecsElapsed()) / 1e9; }

    QElapsedTimer m_sinceTick;
    QTimer m_ticker;
    double m_pause = 0;
};

} // namespace bench
