#pragma once
// Which flag bit changed when: every set, rise and fall of the 64 bits of the four flag words,
// with the bit's meaning, and the first fault among them.

#include "TraceRecord.h"

#include <optional>
#include <string>
#include <vector>

/// How a bit changed at its sample.
enum class FlagEventKind {
    Set,  ///< already set at sample 0
    Rise, ///< 0 at s-1, 1 at s
    Fall, ///< 1 at s-1, 0 at s
};

/// One change of one bit.
struct FlagEvent {
    int Sample = 0; ///< 0..99
    int Word = 0;   ///< flag word 0..3 (0 and 1 are the fault flags)
    int Bit = 0;    ///< 0..15
    FlagEventKind Kind = FlagEventKind::Set;
    std::string Meaning; ///< the explanation line of the bit, no trailing spaces; "" when none

    bool operator==(const FlagEvent &) const = default;
};

/// "set", "rise" or "fall".
const char *FlagEventKindText(FlagEventKind kind);

/// The explanation line of bit (0..15) of word (0..3) in the flag explanation text of the given
/// language and drive type, without trailing spaces; "" where the text has no line for it.
std::string FlagBitMeaning(int word, int bit, bool japanese, std::int32_t driveTypeE);

/// Every event of the record, ordered by sample, then word, then bit. Only the low 16 bits of
/// each flag word count.
std::vector<FlagEvent> FlagEvents(const TTraceRecord &record, bool japanese,
                                  std::int32_t driveTypeE);

/// Index in events of the first set or rise on word 0 or 1, if any.
std::optional<std::size_t> FirstFault(const std::vector<FlagEvent> &events);
