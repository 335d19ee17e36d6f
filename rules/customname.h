#pragma once

#include <QString>

#include <optional>

namespace rules {

// Where the custom text and its number go, in the order of the position options.
enum class CustomPlace {
    ReplaceBase = 0,     // "替换前缀"
    ReplaceExtension,    // "替换后缀"
    BeforeBase,          // "在前缀的前面"
    AfterBase,           // "在前缀的后面"
    BeforeExtension,     // "在后缀的前面"
    AfterExtension,      // "在后缀的后面"
};

// The new name of fileName with text followed directly by number written in at place. The
// caller trims the text and advances the running number.
QString MakeCustomName(const QString& fileName, const QString& text, int number, CustomPlace place);

// The running number is a 16-bit signed integer.
inline constexpr int kMinNumber = -32768;
inline constexpr int kMaxNumber = 32767;

// The step typed into the step box: an optional sign and decimal digits, spaces around them
// allowed, within the running number's range. Nothing while the text is anything else, such as
// empty or a lone "-" while the user is typing.
std::optional<int> parseStep(const QString& text);

// Whether numbering count files with step stays within the running number's range.
bool numbersFit(long long count, int step);

} // namespace rules
