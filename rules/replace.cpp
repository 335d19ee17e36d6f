#include "rules/replace.h"

#include "rules/nameparts.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <vector>

namespace rules {

namespace {

// The work one name may cost the engine: far beyond any sensible pattern on a file name, far
// below what freezes the window. Without a bound a pattern such as (a+)+$ takes years on a name
// of thirty a's and a b.
constexpr std::uint32_t kMatchLimit = 2'000'000;
constexpr std::uint32_t kDepthLimit = 50'000;
constexpr PCRE2_SIZE kHeapLimitKiB = 20'000;

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
    default: break;
    }
    PCRE2_UCHAR16 words[256];
    const int length = pcre2_get_error_message_16(errorCode, words, 256);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(words), length > 0 ? length : 0);
}

} // namespace

struct Replacer::Engine {
    pcre2_code_16* code = nullptr;
    pcre2_match_context_16* context = nullptr;

    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine()
    {
        pcre2_code_free_16(code);
        pcre2_match_context_free_16(context);
    }
};

Replacer::Replacer(const ReplaceOptions& options) : m_options(options)
{
    if (!options.regex || options.find.isEmpty())
        return;
    // Names that are not valid text (bytes kept as escapes) are searched too; their stray
    // units simply never match. \C is refused: it matches half of a surrogate pair, and a
    // replacement there would leave the other half alone in the name.
    std::uint32_t flags = PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF | PCRE2_NEVER_BACKSLASH_C;
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
    if (m_options.base && !replaceIn(base))
        return {fileName, true};
    if (m_options.extension && parts.hasDot && !replaceIn(extension))
        return {fileName, true};
    return {parts.hasDot ? base + QLatin1Char('.') + extension : base};
}

bool Replacer::replaceIn(QString& part) const
{
    return m_options.regex ? replaceRegex(part) : replacePlain(part);
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

bool Replacer::replaceRegex(QString& part) const
{
    std::uint32_t flags = PCRE2_SUBSTITUTE_OVERFLOW_LENGTH | PCRE2_SUBSTITUTE_UNKNOWN_UNSET | PCRE2_SUBSTITUTE_UNSET_EMPTY;
    if (m_options.all)
        flags |= PCRE2_SUBSTITUTE_GLOBAL;
    std::vector<char16_t> out(std::size_t(part.size()) * 2 + 64);
    for (;;) {
        PCRE2_SIZE length = out.size();
        const int result = pcre2_substitute_16(
            m_engine->code, codeUnits(part), PCRE2_SIZE(part.size()), 0, flags, nullptr, m_engine->context,
            codeUnits(m_substitution), PCRE2_SIZE(m_substitution.size()),
            reinterpret_cast<PCRE2_UCHAR16*>(out.data()), &length);
        if (result == PCRE2_ERROR_NOMEMORY) {
            out.resize(length); // the length it needs
            continue;
        }
        if (result == PCRE2_ERROR_MATCHLIMIT || result == PCRE2_ERROR_DEPTHLIMIT || result == PCRE2_ERROR_HEAPLIMIT)
            return false;
        if (result > 0)
            part = QString::fromUtf16(out.data(), qsizetype(length));
        return true; // no match, or one the engine could not make: the part stays
    }
}

} // namespace rules
