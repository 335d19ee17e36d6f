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

// The new name of fileName with text followed directly by number written in at place. With a
// width above 0 the number has at least that many digits, zeros in front (a minus sign before
// them). The caller trims the text and advances the running number.
QString MakeCustomName(const QString& fileName, const QString& text, int number, CustomPlace place, int width = 0);

// The running number is a 32-bit signed integer, so a folder of many thousand files can be
// numbered in one run; the step keeps a 16-bit range.
inline constexpr int kMinNumber = -2147483647 - 1;
inline constexpr int kMaxNumber = 2147483647;
inline constexpr int kMinStep = -32768;
inline constexpr int kMaxStep = 32767;
// The widths the number can be padded to.
inline constexpr int kMaxWidth = 9;

// The step typed into the step box: an optional sign and decimal digits, spaces around them
// allowed, within the step's range. Nothing while the text is anything else, such as empty or a
// lone "-" while the user is typing.
std::optional<int> parseStep(const QString& text);

// A first number typed into the start box: as parseStep(), within the running number's range.
std::optional<int> parseStart(const QString& text);

// Whether numbering count files with step stays within the running number's range.
bool numbersFit(long long count, int step);
// The same from a first number: start, start + step, ..., start + (count - 1) × step.
bool numbersFit(long long count, int step, int start);

// The number of the ordinal-th file of a run (from 1): ordinal × step without a start, else
// start + (ordinal - 1) × step.
long long numberFor(long long ordinal, int step, std::optional<int> start);

// A number in decimal, with at least width digits (zeros in front, a minus sign before them).
QString numberText(long long number, int width);

} // namespace rules
