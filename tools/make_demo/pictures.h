#pragma once
// The demo project's pictures, drawn here: each shows a symbol and its number, so that
// every cell of the tool's page can be told apart on a screenshot. Nothing is drawn
// with fonts, which keeps the pictures identical on every machine and lets the
// generator run without a display or a font.
#include <QImage>

namespace velnor::demo {

inline constexpr int kInfoButtonWidth = 68;
inline constexpr int kInfoButtonHeight = 44;
inline constexpr int kWarningSize = 64;

// Info button n (1..999): a coloured button face with a white symbol and the number.
QImage DrawInfoButton(int number);

// Warning n; machine 0 draws a standard warning (a sign whose shape and colour change
// every ten numbers), machine m >= 1 a warning of the line's machine m (a plate in that
// machine's colour).
QImage DrawWarning(int number, int machine);

}  // namespace velnor::demo
