#include "ChannelNames.h"

#include "TraceRecord.h"

const std::array<std::string_view, 30> ChannelNameTable = {
    "Ｕ相電流(%)",     "Ｖ相電流(%)",     "Ｗ相電流(%)",
    "直流電圧(V)",     "出力電圧(V)",     "モータ速度(%)",
    "速度指令(%)",     "トルク指令(%)",   "出力周波数(%)",
    "滑り周波数(%)",   "磁束指令(%)",     "モータ温度(℃)",
    "ｄ軸電流指令(%)", "ｑ軸電流指令(%)", "制御位相(degree)",
    "Curr.-U(%)",      "Curr.-V(%)",      "Curr.-W(%)",
    "DC-Volt.(V)",     "Output-Volt.(V)", "Motor-Speed(%)",
    "Speed-Ref.(%)",   "Torque-Ref.(%)",  "Output-Freq.(%)",
    "Slip-Freq.(%)",   "Flux-Ref.(%)",    "Motor-Temp(degree)",
    "Id-ref.(%)",      "Iq-ref.(%)",      "Control phase(degree)",
};

const std::array<std::string_view, 12> UserChannelTitles = {
    "Ch1(%)", "Ch2(%)", "Ch3(%)", "Ch4(%)",  "Ch5(%)",  "Ch6(%)",
    "Ch7(%)", "Ch8(%)", "Ch9(%)", "Ch10(%)", "Ch11(%)", "Ch12(%)",
};

int ChannelNameIndex(int ch, int language, int driveTypeE) {
    const int english = language == LanguageJapanese ? 0 : 1;
    const int typeShift = (ch >= 10) ? 3 * driveTypeE : 0;
    return 15 * english + (ch - 1) + typeShift;
}

std::string DefaultChannelName(int ch, int language, int driveTypeE) {
    const int index = ChannelNameIndex(ch, language, driveTypeE);
    return std::string(ChannelNameTable.at(static_cast<std::size_t>(index)));
}

std::string EnglishChannelName(int ch, int driveTypeE) {
    return DefaultChannelName(ch, LanguageEnglish, driveTypeE == 1 ? 1 : 0);
}
