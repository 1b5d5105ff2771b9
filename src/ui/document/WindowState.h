#pragma once
// The state the windows share: the language they are created in, the units of the trace the
// main frame shows and the channels the user has named.

#include "ChartScaling.h"
#include "TraceRecord.h"

#include <cstdint>
#include <string>

/// '1' (0x31) for Japanese texts, '2' (0x32) for English texts.
extern std::int32_t Language;
/// 1 when the drive identified itself as type E; selects channels 10-12.
extern std::int32_t DriveTypeE;
/// 1 when the record holds engineering units (loaded from a .vnb file).
extern std::uint8_t IsNormalized;
/// Per channel 1..12 (index 0 unused): non-zero shows the user's own name.
extern std::int32_t OwnNameFlag[ChannelCount + 1];
/// Per channel 1..12 (index 0 unused): the user's own channel names, UTF-8.
extern std::string OwnName[ChannelCount + 1];

/// True when windows created now show Japanese texts.
inline bool IsJapanese() {
    return Language == LanguageJapanese;
}

/// Puts every value above back to its start value (Language is left alone).
void ResetGlobals();

/// The naming Language and OwnNameFlag hold at this moment, for the windows to pass to the
/// chart, table and report rules.
ChartNaming ProgramChartNaming();
