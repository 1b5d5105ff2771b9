#pragma once
// Rules of the bit graph: trace levels of the flag bits, chart titles, bit label positions.

#include "TraceRecord.h"

#include <array>
#include <cstdint>

/// Bits per flag word.
inline constexpr int FlagBitCount = 16;

/// Chart titles of the four flag words: Japanese (0-3), then English (4-7).
extern const std::array<const char *, 2 * FlagWordCount> BitGraphTitles;

/// Title of flag word w (0-3): the English one when language is '2', the Japanese otherwise.
const char *BitGraphTitle(int w, std::int32_t language);

/// Level of bit b (0-15) of word on the chart: 4b when clear, 4b + 2 when set.
int BitLevel(std::int32_t word, int b);

/// Levels of bit b of flag word w over the 100 samples of record.
std::array<int, SampleCount> BitTrace(const TTraceRecord &record, int w, int b);

/// Top of the label of bit b (0-15) in a label panel panelHeight pixels high:
/// s = (panelHeight - 60) / 16 truncated, plus 1; top = (16 - b) * s + 18.
int BitLabelTop(int panelHeight, int b);

/// Where the bit graph's plot area lies and where its bit labels stand, in pixels from the top of
/// the label panel (the chart starts at the same height).
struct BitPlotPlace {
    double Top = 0;                           ///< y of the top of the fixed range (level 64)
    double Height = 0;                        ///< pixels from level 64 down to level -2
    std::array<int, FlagBitCount> LabelTop{}; ///< top of the label of bit b
    bool LabelsFollowLanes = false;           ///< labels left BitLabelTop's tops
};

/// Centre of the lane of bit b (0-15), level 4b + 1, between its clear and set levels.
double BitLaneCentre(const BitPlotPlace &plot, int b);

/// Height of one bit's lane: four levels, from halfway to the trace below to halfway to the
/// trace above.
double BitLaneHeight(const BitPlotPlace &plot);

/// Places the plot area inside roomTop..roomBottom (below the title, above the sample numbers;
/// only the empty band above the top trace may reach into the title)
/// so that the vertical centre of every bit label (labelHeight pixels high, at BitLabelTop)
/// lies within its own bit's lane. Where the room cannot hold lanes beside the label tops that
/// BitLabelTop gives, the plot takes the whole room and the labels stand at the centres of their
/// lanes. A panel below 45 pixels puts every label at one place; the plot then takes the whole
/// room.
BitPlotPlace PlaceBitPlot(int panelHeight, int labelHeight, double roomTop, double roomBottom);
