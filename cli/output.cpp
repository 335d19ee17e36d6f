#include "cli/output.h"

#include "platform/filename.h"

namespace cli {

namespace {

// Whether bytes are UTF-8 as platform::readFileName() takes them: then they are also what the
// user reads, byte for byte.
bool isUtf8(QByteArrayView bytes)
{
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            ++p;
            continue;
        }
        if (platform::isEscapedByte(platform::nextCodePoint(p, end)))
            return false;
    }
    return true;
}

const char kHex[] = "0123456789abcdef";

void appendJsonEscaped(QByteArray& out, QByteArrayView utf8)
{
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    const char* run = p; // the start of bytes that go out as they are
    for (; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(run, p - run);
        run = p + 1;
        switch (c) {
        case '"': out.append("\\\"", 2); break;
        case '\\': out.append("\\\\", 2); break;
        case '\n': out.append("\\n", 2); break;
        case '\r': out.append("\\r", 2); break;
        case '\t': out.append("\\t", 2); break;
        default: {
            const char escaped[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
            out.append(escaped, sizeof escaped);
        }
        }
    }
    out.append(run, p - run);
}

void appendWithoutControls(QByteArray& out, QByteArrayView utf8)
{
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F)
            out.append("\xEF\xBF\xBD", 3); // U+FFFD
        else
            out.append(ch);
    }
}

} // namespace

void Output::line(const QString& text)
{
    m_buffer.append(text.toUtf8());
    m_buffer.append('\n');
    written();
}

void Output::flush()
{
    if (m_buffer.isEmpty())
        return;
    m_sink(m_buffer);
    m_buffer.truncate(0); // keeps its room
}

const char* stateKey(filelist::PlanState state)
{
    switch (state) {
    case filelist::PlanState::Rename: return "rename";
    case filelist::PlanState::Unchanged: return "unchanged";
    case filelist::PlanState::Taken: return "taken";
    case filelist::PlanState::Invalid: return "invalid";
    }
    return "";
}

void appendJsonName(QByteArray& out, QByteArrayView name)
{
    if (isUtf8(name))
        appendJsonEscaped(out, name);
    else
        appendJsonEscaped(out, platform::readableFileName(name).toUtf8());
}

void appendTableName(QByteArray& out, QByteArrayView name)
{
    if (isUtf8(name))
        appendWithoutControls(out, name);
    else
        appendWithoutControls(out, platform::readableFileName(name).toUtf8());
}

void appendJsonText(QByteArray& out, const QString& text)
{
    appendJsonEscaped(out, text.toUtf8());
}

void appendJsonLine(QByteArray& out, const filelist::RenamePlan& plan, qsizetype i, const char* state,
                    const QString* reason)
{
    out.append("{\"old\":\"");
    appendJsonName(out, plan.oldName(i));
    out.append("\",\"new\":\"");
    appendJsonName(out, plan.newName(i));
    out.append("\",\"state\":\"");
    out.append(state ? state : stateKey(plan.state(i)));
    out.append("\",\"reason\":\"");
    if (reason)
        appendJsonText(out, *reason);
    else if (plan.reason(i) != filelist::PlanReason::None)
        appendJsonText(out, plan.reasonText(i));
    out.append("\"}\n");
}

void appendTableLine(QByteArray& out, const filelist::RenamePlan& plan, qsizetype i)
{
    // The state words take four or six columns on a terminal: padded to eight.
    switch (plan.state(i)) {
    case filelist::PlanState::Rename: out.append("改名    "); break;
    case filelist::PlanState::Unchanged: out.append("不变    "); break;
    case filelist::PlanState::Taken: out.append("已存在  "); break;
    case filelist::PlanState::Invalid: out.append("无效    "); break;
    }
    appendTableName(out, plan.oldName(i));
    if (plan.newName(i) != plan.oldName(i)) {
        out.append(" → ");
        appendTableName(out, plan.newName(i));
    }
    if (plan.reason(i) != filelist::PlanReason::None) {
        out.append("（");
        appendWithoutControls(out, plan.reasonText(i).toUtf8());
        out.append("）");
    }
    out.append('\n');
}

QString planCounts(const filelist::RenamePlan& plan)
{
    return QStringLiteral("共 %1 个文件：改名 %2 个，不变 %3 个，已存在 %4 个，无效 %5 个。")
        .arg(plan.size())
        .arg(plan.count(filelist::PlanState::Rename))
        .arg(plan.count(filelist::PlanState::Unchanged))
        .arg(plan.count(filelist::PlanState::Taken))
        .arg(plan.count(filelist::PlanState::Invalid));
}

void writePlan(Output& out, const filelist::RenamePlan& plan, bool json)
{
    for (qsizetype i = 0; i < plan.size(); ++i) {
        if (json)
            appendJsonLine(out.buffer(), plan, i);
        else
            appendTableLine(out.buffer(), plan, i);
        out.written();
    }
    if (!json)
        out.line(planCounts(plan));
}

} // namespace cli
