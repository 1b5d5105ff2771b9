#pragma once
// The read of one fault trace from the drive as a state machine: it is fed start, received
// bytes, clock ticks and port errors, and answers with what to send and which lines to show.
// It does no I/O, so a serial port, a pseudo-terminal or an in-memory drive can drive it.

#include "Protocol.h"
#include "TraceRecord.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Seconds after t0 that an exchange may wait: it fails once the whole-second clock is past
/// t0 + ExchangeTimeOutSeconds, i.e. 10 to 11 s after the request.
inline constexpr std::int64_t ExchangeTimeOutSeconds = 10;
/// Whole seconds the settle wait lasts at least up to (1 to 2 s).
inline constexpr std::int64_t SettleSeconds = 2;

/// Fixed texts of a read, in both languages.
enum class ReadText {
    Communicating,   ///< first line of every read
    NormallyEnd,     ///< last line of a read without failure
    FlashRomWarning, ///< ROM identification neither 'E' nor 'V'
    NoNewData,       ///< trace status says no new trace
    NoOldData,       ///< trace status says no old trace
    CreateFileError, ///< the port cannot be opened
    GetStateError,   ///< its line settings cannot be read
    SetStateError,   ///< its line settings cannot be applied
};
/// The text in the given language ('1' Japanese, anything else English), UTF-8.
std::string_view ReadTextFor(ReadText text, std::int32_t language);

/// Why a port could not be opened, as far as the system tells.
enum class PortOpenFault {
    Missing,         ///< no such device
    Denied,          ///< no read and write access to the device
    Busy,            ///< another program has the device open exclusively
    LockedByProcess, ///< a live process holds the device's lock file
    LockedByFile,    ///< a lock file without a live owner is in the way
    Other,           ///< anything else; the system's own wording is given
};
/// What is known about a failed open, for the line under "CreateFile Error!".
struct TPortOpenFailure {
    PortOpenFault fault = PortOpenFault::Other;
    std::string device;   ///< the device path that was opened
    std::string lockFile; ///< LockedByProcess, LockedByFile: the lock file's path
    long long pid = 0;    ///< LockedByProcess: the owner written in the lock file
    std::string system;   ///< Other: the system's description of the error
};
/// The reason line for failure in the given language (UTF-8), naming the device.
std::string PortOpenReasonText(const TPortOpenFailure &failure, std::int32_t language);

/// One request/reply exchange: collects the reply and evaluates it.
class TExchange {
public:
    /// Starts an exchange at now (whole seconds) and returns the request to send.
    TRequest Begin(char command, std::uint32_t address, std::uint8_t count, std::int64_t now);
    /// Takes received bytes; true once the exchange has ended. Bytes after the LF that ends
    /// the reply are ignored; a full receive buffer without an LF ends it at once with
    /// ExchangeTimeOut.
    bool Received(const std::uint8_t *bytes, std::size_t n, std::int64_t now);
    /// Clock tick; true once the exchange has ended (time-out).
    bool Tick(std::int64_t now);
    /// Ends a waiting exchange with result.
    void Fail(int result);

    bool Waiting() const { return waiting_; }
    /// Bytes of the reply received so far.
    std::size_t ReceivedCount() const { return received_; }
    /// Bytes still to come if the reply is the data reply asked for (0 once it is complete).
    std::size_t Missing() const {
        return waiting_ && received_ < expected_ ? expected_ - received_ : 0;
    }
    /// Result of the ended exchange (ExchangeOk or a failure).
    int Result() const { return result_; }
    /// Data bytes of a successful reply; bytes the reply did not carry read as zero.
    const std::uint8_t *Data() const { return data_.data(); }

private:
    void Evaluate();

    std::array<std::uint8_t, ReceiveBufferSize> buffer_{};
    std::array<std::uint8_t, MaxReplyData> data_{};
    std::size_t received_ = 0;
    std::size_t expected_ = 0;
    std::int64_t t0_ = 0;
    bool waiting_ = false;
    int result_ = ExchangeOk;
};

/// What a successful read delivers.
struct TTraceReading {
    float Value[SampleCount][ChannelCount];
    std::int32_t Flag[SampleCount][FlagWordCount];
    std::int32_t Header[HeaderCount];
    std::int32_t DriveTypeE;
};

/// Puts a successful reading into record, all together: Value, Flag, Header and the factors of
/// the drive type read (ApplyTypeScales). Returns that drive type; the values are raw drive
/// units, so the trace they make is not normalised.
std::int32_t ApplyReading(const TTraceReading &reading, TTraceRecord &record);

/// What the owner of the port has to do next.
struct TReadAction {
    enum Kind {
        Send,    ///< discard pending input and output, then write request in one piece
        Message, ///< append line to the message area
        Done,    ///< all exchanges succeeded; close the port
        Failed,  ///< the read failed (its line came just before); close the port
    };
    Kind kind;
    TRequest request{};
    std::string line;
};
using TReadActions = std::vector<TReadAction>;

/// The read sequence ReadTrace: identification, status, the image in blocks, header.
class TReadTrace {
public:
    /// command 'r', totalLength 3200 (at most TraceImageLength), areaStart the new or old image;
    /// the lines it gives are in language ('1' Japanese, anything else English).
    explicit TReadTrace(std::uint32_t areaStart = NewTraceAddress,
                        std::int32_t language = LanguageEnglish, char command = ReadCommand,
                        std::size_t totalLength = TraceImageLength);

    /// Begins the read with the identification request.
    TReadActions Start(std::int64_t now);
    /// Bytes from the drive.
    TReadActions Received(const std::uint8_t *bytes, std::size_t n, std::int64_t now);
    /// The clock (whole seconds); ends a waiting exchange after its time-out.
    TReadActions Tick(std::int64_t now);
    /// The port failed (device gone, write or read error): the read ends with one line.
    TReadActions PortError();

    bool Running() const { return state_ != State::Idle && state_ != State::Ended; }
    /// True once all exchanges succeeded.
    bool Succeeded() const { return succeeded_; }
    /// Exchanges completed successfully so far.
    int ExchangesDone() const { return done_; }
    /// Exchanges of a whole read (17 for 3,200 bytes).
    int ExchangeTotal() const;
    /// Bytes of the awaited reply received so far.
    std::size_t ReplyBytesReceived() const { return Running() ? exchange_.ReceivedCount() : 0; }
    /// Bytes of the awaited reply still to come if it is the data reply asked for.
    std::size_t ReplyBytesMissing() const { return Running() ? exchange_.Missing() : 0; }
    /// The values read; complete only when Succeeded().
    const TTraceReading &Reading() const { return reading_; }

private:
    enum class State { Idle, Identification, Status, Block, Header, Ended };

    TReadActions Continue(std::int64_t now);
    void SendNext(TReadActions &actions, std::uint32_t address, std::size_t count,
                  std::int64_t now);
    void Fail(TReadActions &actions, std::string_view line);

    std::uint32_t areaStart_;
    std::int32_t language_;
    char command_;
    std::size_t totalLength_;
    std::uint32_t headerAddress_ = 0;
    State state_ = State::Idle;
    TExchange exchange_;
    TTraceImage image_{};
    TTraceReading reading_{};
    std::size_t offset_ = 0;
    std::size_t block_ = 0;
    int done_ = 0;
    bool succeeded_ = false;
};
