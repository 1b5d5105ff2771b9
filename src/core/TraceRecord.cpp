#include "TraceRecord.h"

#include <bit>
#include <cstring>

namespace {

// Factors are given by their float bit patterns so that they are exact on every compiler.
constexpr std::uint32_t Bits002 = 0x3CA3D70A;  // 0.02
constexpr std::uint32_t Bits01 = 0x3DCCCCCD;   // 0.1
constexpr std::uint32_t Bits0005 = 0x3BA3D70A; // 0.005
constexpr std::uint32_t Bits1_60 = 0x3C888889; // 1/60
constexpr std::uint32_t Bits360 = 0x3BB40000;  // 360/65536
constexpr std::uint32_t Bits1024 = 0x3DC80000; // 100/1024

constexpr std::array<std::uint32_t, 9> CommonBits = {Bits002,  Bits002,  Bits002, Bits01,  Bits01,
                                                     Bits0005, Bits0005, Bits002, Bits0005};
constexpr std::array<std::uint32_t, 3> TypeEBits = {Bits1_60, Bits1_60, Bits360};
constexpr std::array<std::uint32_t, 3> StandardBits = {Bits0005, Bits1024, Bits01};

} // namespace

float ChannelFactor(int c, int driveTypeE) {
    if (c < 0 || c >= ChannelCount)
        return 0.0f;
    if (c < 9)
        return std::bit_cast<float>(CommonBits[static_cast<std::size_t>(c)]);
    const auto &bits = driveTypeE == 1 ? TypeEBits : StandardBits;
    return std::bit_cast<float>(bits[static_cast<std::size_t>(c - 9)]);
}

void ApplyTypeScales(TTraceRecord &record, std::int32_t driveTypeE) {
    for (int c = 9; c < ChannelCount; ++c)
        record.Scale[c] = ChannelFactor(c, driveTypeE);
}

void ResetRecord(TTraceRecord &record, std::int32_t driveTypeE) {
    for (int i = 0; i < SampleCount; ++i) {
        record.SampleNo[i] = i;
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[i][c] = 0.0f;
        for (int w = 0; w < FlagWordCount; ++w)
            record.Flag[i][w] = 0;
    }
    record.Header[0] = 100;
    for (int j = 1; j < HeaderCount; ++j)
        record.Header[j] = 0;
    for (int c = 0; c < 9; ++c)
        record.Scale[c] = ChannelFactor(c, 0);
    ApplyTypeScales(record, driveTypeE);
}

float NormalizedValue(const TraceUnits &trace, int i, int c) {
    if (trace.Normalized)
        return trace.Record.Value[i][c];
    return trace.Record.Value[i][c] * trace.Record.Scale[c];
}

bool TTraceRecord::operator==(const TTraceRecord &other) const {
    // Bitwise: two records are the same when every field holds the same bits.
    return std::memcmp(this, &other, sizeof(TTraceRecord)) == 0;
}
