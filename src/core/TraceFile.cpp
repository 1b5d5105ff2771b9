#include "TraceFile.h"

#include "TextPair.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr int FieldsPerSample = 1 + ChannelCount + FlagWordCount;
constexpr int SampleFieldCount = SampleCount * FieldsPerSample;
constexpr int DriveTypeField = TraceFileFieldCount - 1;
// The longest offending text a message repeats.
constexpr std::size_t ShownTextLength = 24;

enum class FieldKind { SampleNumber, Channel, FlagWord, Header, DriveType };

struct FieldInfo {
    FieldKind kind;
    int sample; // 0..99 for the sample lines
    int index;  // channel 0..11, flag word 0..3 or header value 0..10
};

FieldInfo DescribeField(int field) {
    if (field < SampleFieldCount) {
        const int sample = field / FieldsPerSample;
        const int column = field % FieldsPerSample;
        if (column == 0)
            return {FieldKind::SampleNumber, sample, 0};
        if (column <= ChannelCount)
            return {FieldKind::Channel, sample, column - 1};
        return {FieldKind::FlagWord, sample, column - 1 - ChannelCount};
    }
    if (field < DriveTypeField)
        return {FieldKind::Header, 0, field - SampleFieldCount};
    return {FieldKind::DriveType, 0, 0};
}

// Only the C locale's white space separates fields, whatever locale the program runs in.
bool IsSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// Decimal integer with an optional sign, as "%d" takes it; must fit 32 bits.
TraceFileFault ParseDecimal(std::string_view token, std::int32_t &out) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < token.size() && (token[pos] == '+' || token[pos] == '-'))
        negative = token[pos++] == '-';
    if (pos == token.size())
        return TraceFileFault::NotANumber;
    std::int64_t magnitude = 0;
    bool tooLarge = false;
    for (; pos < token.size(); ++pos) {
        if (!IsDigit(token[pos]))
            return TraceFileFault::NotANumber;
        if (!tooLarge) {
            magnitude = magnitude * 10 + (token[pos] - '0');
            tooLarge = magnitude > std::int64_t{1} << 31;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (tooLarge || value > std::numeric_limits<std::int32_t>::max())
        return TraceFileFault::OutOfRange;
    out = static_cast<std::int32_t>(value);
    return TraceFileFault::None;
}

// Hexadecimal integer with an optional sign and 0x prefix, as "%x" takes it. Any 32-bit
// pattern is kept, so a negative word written as ffffffff reads back as the same word.
TraceFileFault ParseHex(std::string_view token, std::int32_t &out) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < token.size() && (token[pos] == '+' || token[pos] == '-'))
        negative = token[pos++] == '-';
    if (token.size() - pos > 2 && token[pos] == '0' &&
        (token[pos + 1] == 'x' || token[pos + 1] == 'X'))
        pos += 2;
    if (pos == token.size())
        return TraceFileFault::NotANumber;
    std::uint64_t magnitude = 0;
    bool tooLarge = false;
    for (; pos < token.size(); ++pos) {
        const int digit = HexDigit(token[pos]);
        if (digit < 0)
            return TraceFileFault::NotANumber;
        if (!tooLarge) {
            magnitude = magnitude * 16 + static_cast<std::uint64_t>(digit);
            tooLarge = magnitude > 0xFFFFFFFFu;
        }
    }
    if (tooLarge)
        return TraceFileFault::OutOfRange;
    auto bits = static_cast<std::uint32_t>(magnitude);
    if (negative)
        bits = 0u - bits;
    out = static_cast<std::int32_t>(bits);
    return TraceFileFault::None;
}

// Decimal floating-point number: [sign] digits [. digits] [e [sign] digits], at least one
// mantissa digit. Infinities, NaN and hexadecimal floats are not channel values.
bool IsDecimalFloat(std::string_view token) {
    std::size_t pos = 0;
    if (pos < token.size() && (token[pos] == '+' || token[pos] == '-'))
        ++pos;
    std::size_t digits = 0;
    while (pos < token.size() && IsDigit(token[pos]))
        ++pos, ++digits;
    if (pos < token.size() && token[pos] == '.') {
        ++pos;
        while (pos < token.size() && IsDigit(token[pos]))
            ++pos, ++digits;
    }
    if (digits == 0)
        return false;
    if (pos < token.size() && (token[pos] == 'e' || token[pos] == 'E')) {
        ++pos;
        if (pos < token.size() && (token[pos] == '+' || token[pos] == '-'))
            ++pos;
        std::size_t exponentDigits = 0;
        while (pos < token.size() && IsDigit(token[pos]))
            ++pos, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return pos == token.size();
}

TraceFileFault ParseFloat(std::string_view token, float &out) {
    if (!IsDecimalFloat(token))
        return TraceFileFault::NotANumber;
    // Whole numbers of up to 7 digits, which every raw value is, are exact floats: reading
    // them directly spares the general conversion, which dominates reading many files.
    const bool negative = token.front() == '-';
    const std::size_t firstDigit = negative || token.front() == '+' ? 1 : 0;
    if (token.size() - firstDigit <= 7) {
        std::int32_t whole = 0;
        std::size_t pos = firstDigit;
        while (pos < token.size() && IsDigit(token[pos]))
            whole = whole * 10 + (token[pos++] - '0');
        if (pos == token.size()) {
            const float magnitude = static_cast<float>(whole);
            out = negative ? -magnitude : magnitude;
            return TraceFileFault::None;
        }
    }
    // from_chars takes no '+' and, unlike strtof, ignores the locale's decimal point.
    if (token.front() == '+')
        token.remove_prefix(1);
    const char *first = token.data();
    const char *last = token.data() + token.size();
    float value = 0.0f;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large for a float, or so small that it underflows: the latter reads as the
        // nearest float (subnormal or zero), as strtof gives it.
        double wide = 0.0;
        auto [wideEnd, wideEc] = std::from_chars(first, last, wide);
        if (wideEc != std::errc() || wideEnd != last ||
            std::fabs(wide) > std::numeric_limits<float>::max())
            return TraceFileFault::OutOfRange;
        value = static_cast<float>(wide);
        end = wideEnd;
        ec = std::errc();
    }
    if (ec != std::errc() || end != last)
        return TraceFileFault::NotANumber;
    out = value;
    return TraceFileFault::None;
}

