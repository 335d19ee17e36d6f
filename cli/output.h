#pragma once

#include "filelist/renameplan.h"
#include "filelist/renamerun.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace cli {

// A stream of text for the terminal, gathered in a buffer and handed to its sink in large
// pieces: a plan of a hundred thousand files is written in a few dozen calls, not one a line.
class Output {
public:
    using Sink = std::function<void(QByteArrayView)>;
    explicit Output(Sink sink) : m_sink(std::move(sink)) { m_buffer.reserve(2 * kChunk); }
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // What is gathered so far, to append to directly; call written() after a piece.
    QByteArray& buffer() { return m_buffer; }
    void written()
    {
        if (m_buffer.size() >= kChunk)
            flush();
    }
    void append(QByteArrayView bytes)
    {
        m_buffer.append(bytes);
        written();
    }
    // One line of text, with its line end.
    void line(const QString& text);
    void flush();

private:
    static constexpr qsizetype kChunk = 1 << 16;
    Sink m_sink;
    QByteArray m_buffer;
};

// The JSON field's value for a planned file's state.
const char* stateKey(filelist::PlanState state);

// Appends a file name, given as the bytes the folder holds, as the user reads it: the bytes
// themselves when they are UTF-8, otherwise platform::readableFileName(). In a JSON string,
// escaped as JSON wants; for the table, control characters (which would break a line or move
// the cursor) shown as U+FFFD.
void appendJsonName(QByteArray& out, QByteArrayView name);
void appendTableName(QByteArray& out, QByteArrayView name);
// Text in a JSON string, escaped.
void appendJsonText(QByteArray& out, const QString& text);

// One line of the plan as a JSON object {"old": …, "new": …, "state": …, "reason": …}; state
// and reason may be given to tell what a run did instead of what the plan meant to.
void appendJsonLine(QByteArray& out, const filelist::RenamePlan& plan, qsizetype i, const char* state = nullptr,
                    const QString* reason = nullptr);
// One line of the table: the state, "old → new" and the reason in brackets.
void appendTableLine(QByteArray& out, const filelist::RenamePlan& plan, qsizetype i);
// The counts of a plan, as a line for under the table.
QString planCounts(const filelist::RenamePlan& plan);

// The whole plan, a line a file in plan order: as JSON lines, or as the table with its counts.
void writePlan(Output& out, const filelist::RenamePlan& plan, bool json);

} // namespace cli
