#pragma once

// What the rule values' descriptions and their JSON share: the words for each option.

#include <array>

namespace rules::detail {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

inline constexpr const char* kPresetFormat = "quendra-rename-preset";

// The JSON words for the options, in the order of the enums.
inline constexpr std::array<const char*, 3> kCaseWords{"upper", "lower", "title"};
inline constexpr std::array<const char*, 2> kSpaceWords{"delete", "underscore"};
inline constexpr std::array<const char*, 6> kPlaceWords{"replace-base",     "replace-extension", "before-base",
                                                 "after-base",       "before-extension",  "after-extension"};
inline constexpr std::array<const char*, 3> kOrderWords{"list", "modified", "taken"};
inline constexpr std::array<const char*, 3> kToneWords{"none", "number", "mark"};
inline constexpr std::array<const char*, 4> kSeparatorWords{"none", "space", "_", "-"};
// The window's captions for the same.
inline constexpr std::array<const char16_t*, 3> kCaseCaptions{u"大写", u"小写", u"首字母大写"};
inline constexpr std::array<const char16_t*, 3> kOrderCaptions{u"列表顺序", u"修改时间", u"拍摄时间"};
inline constexpr std::array<const char16_t*, 3> kToneCaptions{u"不标声调", u"数字标声调", u"符号标声调"};
inline constexpr std::array<const char16_t*, 4> kSeparatorCaptions{u"不分隔", u"空格分隔", u"“_”分隔", u"“-”分隔"};
inline constexpr std::array<const char16_t*, 6> kPlaceCaptions{u"替换前缀",     u"替换后缀",     u"在前缀的前面",
                                                        u"在前缀的后面", u"在后缀的前面", u"在后缀的后面"};

} // namespace rules::detail
