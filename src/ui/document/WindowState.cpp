#include "WindowState.h"

std::int32_t Language = LanguageEnglish;
std::int32_t DriveTypeE = 0;
std::uint8_t IsNormalized = 0;
std::int32_t OwnNameFlag[ChannelCount + 1] = {};
std::string OwnName[ChannelCount + 1];

void ResetGlobals() {
    DriveTypeE = 0;
    IsNormalized = 0;
    for (int ch = 1; ch <= ChannelCount; ++ch) {
        OwnNameFlag[ch] = 0;
        OwnName[ch] = "ch" + std::to_string(ch);
    }
}

ChartNaming ProgramChartNaming() {
    ChartNaming naming;
    naming.Language = Language;
    for (int ch = 1; ch <= ChannelCount; ++ch)
        naming.OwnName[static_cast<std::size_t>(ch)] = OwnNameFlag[ch] != 0;
    return naming;
}
