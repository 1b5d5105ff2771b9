#include "BitGraph.h"

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
