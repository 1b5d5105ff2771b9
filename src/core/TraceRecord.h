#pragma once
// The one fault-trace record, its factors and a trace together with its units.

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
    float Value[SampleCount][ChannelCount];        ///< raw drive units unless normalised
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

/// Language values: '1' (0x31) for Japanese texts, '2' (0x32) for English texts.
inline constexpr std::int32_t LanguageJapanese = '1';
inline constexpr std::int32_t LanguageEnglish = '2';

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
