#pragma once
// The drive's framed ASCII-hexadecimal read-memory protocol: requests, replies, result texts,
// the memory map and the decoding of the trace image. No I/O here.

#include "TraceRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::uint8_t Enq = 0x05; ///< first byte of a request
inline constexpr std::uint8_t Stx = 0x02; ///< first byte of a data reply
inline constexpr std::uint8_t Nak = 0x15; ///< first byte of a refusal
inline constexpr std::uint8_t Cr = 0x0D;
inline constexpr std::uint8_t Lf = 0x0A; ///< ends every frame
inline constexpr char ReadCommand = 'r'; ///< the only command this system sends

/// Bytes in a request frame.
inline constexpr std::size_t RequestLength = 17;
/// Bytes a reply may occupy, LF included; a longer reply is never complete.
inline constexpr std::size_t ReceiveBufferSize = 1200;
/// Most data bytes one request asks for.
inline constexpr std::size_t MaxBlock = 232;
/// Data bytes a reply of ReceiveBufferSize bytes can carry.
inline constexpr std::size_t MaxReplyData = (ReceiveBufferSize - 17) / 2;

// The drive memory the read touches.
inline constexpr std::uint32_t RomIdAddress = 0x00000510;       ///< 1 byte, 'E' or 'V'
inline constexpr std::uint32_t NewTraceAddress = 0x00203000;    ///< 3,200-byte image
inline constexpr std::uint32_t OldTraceAddress = 0x00203C80;    ///< 3,200-byte image
inline constexpr std::uint32_t NewHeaderAddress = 0x00204900;   ///< 11 bytes
inline constexpr std::uint32_t OldHeaderAddress = 0x0020490B;   ///< 11 bytes
inline constexpr std::uint32_t TraceStatusAddress = 0x00204916; ///< 1 byte
inline constexpr std::size_t TraceImageLength = 3200;           ///< 100 samples x 32 bytes
inline constexpr std::size_t SampleBytes = 32;

/// The drive's trace memory as read, in address order.
using TTraceImage = std::array<std::uint8_t, TraceImageLength>;
/// One request frame.
using TRequest = std::array<std::uint8_t, RequestLength>;

/// Exchange results: 0 success, negative failures; ExchangeResultText gives each its line.
enum ExchangeResult : int {
    ExchangeOk = 0,
    ExchangeTimeOut = -1,
    ExchangeSumCheck = -2,
    ExchangeCommand = -3,
    ExchangeFraming = -4,
    ExchangeOverRun = -5,
    ExchangeParity = -6,
    ExchangeSumCheck80 = -7,
    ExchangeSumCheck83 = -8,
    ExchangeOther = -9,
    ExchangeBlockOrWait = -10,
    ExchangeEnq = -11,
    ExchangeAddress = -12,
};

/// The 13 message texts of the exchange results (entry -result; entry 0 is empty), as the
/// communication window's hidden list carries them.
extern const std::array<std::string_view, 13> ExchangeResultTexts;
/// Message line for an exchange result 0..-12; empty for anything else.
std::string_view ExchangeResultText(int result);

/// Builds the 17-byte request for count bytes at address (command normally 'r').
TRequest BuildRequest(char command, std::uint32_t address, std::uint8_t count);

/// Two uppercase hexadecimal digits of value & 0xFF.
std::array<char, 2> HexByte(unsigned value);

/// Result of a refusal whose code characters are c2 c3: the table for the codes it names,
/// ExchangeOther for any code that is not two decimal digits or not in the table.
int RefusalResult(char c2, char c3);

/// Evaluates a complete reply of n bytes. On ExchangeOk the data bytes are written to data
/// (at most capacity; the caller zero-fills data beforehand) and *dataCount receives how many
/// the reply carried. Never reads outside reply[0..n).
int EvaluateReply(const std::uint8_t *reply, std::size_t n, std::uint8_t *data,
                  std::size_t capacity, std::size_t *dataCount);

/// Decodes the image into 100 x 12 signed channel values and 100 x 4 unsigned flag words.
void DecodeTraceImage(const TTraceImage &image, float (&value)[SampleCount][ChannelCount],
                      std::int32_t (&flag)[SampleCount][FlagWordCount]);
/// Decodes the image into record.Value and record.Flag; nothing else of record changes.
void DecodeTraceImage(const TTraceImage &image, TTraceRecord &record);
/// The same for an image of TraceImageLength bytes at image.
void DecodeTraceImage(const std::uint8_t *image, TTraceRecord &record);

/// Builds a data reply carrying count bytes from data (the drive's side of the protocol).
/// echo (11 characters, may be empty) fills offsets 2..12; lowercaseSum spoils the sum digits.
std::string BuildDataReply(const std::uint8_t *data, std::size_t count, std::string_view echo,
                           bool lowercaseSum = false);
/// Builds a refusal carrying the two code characters.
std::string BuildRefusal(char c2, char c3);
/// Builds a refusal carrying code from offset 2 on, whatever its length.
std::string BuildRefusal(std::string_view code);

/// Address and count of a well-formed request frame; false for anything else.
bool ParseRequest(const std::uint8_t *frame, std::size_t n, char *command, std::uint32_t *address,
                  std::uint8_t *count);
