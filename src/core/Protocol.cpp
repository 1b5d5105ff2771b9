#include "Protocol.h"

#include <algorithm>

const std::array<std::string_view, 13> ExchangeResultTexts = {
    "",
    "ERROR :  TimeOut Error",
    "ERROR :  SumCheck Error",
    "ERROR :  Command Error",
    "ERROR :  Flaming Error",
    "ERROR :  OverRun Error",
    "ERROR :  Prity Error",
    "ERROR :  SumCheck Error",
    "ERROR :  SumCheck Error",
    "ERROR :  Other Error",
    "ERROR :  BLK or WAT Error",
    "ERROR :  ENQ Error",
    "ERROR :  Addres Error",
};

namespace {

constexpr char UpperDigits[] = "0123456789ABCDEF";

int HexDigitValue(std::uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A data pair that is not wholly hexadecimal keeps the value of its leading hex digit, or 0;
// that is what the drive's readers have always made of such a pair.
std::uint8_t PairValue(std::uint8_t high, std::uint8_t low) {
    const int h = HexDigitValue(high);
    if (h < 0)
        return 0;
    const int l = HexDigitValue(low);
    if (l < 0)
        return static_cast<std::uint8_t>(h);
    return static_cast<std::uint8_t>(h * 16 + l);
}

struct RefusalCode {
    int code;
    int result;
};
// Codes 100, 115 and 122 cannot travel as two digits; they stay here so the table is whole.
constexpr RefusalCode RefusalCodes[] = {
    {68, ExchangeCommand},  {100, ExchangeFraming},    {69, ExchangeOverRun},
    {79, ExchangeParity},   {80, ExchangeSumCheck80},  {83, ExchangeSumCheck83},
    {115, ExchangeOther},   {88, ExchangeBlockOrWait}, {90, ExchangeEnq},
    {122, ExchangeAddress},
};

} // namespace

std::string_view ExchangeResultText(int result) {
    if (result > 0 || result < -12)
        return {};
    return ExchangeResultTexts[static_cast<std::size_t>(-result)];
}

std::array<char, 2> HexByte(unsigned value) {
    return {UpperDigits[(value >> 4) & 0xF], UpperDigits[value & 0xF]};
}

TRequest BuildRequest(char command, std::uint32_t address, std::uint8_t count) {
    TRequest frame{};
    frame[0] = Enq;
    frame[1] = 0x20;
    frame[2] = static_cast<std::uint8_t>(command);
    for (int b = 0; b < 4; ++b) {
        const auto digits = HexByte(address >> (8 * (3 - b)));
        frame[static_cast<std::size_t>(3 + 2 * b)] = static_cast<std::uint8_t>(digits[0]);
        frame[static_cast<std::size_t>(4 + 2 * b)] = static_cast<std::uint8_t>(digits[1]);
    }
    const auto countDigits = HexByte(count);
    frame[11] = static_cast<std::uint8_t>(countDigits[0]);
    frame[12] = static_cast<std::uint8_t>(countDigits[1]);
    unsigned sum = 0;
    for (std::size_t i = 2; i <= 12; ++i)
        sum += frame[i];
    const auto sumDigits = HexByte(sum);
    frame[13] = static_cast<std::uint8_t>(sumDigits[0]);
    frame[14] = static_cast<std::uint8_t>(sumDigits[1]);
    frame[15] = Cr;
    frame[16] = Lf;
    return frame;
}

int RefusalResult(char c2, char c3) {
    if (c2 < '0' || c2 > '9' || c3 < '0' || c3 > '9')
        return ExchangeOther;
    const int code = (c2 - '0') * 10 + (c3 - '0');
    for (const auto &entry : RefusalCodes)
        if (entry.code == code)
            return entry.result;
    return ExchangeOther;
}

int EvaluateReply(const std::uint8_t *reply, std::size_t n, std::uint8_t *data,
                  std::size_t capacity, std::size_t *dataCount) {
    if (dataCount)
        *dataCount = 0;
    if (n == 0)
        return ExchangeOther;
    if (reply[0] == Nak) {
        if (n < 4)
            return ExchangeOther;
        return RefusalResult(static_cast<char>(reply[2]), static_cast<char>(reply[3]));
    }
    if (reply[0] != Stx)
        return ExchangeOther;
    // Too short to carry a sum check at all.
    if (n < 4)
        return ExchangeSumCheck;
    unsigned sum = 0;
    for (std::size_t i = 2; i + 5 <= n; ++i)
        sum += reply[i];
    const auto digits = HexByte(sum);
    // The sum digits must be uppercase exactly; data digits may be either case.
    if (reply[n - 4] != static_cast<std::uint8_t>(digits[0]) ||
        reply[n - 3] != static_cast<std::uint8_t>(digits[1]))
        return ExchangeSumCheck;
    const std::size_t carried = n >= 17 ? (n - 17) / 2 : 0;
    for (std::size_t j = 0; j < carried && j < capacity; ++j)
        data[j] = PairValue(reply[13 + 2 * j], reply[14 + 2 * j]);
    if (dataCount)
        *dataCount = carried;
    return ExchangeOk;
}

void DecodeTraceImage(const TTraceImage &image, float (&value)[SampleCount][ChannelCount],
                      std::int32_t (&flag)[SampleCount][FlagWordCount]) {
    auto word = [&image](std::size_t at) {
        return static_cast<std::int32_t>(image[at]) * 256 + image[at + 1];
    };
    for (int i = 0; i < SampleCount; ++i) {
        const std::size_t base = SampleBytes * static_cast<std::size_t>(i);
        for (int j = 0; j < ChannelCount; ++j) {
            std::int32_t v = word(base + 2 * static_cast<std::size_t>(j));
            if (v > 32767)
                v -= 65536;
            value[i][j] = static_cast<float>(v);
        }
        for (int w = 0; w < FlagWordCount; ++w)
            flag[i][w] = word(base + 24 + 2 * static_cast<std::size_t>(w));
    }
}

void DecodeTraceImage(const TTraceImage &image, TTraceRecord &record) {
    DecodeTraceImage(image, record.Value, record.Flag);
}

void DecodeTraceImage(const std::uint8_t *image, TTraceRecord &record) {
    TTraceImage copy;
    std::copy_n(image, copy.size(), copy.begin());
    DecodeTraceImage(copy, record.Value, record.Flag);
}

std::string BuildDataReply(const std::uint8_t *data, std::size_t count, std::string_view echo,
                           bool lowercaseSum) {
    std::string reply;
    reply.reserve(17 + 2 * count);
    reply += static_cast<char>(Stx);
    reply += ' ';
    std::string head(echo.substr(0, 11));
    head.resize(11, '0');
    reply += head;
    for (std::size_t j = 0; j < count; ++j) {
        const auto digits = HexByte(data[j]);
        reply += digits[0];
        reply += digits[1];
    }
    unsigned sum = 0;
    for (std::size_t i = 2; i < reply.size(); ++i)
        sum += static_cast<std::uint8_t>(reply[i]);
    auto digits = HexByte(sum);
    if (lowercaseSum)
        for (char &c : digits)
            if (c >= 'A' && c <= 'F')
                c = static_cast<char>(c - 'A' + 'a');
    reply += digits[0];
    reply += digits[1];
    reply += static_cast<char>(Cr);
    reply += static_cast<char>(Lf);
    return reply;
}

std::string BuildRefusal(char c2, char c3) {
    const char code[] = {c2, c3};
    return BuildRefusal(std::string_view(code, 2));
}

std::string BuildRefusal(std::string_view code) {
    std::string reply;
    reply += static_cast<char>(Nak);
    reply += ' ';
    reply += code;
    reply += static_cast<char>(Cr);
    reply += static_cast<char>(Lf);
    return reply;
}

bool ParseRequest(const std::uint8_t *frame, std::size_t n, char *command, std::uint32_t *address,
                  std::uint8_t *count) {
    if (n != RequestLength || frame[0] != Enq || frame[15] != Cr || frame[16] != Lf)
        return false;
    unsigned sum = 0;
    for (std::size_t i = 2; i <= 12; ++i)
        sum += frame[i];
    const auto digits = HexByte(sum);
    if (frame[13] != static_cast<std::uint8_t>(digits[0]) ||
        frame[14] != static_cast<std::uint8_t>(digits[1]))
        return false;
    std::uint32_t value = 0;
    for (std::size_t i = 3; i <= 10; ++i) {
        const int d = HexDigitValue(frame[i]);
        if (d < 0)
            return false;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    const int h = HexDigitValue(frame[11]);
    const int l = HexDigitValue(frame[12]);
    if (h < 0 || l < 0)
        return false;
    *command = static_cast<char>(frame[2]);
    *address = value;
    *count = static_cast<std::uint8_t>(h * 16 + l);
    return true;
}
