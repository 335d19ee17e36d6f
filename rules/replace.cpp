#include "rules/replace.h"

#include "rules/nameparts.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace rules {

namespace {

// The engine's own limits hold one attempt at one start position, and above all its memory. They
// start afresh at every start position and at every match of a global replacement, so alone they
// let one name cost seconds.
constexpr std::uint32_t kMatchLimit = 2'000'000;
constexpr std::uint32_t kDepthLimit = 50'000;
constexpr PCRE2_SIZE kHeapLimitKiB = 20'000;

// The work one file name may cost, base name and extension together, in the units Work::count()
// adds up. The costliest patterns we know, nested repeats such as (?:a|a){19}x or (\w+\s?)+$ on
// a long name, reach it in 30 to 70 ms on a current PC; ordinary patterns such as .*a.*b,
// ^(.*?)(\d+)$ or (.+)-(.+)-(.+) spend less than a twentieth of it on a name of 255 characters.
// Without a bound (a+)+$ takes years on a name of thirty a's and a b.
constexpr std::uint64_t kWorkBudget = 5'000'000;

// What an item of the pattern costs the name's budget each time the engine tries it.
struct ItemCost {
    // The cost of one character read: long items, such as classes of many properties, test each
    // character against all of them.
    std::uint32_t weight = 1;
    // The characters the item may read before it fails where it stands, which no callout sees.
    std::uint32_t unseenReads = 0;
};
constexpr std::uint32_t kWholePart = UINT32_MAX; // as many as the part of the name has

PCRE2_SPTR16 codeUnits(const QString& text)
{
    return reinterpret_cast<PCRE2_SPTR16>(text.utf16());
}

// The replacement in the syntax of pcre2_substitute(), where only "$" is special: \n and $n
// become ${n}, \\ a backslash, $$ and any other $ a dollar; every other character stays.
QString substitutionOf(const QString& replacement)
{
    QString out;
    const qsizetype n = replacement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = replacement[i];
        const QChar next = i + 1 < n ? replacement[i + 1] : QChar();
        if ((c == QLatin1Char('\\') || c == QLatin1Char('$')) && next >= QLatin1Char('0') && next <= QLatin1Char('9')) {
            out += QStringLiteral("${") + next + QLatin1Char('}');
            ++i;
        } else if (c == QLatin1Char('\\') && next == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
            ++i;
        } else if (c == QLatin1Char('$')) {
            out += QStringLiteral("$$");
            if (next == QLatin1Char('$'))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// The engine's reason in Chinese for the faults people make most; its own words otherwise.
QString reasonOf(int errorCode)
{
    switch (errorCode) {
    case PCRE2_ERROR_END_BACKSLASH: return QStringLiteral("表达式以“\\”结尾");
    case PCRE2_ERROR_UNKNOWN_ESCAPE: return QStringLiteral("不认识的转义序列");
    case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER: return QStringLiteral("{} 里的数字前大后小");
    case PCRE2_ERROR_MISSING_SQUARE_BRACKET: return QStringLiteral("缺少右方括号“]”");
    case PCRE2_ERROR_CLASS_RANGE_ORDER: return QStringLiteral("方括号里的范围前大后小");
    case PCRE2_ERROR_QUANTIFIER_INVALID: return QStringLiteral("*、+、? 或 {} 前面没有可以重复的内容");
    case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS: return QStringLiteral("缺少右括号“)”");
    case PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE: return QStringLiteral("引用了不存在的组");
    case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS: return QStringLiteral("多了一个右括号“)”");
    case PCRE2_ERROR_BACKSLASH_C_CALLER_DISABLED: return QStringLiteral("不支持 \\C（它会把一个字符拆成两半）");
    case PCRE2_ERROR_PATTERN_TOO_LARGE: return QStringLiteral("表达式太大：重复的部分太长或重复的次数太多");
    default: break;
    }
    PCRE2_UCHAR16 words[256];
    const int length = pcre2_get_error_message_16(errorCode, words, 256);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(words), length > 0 ? length : 0);
}

// Items that fail on their first character, or that move on so that the next callout sees how
// far they read, cost nothing unseen. The others: a counted repeat may read up to its minimum and
// then fail (\x{41} reads as a repeat too, which only costs a little more); a back reference may
// compare the whole part; the end of a script run checks everything the run matched.
std::uint32_t unseenReadsOf(QStringView item, bool scriptRuns)
{
    if (item.isEmpty())
        return 0;
    if (item.front() == u')')
        return scriptRuns ? kWholePart : 0;
    if (item.startsWith(u"(?P="))
        return kWholePart;
    if (item.front() == u'(')
        return 0;
    if (item.size() > 1 && item[0] == u'\\'
        && ((item[1] >= u'1' && item[1] <= u'9') || item[1] == u'g' || item[1] == u'k'))
        return kWholePart;
    if (item.size() > 1 && (item.back() == u'+' || item.back() == u'?'))
        item.chop(1); // possessive or lazy
    if (!item.endsWith(u'}'))
        return 0;
    const qsizetype open = item.lastIndexOf(u'{');
    std::uint32_t minimum = 0;
    for (qsizetype i = open + 1; i < item.size() && item[i] >= u'0' && item[i] <= u'9'; ++i) {
        minimum = minimum * 10 + (item[i].unicode() - u'0');
        if (minimum > 0xFFFF)
            return kWholePart;
    }
    return minimum;
}

struct CostsBeingRead {
    QStringView pattern;
    bool scriptRuns = false;
    std::vector<ItemCost>* costs = nullptr;
};

int readItemCost(pcre2_callout_enumerate_block_16* block, void* data)
{
    const auto& reading = *static_cast<CostsBeingRead*>(data);
    if (block->pattern_position >= reading.costs->size())
        return 0;
    const QStringView item
        = reading.pattern.mid(qsizetype(block->pattern_position), qsizetype(block->next_item_length));
    ItemCost& cost = (*reading.costs)[block->pattern_position];
    cost.weight = 1 + std::uint32_t(item.size() / 32);
    cost.unseenReads = unseenReadsOf(item, reading.scriptRuns);
    return 0;
}

} // namespace

struct Replacer::Engine {
    pcre2_code_16* code = nullptr;
    pcre2_match_context_16* context = nullptr;
    std::vector<ItemCost> costs; // by the place in the pattern of the item a callout announces

    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine()
    {
        pcre2_code_free_16(code);
        pcre2_match_context_free_16(context);
    }
};

// The work spent on one file name. Every item of the pattern is announced by a callout, where
// count() adds its cost and the distance the engine moved since the last callout, weighted by the
// item that moved it; a negative answer stops the engine. One Work serves one apply(): the base
// name and the extension, every start position and every match of a global replacement draw on
// the same budget, and the engine's missed callouts (optimisations that skip an attempt) only
// ever skip work.
struct Replacer::Work {
    const Engine& engine;
    pcre2_match_context_16* context;
    std::uint64_t spent = 0;
    PCRE2_SIZE position = 0; // where the last callout stood
    std::uint32_t weight = 1; // of the item it announced

