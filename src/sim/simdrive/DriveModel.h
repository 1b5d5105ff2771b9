#pragma once
// A drive's side of the read protocol: its memory (identification, status, the new and old
// trace with their headers) and its answers, with faults that can be put into any exchange.
// The drive simulator serves it on a serial line; tests talk to it in memory.

#include "Protocol.h"
#include "TraceRecord.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Most code characters a simulated refusal carries.
inline constexpr std::size_t MaxRefusalCode = 8;

/// Ways an exchange can be spoiled.
enum class DriveFault {
    None,
    TimeOut,  ///< no answer at all
    NoLf,     ///< a complete reply without its final LF
    BadSum,   ///< wrong sum check
    LowerSum, ///< sum check digits in lowercase
    Nak,      ///< refusal carrying the given code characters
    Garbage,  ///< a reply starting with neither STX nor NAK
    Split,    ///< the correct reply in several pieces, with pauses between them
    Short,    ///< fewer data bytes than asked for, with a correct sum check
    Flood,    ///< an endless stream without LF
};

/// One spoiled exchange: exchange number 1..17 within a read.
struct TDriveFault {
    int exchange = 0;
    DriveFault kind = DriveFault::None;
    std::string code = "00"; ///< code characters of a refusal, as the drive sends them
};

/// Parses "K:KIND" (kinds timeout, nolf, badsum, lowersum, nak:CODE, garbage, split, short,
/// flood; CODE is 1 to MaxRefusalCode printable characters, sent as they stand, so "nak:68"
/// is a refusal the reader knows and "nak:100" one it cannot read as two digits); false for
/// anything else.
bool ParseDriveFault(std::string_view text, TDriveFault *fault);

/// The answer to one request: pieces to send in order (several only for Split); no pieces
/// means silence.
struct TDriveAnswer {
    std::vector<std::string> pieces;
};

/// Encodes values (raw, rounded and clamped to 16 bits) and flag words as a trace image.
TTraceImage EncodeTraceImage(const float (&value)[SampleCount][ChannelCount],
                             const std::int32_t (&flag)[SampleCount][FlagWordCount]);

/// The drive's trace memory and its protocol answers.
class TDriveModel {
public:
    /// A type E drive with status 2 and a demo trip in both traces.
    TDriveModel();

    std::uint8_t romId = 'E'; ///< identification byte
    std::uint8_t status = 2;  ///< trace status byte
    TTraceImage newImage{};   ///< the newest trace
    TTraceImage oldImage{};   ///< the trace before it
    std::array<std::uint8_t, HeaderCount> newHeader{};
    std::array<std::uint8_t, HeaderCount> oldHeader{};

    /// Adds a fault (a later fault for the same exchange replaces an earlier one).
    void AddFault(const TDriveFault &fault);

    /// One byte of the drive's memory; 0 where nothing is mapped.
    std::uint8_t MemoryAt(std::uint32_t address) const;

    /// Answers one received line (a request ending with LF). A request for the identification
    /// starts a new read, so the exchange count begins at 1 again.
    TDriveAnswer Answer(const std::uint8_t *line, std::size_t n);

    /// Number of the last exchange answered within the current read.
    int Exchange() const { return exchange_; }

private:
    std::vector<TDriveFault> faults_;
    int exchange_ = 0;
};

/// Fills the demo trips: an over-current trip in the new trace and a DC over-voltage trip
/// in the old one, with plausible currents, voltages, speed, flag bits and time stamps.
void FillDemoTraces(TDriveModel &drive);
