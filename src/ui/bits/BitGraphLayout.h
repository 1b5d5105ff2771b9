#pragma once
// Places of the bit graph window's controls that its window and its layout code share.

#include "BitGraph.h"

namespace BitGraphLayout {

/// Radio buttons in the bottom panel: left, width; a caption wider than that pushes the next
/// one this far to the right.
inline constexpr int RadioLeft[FlagWordCount] = {56, 176, 296, 408};
inline constexpr int RadioWidth[FlagWordCount] = {121, 121, 113, 121};
inline constexpr int RadioGap = 6;
inline constexpr int RadioTop = 8;
/// From one row of radio buttons to the next, when they wrap.
inline constexpr int RowStep = 18;
/// The bottom panel with one row of radio buttons.
inline constexpr int Form7Height = 28;
/// The bit labels' left edge in their panel.
inline constexpr int LabelLeft = 5;

} // namespace BitGraphLayout
