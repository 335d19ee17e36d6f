#pragma once

#include <QColor>
#include <QPalette>

#include <initializer_list>

namespace ui {

// Contrast of text against its background as WCAG 2 reckons it.

// Below this ratio normal-sized text is hard to read.
inline constexpr double kReadableContrast = 4.5;

// Relative luminance: 0 for black, 1 for white.
[[nodiscard]] double relativeLuminance(const QColor& colour);
// (lighter + 0.05) / (darker + 0.05): from 1 for equal luminance to 21 for black on white.
[[nodiscard]] double contrastRatio(const QColor& a, const QColor& b);

// The deep red examples and problems are written in, #C00000, where it reads on every one of
// backgrounds; otherwise the same red darkened (light backgrounds) or paled (dark ones) just
// enough that it does.
[[nodiscard]] QColor readableRed(std::initializer_list<QColor> backgrounds);
[[nodiscard]] QColor readableRed(const QColor& background);
// colour where it reads on background, else fallback.
[[nodiscard]] QColor readableOr(const QColor& colour, const QColor& background, const QColor& fallback);
// A red for text on palette's window and on the face of a tab page drawn from it.
[[nodiscard]] QColor readableRedOnWindow(const QPalette& palette);
// A red for text in a list drawn with palette, its alternate rows included.
[[nodiscard]] QColor readableRedOnBase(const QPalette& palette);

// The dark palette a Fusion user sets up (grey windows, darker lists, light text), for checking
// the window's colours against.
[[nodiscard]] QPalette darkFusionPalette();

} // namespace ui
