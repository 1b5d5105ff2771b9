#include "FlagEvents.h"

#include "FlagTexts.h"

#include <array>
#include <cstdlib>

namespace {

// The bit a line explains: "BIT<n>" then a space or ':' ("BIT0 :", "BIT10:").
std::optional<int> LineBit(const std::string &line) {
    if (line.rfind("BIT", 0) != 0)
        return std::nullopt;
    std::size_t i = 3;
    int bit = 0;
    bool digits = false;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9' && bit < 100) {
        bit = bit * 10 + (line[i] - '0');
        digits = true;
        ++i;
    }
    if (!digits || bit > 15 || i >= line.size() || (line[i] != ' ' && line[i] != ':'))
        return std::nullopt;
    return bit;
}

std::string WithoutTrailingSpaces(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

using Meanings = std::array<std::array<std::string, 16>, FlagWordCount>;

Meanings MakeMeanings(bool japanese, std::int32_t driveTypeE) {
    Meanings meanings;
    for (int w = 0; w < FlagWordCount; ++w)
        for (int b = 0; b < 16; ++b)
            meanings[w][b] = FlagBitMeaning(w, b, japanese, driveTypeE);
    return meanings;
}

// Looked up once per language and drive type: a summary over many files asks for them again
// and again, and the text never changes.
const Meanings &MeaningsFor(bool japanese, bool typeE) {
    static const Meanings table[2][2] = {{MakeMeanings(false, 0), MakeMeanings(false, 1)},
                                         {MakeMeanings(true, 0), MakeMeanings(true, 1)}};
    return table[japanese ? 1 : 0][typeE ? 1 : 0];
}

} // namespace

const char *FlagEventKindText(FlagEventKind kind) {
    switch (kind) {
    case FlagEventKind::Set:
        return "set";
    case FlagEventKind::Rise:
        return "rise";
    case FlagEventKind::Fall:
        return "fall";
    }
    return "";
}

std::string FlagBitMeaning(int word, int bit, bool japanese, std::int32_t driveTypeE) {
    if (word < 0 || word >= FlagWordCount || bit < 0 || bit > 15)
        return {};
    // The text is four blocks, one per word, each a heading then its BIT lines, separated by
    // empty lines.
    int block = 0;
    bool inBlock = false;
    for (const std::string &line : FlagExplanationLines(japanese, driveTypeE)) {
        if (line.empty()) {
            if (inBlock)
                ++block;
            inBlock = false;
            continue;
        }
        inBlock = true;
        if (block == word && LineBit(line) == bit)
            return WithoutTrailingSpaces(line);
    }
    return {};
}

std::vector<FlagEvent> FlagEvents(const TTraceRecord &record, bool japanese,
                                  std::int32_t driveTypeE) {
    const Meanings &meanings = MeaningsFor(japanese, driveTypeE == 1);
    std::vector<FlagEvent> events;
    for (int s = 0; s < SampleCount; ++s)
        for (int w = 0; w < FlagWordCount; ++w) {
            const int now = record.Flag[s][w] & 0xFFFF;
            const int before = s > 0 ? record.Flag[s - 1][w] & 0xFFFF : 0;
            const int changed = now ^ before;
            for (int b = 0; b < 16; ++b) {
                if (!(changed & (1 << b)))
                    continue;
                const bool on = now & (1 << b);
                const FlagEventKind kind =
                    s == 0 ? FlagEventKind::Set : (on ? FlagEventKind::Rise : FlagEventKind::Fall);
                events.push_back({s, w, b, kind, meanings[w][b]});
            }
        }
    return events;
}

std::optional<std::size_t> FirstFault(const std::vector<FlagEvent> &events) {
    for (std::size_t i = 0; i < events.size(); ++i)
        if (events[i].Word <= 1 && events[i].Kind != FlagEventKind::Fall)
            return i;
    return std::nullopt;
}