std::string Shown(std::string_view token) {
    std::string text;
    for (std::size_t i = 0; i < token.size() && i < ShownTextLength; ++i) {
        const auto ch = static_cast<unsigned char>(token[i]);
        text += (ch >= 0x20 && ch < 0x7F) ? static_cast<char>(ch) : '?';
    }
    if (token.size() > ShownTextLength)
        text += "...";
    return text;
}

template <typename... Args> void Append(std::string &out, const char *format, Args... args) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, format, args...);
    if (length > 0)
        out.append(buffer, static_cast<std::size_t>(std::min<int>(length, sizeof buffer - 1)));
}

// Right-aligns a normalized value in six columns, like "%6.0f", but keeps every digit the
// float needs to read back as itself.
void AppendExact(std::string &out, float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const auto length = static_cast<std::size_t>(result.ptr - buffer);
    if (length < 6)
        out.append(6 - length, ' ');
    out.append(buffer, length);
}

// --- Message texts, Japanese and English -------------------------------------------------

constexpr TextPair OpenFailedText = {"トレースファイル %1 を開けません。\n%2",
                                     "The trace file %1 cannot be opened.\n%2"};
constexpr TextPair LoadFailedText = {"トレースファイル %1 を読み込めません。\n%2",
                                     "The trace file %1 cannot be loaded.\n%2"};
constexpr TextPair SaveFailedText = {"トレースファイル %1 を保存できません。\n%2",
                                     "The trace file %1 cannot be saved.\n%2"};
constexpr TextPair NotRegularText = {"通常のファイルではありません (デバイス、FIFO、フォルダ)。",
                                     "Not a regular file (a device, a FIFO or a folder)."};
constexpr TextPair MissingText = {"%1行目: %2がありません (ファイルが途中で終わっています)。",
                                  "Line %1: %2 is missing (the file ends early)."};
constexpr TextPair NotANumberText = {"%1行目: %2が数値ではありません: \"%3\"",
                                     "Line %1: %2 is not a number: \"%3\""};
constexpr TextPair OutOfRangeText = {"%1行目: %2が範囲外の数値です: \"%3\"",
                                     "Line %1: %2 is a number out of range: \"%3\""};
constexpr TextPair SampleNumberText = {"サンプル番号", "the sample number"};
constexpr TextPair ChannelText = {"チャンネル%1の値", "the value of channel %1"};
constexpr TextPair FlagWordText = {"フラグワード%1", "flag word %1"};
constexpr TextPair HeaderText = {"ヘッダ値%1", "header value %1"};
constexpr TextPair DriveTypeText = {"ドライブ種別", "the drive type"};

std::string Pick(const TextPair &pair, std::int32_t language) {
    return pair.For(language);
}

// Replaces %1, %2, %3 in pattern by the arguments.
std::string Fill(const std::string &pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size())
                out += *(args.begin() + n);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string FieldName(int field, std::int32_t language) {
    const FieldInfo info = DescribeField(field);
    switch (info.kind) {
    case FieldKind::SampleNumber:
        return Pick(SampleNumberText, language);
    case FieldKind::Channel:
        return Fill(Pick(ChannelText, language), {std::to_string(info.index + 1)});
    case FieldKind::FlagWord:
        return Fill(Pick(FlagWordText, language), {std::to_string(info.index + 1)});
    case FieldKind::Header:
        return Fill(Pick(HeaderText, language), {std::to_string(info.index + 1)});
    case FieldKind::DriveType:
        break;
    }
    return Pick(DriveTypeText, language);
}

} // namespace

int TraceFileLineOfField(int field) {
    if (field < SampleFieldCount)
        return field / FieldsPerSample + 1;
    return SampleCount + 1 + (field - SampleFieldCount);
}