    explicit Work(const Engine& e) : engine(e), context(pcre2_match_context_copy_16(e.context))
    {
        pcre2_set_callout_16(context, &Work::count, this);
    }
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;
    ~Work() { pcre2_match_context_free_16(context); }

    static int count(pcre2_callout_block_16* block, void* data)
    {
        auto& work = *static_cast<Work*>(data);
        const ItemCost item = block->pattern_position < work.engine.costs.size()
            ? work.engine.costs[block->pattern_position]
            : ItemCost{};
        const PCRE2_SIZE at = block->current_position;
        const PCRE2_SIZE moved = at > work.position ? at - work.position : work.position - at;
        const std::uint64_t unseen = std::min<std::uint64_t>(item.unseenReads, block->subject_length);
        work.spent += std::uint64_t(work.weight) * moved + std::uint64_t(item.weight) * (1 + unseen);
        work.position = at;
        work.weight = item.weight;
        return work.spent > kWorkBudget ? PCRE2_ERROR_CALLOUT : 0;
    }
};

Replacer::Replacer(const ReplaceOptions& options) : m_options(options)
{
    if (!options.regex || options.find.isEmpty())
        return;
    // Names that are not valid text (bytes kept as escapes) are searched too; their stray
    // units simply never match. \C is refused: it matches half of a surrogate pair, and a
    // replacement there would leave the other half alone in the name. A callout before every
    // item lets Work count what the name costs.
    std::uint32_t flags
        = PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF | PCRE2_NEVER_BACKSLASH_C | PCRE2_AUTO_CALLOUT;
    if (!options.caseSensitive)
        flags |= PCRE2_CASELESS;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    auto engine = std::make_unique<Engine>();
    engine->code = pcre2_compile_16(codeUnits(options.find), PCRE2_SIZE(options.find.size()), flags, &errorCode,
                                    &errorOffset, nullptr);
    if (!engine->code) {
        m_error = QStringLiteral("正则表达式在第 %1 个字符处有错：%2").arg(errorOffset + 1).arg(reasonOf(errorCode));
        return;
    }
    engine->costs.resize(std::size_t(options.find.size()) + 1);
    const bool scriptRuns = options.find.contains(u"(*sr:") || options.find.contains(u"(*asr:")
        || options.find.contains(u"script_run:");
    CostsBeingRead reading{options.find, scriptRuns, &engine->costs};
    pcre2_callout_enumerate_16(engine->code, readItemCost, &reading);
    engine->context = pcre2_match_context_create_16(nullptr);
    pcre2_set_match_limit_16(engine->context, kMatchLimit);
    pcre2_set_depth_limit_16(engine->context, kDepthLimit);
    pcre2_set_heap_limit_16(engine->context, kHeapLimitKiB);
    m_engine = std::move(engine);
    m_substitution = substitutionOf(options.replacement);
}

Replacer::~Replacer() = default;
Replacer::Replacer(Replacer&&) noexcept = default;
Replacer& Replacer::operator=(Replacer&&) noexcept = default;

Replacer::Result Replacer::apply(const QString& fileName) const
{
    if (m_options.find.isEmpty() || !isValid())
        return {fileName};
    const NameParts parts = NameParts::split(fileName);
    QString base = parts.base;
    QString extension = parts.extension;
    std::optional<Work> regexWork;
    if (m_engine)
        regexWork.emplace(*m_engine);
    Work* work = regexWork ? &*regexWork : nullptr;
    if (m_options.base && !replaceIn(base, work))
        return {fileName, true};
    if (m_options.extension && parts.hasDot && !replaceIn(extension, work))
        return {fileName, true};
    return {parts.hasDot ? base + QLatin1Char('.') + extension : base};
}

bool Replacer::replaceIn(QString& part, Work* work) const
{
    return work ? replaceRegex(part, *work) : replacePlain(part);
}

bool Replacer::replacePlain(QString& part) const
{
    const Qt::CaseSensitivity cs = m_options.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString out;
    qsizetype from = 0;
    for (qsizetype at; (at = part.indexOf(m_options.find, from, cs)) >= 0;) {
        out += QStringView(part).mid(from, at - from) + m_options.replacement;
        from = at + m_options.find.size();
        if (!m_options.all)
            break;
    }
    if (from == 0)
        return true; // nothing found
    out += QStringView(part).mid(from);
    part = out;
    return true;
}

bool Replacer::replaceRegex(QString& part, Work& work) const
{
    std::uint32_t flags = PCRE2_SUBSTITUTE_OVERFLOW_LENGTH | PCRE2_SUBSTITUTE_UNKNOWN_UNSET | PCRE2_SUBSTITUTE_UNSET_EMPTY;
    if (m_options.all)
        flags |= PCRE2_SUBSTITUTE_GLOBAL;
    std::vector<char16_t> out(std::size_t(part.size()) * 2 + 64);
    work.position = 0;
    for (;;) {
        PCRE2_SIZE length = out.size();
        const int result = pcre2_substitute_16(
            m_engine->code, codeUnits(part), PCRE2_SIZE(part.size()), 0, flags, nullptr, work.context,
            codeUnits(m_substitution), PCRE2_SIZE(m_substitution.size()),
            reinterpret_cast<PCRE2_UCHAR16*>(out.data()), &length);
        if (result == PCRE2_ERROR_NOMEMORY) {
            out.resize(length); // the length it needs; the second run draws on the budget too
            work.position = 0;
            continue;
        }
        if (result == PCRE2_ERROR_CALLOUT || result == PCRE2_ERROR_MATCHLIMIT
            || result == PCRE2_ERROR_DEPTHLIMIT || result == PCRE2_ERROR_HEAPLIMIT)
            return false;
        if (result > 0)
            part = QString::fromUtf16(out.data(), qsizetype(length));
        return true; // no match, or one the engine could not make: the part stays
    }
}

} // namespace rules
