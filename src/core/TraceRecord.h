#pragma once
// The one fault-trace record and the application-wide values every window consults.

#include <array>
#include <cstdint>
#include <string>

/// Samples in a record; sample index 0..99.
inline constexpr int SampleCount = 100;
/// Channels per sample; numbered 1..12 on screen, indexed 0..11 in the record.
inline constexpr int ChannelCount = 12;
/// Flag words per sample (16 bits each).
inline constexpr int FlagWordCount = 4;
/// Header values: trigger position and two five-field time stamps.
inline constexpr int HeaderCount = 11;

/// The drive's fault trace as held in memory.
struct TTraceRecord {
    std::int32_t SampleNo[SampleCount];            ///< number shown per sample
    float Value[SampleCount][ChannelCount];        ///< raw drive units unless IsNormalized
    std::int32_t Flag[SampleCount][FlagWordCount]; ///< flag words, 0..0xFFFF from the drive
    std::int32_t Header[HeaderCount];              ///< trigger position, two time stamps
    float Scale[ChannelCount];                     ///< raw value -> engineering units

    bool operator==(const TTraceRecord &other) const;
};

/// A trace together with what its numbers mean: the drive type that picks the factors of
/// channels 10-12 (and their names) and whether the values are engineering units already.
/// Record.Scale holds the factors the values are multiplied by; whoever fills the record sets
/// them for its drive type (ApplyTypeScales).
struct TraceUnits {
    TTraceRecord Record;
    std::int32_t DriveTypeE = 0;
    bool Normalized = false; ///< values are engineering units already (a .vnb file)
};

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

/// Language values.
inline constexpr std::int32_t LanguageJapanese = '1';
inline constexpr std::int32_t LanguageEnglish = '2';
/// True when windows created now show Japanese texts.
inline bool IsJapanese() {
    return Language == LanguageJapanese;
}

/// Puts the record into its start state (samples 0..99, zero values, trigger 100, the factors
/// of the given drive type).
void ResetRecord(TTraceRecord &record, std::int32_t driveTypeE = 0);
/// Sets the factors of channels 10-12 for a drive type.
void ApplyTypeScales(TTraceRecord &record, std::int32_t driveTypeE);
/// Value of sample i, channel c (0-based) in engineering units by the trace's own units: as
/// stored when Normalized, else times the record's factor (single-precision product).
float NormalizedValue(const TraceUnits &trace, int i, int c);

/// Factor of channel c (0-based) for a drive type, as the exact float the drive documentation
/// gives; independent of any record.
float ChannelFactor(int c, int driveTypeE);

/// Puts every application-wide value back to its start value (Language is left alone).
void ResetGlobals();