std::string WriteTraceFile(const TTraceRecord &record, std::int32_t driveTypeE, bool normalized) {
    std::string out;
    out.reserve(static_cast<std::size_t>(TraceFileLineCount) * 120);
    for (int i = 0; i < SampleCount; ++i) {
        Append(out, "%4d\t", record.SampleNo[i]);
        for (int c = 0; c < ChannelCount; ++c) {
            if (normalized)
                AppendExact(out, record.Value[i][c]);
            else
                Append(out, "%6.0f", static_cast<double>(record.Value[i][c]));
            out += '\t';
        }
        for (int w = 0; w < FlagWordCount; ++w) {
            Append(out, "%4x", static_cast<unsigned>(record.Flag[i][w]));
            out += w + 1 < FlagWordCount ? "\t" : "\r\n";
        }
    }
    for (int j = 0; j < HeaderCount; ++j) {
        Append(out, "%4x", static_cast<unsigned>(record.Header[j]));
        out += "\r\n";
    }
    Append(out, "%4x", static_cast<unsigned>(driveTypeE));
    out += "\r\n";
    return out;
}

TraceFileError ReadTraceFile(std::string_view text, TTraceRecord &record,
                             std::int32_t &driveTypeE) {
    // A file saved by a Windows editor may start with a UTF-8 byte order mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    // Everything goes into a copy first, so a rejected file changes nothing.
    TTraceRecord loaded = record;
    std::int32_t loadedDriveType = 0;
    TraceFileError error;
    std::size_t pos = 0;
    int line = 1;
    for (int field = 0; field < TraceFileFieldCount; ++field) {
        while (pos < text.size() && IsSpace(text[pos])) {
            if (text[pos] == '\n')
                ++line;
            ++pos;
        }
        if (pos == text.size()) {
            error.Fault = TraceFileFault::Missing;
            error.Line = TraceFileLineOfField(field);
            error.Field = field;
            return error;
        }
        const std::size_t start = pos;
        while (pos < text.size() && !IsSpace(text[pos]))
            ++pos;
        const std::string_view token = text.substr(start, pos - start);

        const FieldInfo info = DescribeField(field);
        TraceFileFault fault = TraceFileFault::None;
        std::int32_t number = 0;
        switch (info.kind) {
        case FieldKind::SampleNumber:
            fault = ParseDecimal(token, loaded.SampleNo[info.sample]);
            break;
        case FieldKind::Channel:
            fault = ParseFloat(token, loaded.Value[info.sample][info.index]);
            break;
        case FieldKind::FlagWord:
            fault = ParseHex(token, loaded.Flag[info.sample][info.index]);
            break;
        case FieldKind::Header:
            fault = ParseHex(token, number);
            // A header value is a byte; anything above reads as 0 (signed comparison, so a
            // negative value stays).
            loaded.Header[info.index] = number > 255 ? 0 : number;
            break;
        case FieldKind::DriveType:
            fault = ParseHex(token, number);
            loadedDriveType = number == 1 ? 1 : 0;
            break;
        }
        if (fault != TraceFileFault::None) {
            error.Fault = fault;
            error.Line = line;
            error.Field = field;
            error.Text = Shown(token);
            return error;
        }
    }
    record = loaded;
    driveTypeE = loadedDriveType;
    return error;
}

std::string TraceFileErrorText(const TraceFileError &error, std::int32_t language) {
    const std::string line = std::to_string(error.Line);
    const std::string field = FieldName(error.Field, language);
    switch (error.Fault) {
    case TraceFileFault::Missing:
        return Fill(Pick(MissingText, language), {line, field});
    case TraceFileFault::NotANumber:
        return Fill(Pick(NotANumberText, language), {line, field, error.Text});
    case TraceFileFault::OutOfRange:
        return Fill(Pick(OutOfRangeText, language), {line, field, error.Text});
    case TraceFileFault::None:
        break;
    }
    return {};
}

std::string TraceFileOpenFailedText(std::string_view file, std::string_view reason,
                                    std::int32_t language) {
    return Fill(Pick(OpenFailedText, language), {file, reason});
}

std::string TraceFileLoadFailedText(std::string_view file, const TraceFileError &error,
                                    std::int32_t language) {
    return Fill(Pick(LoadFailedText, language), {file, TraceFileErrorText(error, language)});
}

std::string TraceFileSaveFailedText(std::string_view file, std::string_view reason,
                                    std::int32_t language) {
    return Fill(Pick(SaveFailedText, language), {file, reason});
}

std::string NotRegularFileText(std::int32_t language) {
    return Pick(NotRegularText, language);
}

TraceFileKind TraceFileKindOfName(std::string_view path) {
    constexpr std::size_t EndingLength = 4;
    if (path.size() < EndingLength)
        return TraceFileKind::Other;
    std::string ending(path.substr(path.size() - EndingLength));
    for (char &c : ending)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (ending == ".vnb")
        return TraceFileKind::Normalized;
    if (ending == ".vnx")
        return TraceFileKind::Raw;
    return TraceFileKind::Other;
}

bool NormalizedByName(std::string_view path, bool otherwise) {
    switch (TraceFileKindOfName(path)) {
    case TraceFileKind::Normalized:
        return true;
    case TraceFileKind::Raw:
        return false;
    case TraceFileKind::Other:
        break;
    }
    return otherwise;
}
