#include "BitGraph.h"

#include <algorithm>
#include <cmath>

const std::array<const char *, 2 *FlagWordCount> BitGraphTitles = {
    "  故障フラグ（1）", "  故障フラグ（2）", "  INV状態フラグ",    "  INV指令フラグ",
    "  Fault Flag(1)",   "  Fault Flag(2)",   "  INV. status Flag", "  INV. command Flag ",
};

const char *BitGraphTitle(int w, std::int32_t language) {
    if (w < 0 || w >= FlagWordCount)
        return "";
    return BitGraphTitles[static_cast<std::size_t>(w + (language == LanguageEnglish ? 4 : 0))];
}

int BitLevel(std::int32_t word, int b) {
    const int bit = (static_cast<std::uint32_t>(word) >> b) & 1U;
    return 4 * b + 2 * bit;
}

std::array<int, SampleCount> BitTrace(const TTraceRecord &record, int w, int b) {
    std::array<int, SampleCount> levels{};
    for (int n = 0; n < SampleCount; ++n)
        levels[static_cast<std::size_t>(n)] = BitLevel(record.Flag[n][w], b);
    return levels;
}

int BitLabelTop(int panelHeight, int b) {
    // Integer division truncates toward zero, so panels below 60 pixels still give s = 1 down
    // to 45 and s = 0 at 44.
    const int s = (panelHeight - 60) / 16 + 1;
    return (16 - b) * s + 18;
}

namespace {

constexpr double LevelTop = 64.0; // fixed range of the left axis
constexpr double LevelBottom = -2.0;
constexpr double LevelSpan = LevelTop - LevelBottom;
constexpr double LevelsPerLane = 4.0;
// Rounding of label tops and the ink of a glyph against its box: keep this far inside a lane.
constexpr double LaneTolerance = 1.0;
// The title's box includes the spacing below its text; the top trace may reach into that.
constexpr double TitleTouch = 2.0;

bool LabelsInLanes(const BitPlotPlace &plot, int panelHeight, int labelHeight) {
    const double limit = BitLaneHeight(plot) / 2 - LaneTolerance;
    for (int b = 0; b < FlagBitCount; ++b) {
        const double centre = BitLabelTop(panelHeight, b) + labelHeight / 2.0;
        if (std::abs(centre - BitLaneCentre(plot, b)) > limit)
            return false;
    }
    return true;
}

} // namespace

double BitLaneCentre(const BitPlotPlace &plot, int b) {
    return plot.Top + (LevelTop - (LevelsPerLane * b + 1)) / LevelSpan * plot.Height;
}

double BitLaneHeight(const BitPlotPlace &plot) {
    return LevelsPerLane / LevelSpan * plot.Height;
}

BitPlotPlace PlaceBitPlot(int panelHeight, int labelHeight, double roomTop, double roomBottom) {
    const int s = (panelHeight - 60) / 16 + 1;
    const double room = std::max(roomBottom - roomTop, 1.0);
    BitPlotPlace whole;
    whole.Top = roomTop;
    whole.Height = room;
    for (int b = 0; b < FlagBitCount; ++b)
        whole.LabelTop[static_cast<std::size_t>(b)] = BitLabelTop(panelHeight, b);
    if (s <= 0)
        return whole;
    // Lanes exactly one label step apart, each centred on its label.
    const double labelCentre15 = BitLabelTop(panelHeight, 15) + labelHeight / 2.0;
    const double laneOffset15 = (LevelTop - (LevelsPerLane * 15 + 1)) / LevelsPerLane * s;
    BitPlotPlace exact = whole;
    exact.Top = labelCentre15 - laneOffset15;
    exact.Height = LevelSpan / LevelsPerLane * s;
    // The title may run into the empty band above the top trace, not into the trace.
    const double topTrace =
        exact.Top + (LevelTop - (LevelsPerLane * 15 + 2)) / LevelSpan * exact.Height;
    if (exact.Top >= 0 && topTrace >= roomTop - TitleTouch &&
        exact.Top + exact.Height <= roomBottom)
        return exact;
    // Squeezed into the room, centred on the middle of the labels; the lanes then run a little
    // closer than the labels, which holds as long as each label stays inside its lane.
    BitPlotPlace fitted = whole;
    fitted.Height = std::min(exact.Height, room);
    const double middle =
        (BitLabelTop(panelHeight, 0) + BitLabelTop(panelHeight, 15)) / 2.0 + labelHeight / 2.0;
    const double middleOffset = (LevelTop - (LevelsPerLane * 7.5 + 1)) / LevelSpan;
    fitted.Top =
        std::clamp(middle - middleOffset * fitted.Height, roomTop, roomBottom - fitted.Height);
    if (LabelsInLanes(fitted, panelHeight, labelHeight))
        return fitted;
    // The labels near the sample numbers would stand beside the wrong lanes: they follow the
    // lanes instead.
    whole.LabelsFollowLanes = true;
    for (int b = 0; b < FlagBitCount; ++b)
        whole.LabelTop[static_cast<std::size_t>(b)] =
            static_cast<int>(std::lround(BitLaneCentre(whole, b) - labelHeight / 2.0));
    return whole;
}
