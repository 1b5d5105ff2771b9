#pragma once
// Which channels the graph window shows, and in which stacked chart.

#include "TraceRecord.h"

/// Most channels shown at once.
inline constexpr int MaxShownChannels = 5;

/// Charts computed from the phase currents, chosen like channels 1..12 and counted with them.
inline constexpr int CurrentVectorChoice = ChannelCount + 1; ///< |I| in %
inline constexpr int PhaseSumChoice = ChannelCount + 2;      ///< Iu+Iv+Iw in %
/// Every choice the graph window offers: channels 1..12 and the two computed charts.
inline constexpr int ChoiceCount = PhaseSumChoice;

/// The graph window's channel choice: the first channel chosen is at position 1 (bottom),
/// later ones above it; removing one closes the gap.
struct ChannelChoice {
    int ClickedChannel = 0;                        ///< choice 1..14 of the box clicked last
    int SelectedCount = 0;                         ///< channels shown, 0..5
    int ChartOfChannel[ChoiceCount + 1] = {};      ///< per choice 1..14: position 1..5 or 0
    int ChannelOfChart[MaxShownChannels + 1] = {}; ///< per position 1..5: choice or 0

    /// Shows channel ch at the next free position. Returns true when this made five, so the
    /// other channels must be disabled. A channel already shown, or a sixth, is ignored.
    bool Select(int ch);
    /// Removes channel ch and closes up the positions above it. Returns true when five were
    /// shown before, so every channel must be enabled again. A channel not shown is ignored.
    bool Deselect(int ch);
};
