#include "DriveModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct FaultName {
    std::string_view name;
    DriveFault kind;
};
constexpr FaultName FaultNames[] = {
    {"timeout", DriveFault::TimeOut}, {"nolf", DriveFault::NoLf},
    {"badsum", DriveFault::BadSum},   {"lowersum", DriveFault::LowerSum},
    {"garbage", DriveFault::Garbage}, {"split", DriveFault::Split},
    {"short", DriveFault::Short},     {"flood", DriveFault::Flood},
};

// Offsets 2..12 of a data reply are not examined by the reader; the drive echoes the request.
std::string EchoOf(const std::uint8_t *request) {
    return std::string(reinterpret_cast<const char *>(request) + 2, 11);
}

bool HasHexLetter(const std::string &reply) {
    const std::size_t n = reply.size();
    for (std::size_t i = n - 4; i < n - 2; ++i)
        if (reply[i] >= 'A' && reply[i] <= 'F')
            return true;
    return false;
}

void PutWord(TTraceImage &image, std::size_t at, std::int32_t word) {
    image[at] = static_cast<std::uint8_t>((word >> 8) & 0xFF);
    image[at + 1] = static_cast<std::uint8_t>(word & 0xFF);
}

std::int32_t Raw(double value) {
    return static_cast<std::int32_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
}

} // namespace

bool ParseDriveFault(std::string_view text, TDriveFault *fault) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2)
        return false;
    int exchange = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        exchange = exchange * 10 + (text[i] - '0');
    }
    if (exchange < 1 || exchange > 17)
        return false;
    const std::string_view kind = text.substr(colon + 1);
    TDriveFault parsed;
    parsed.exchange = exchange;
    if (kind.starts_with("nak:")) {
        const std::string_view code = kind.substr(4);
        if (code.empty() || code.size() > MaxRefusalCode)
            return false;
        for (char c : code)
            if (c < 0x21 || c > 0x7E)
                return false;
        parsed.kind = DriveFault::Nak;
        parsed.code = std::string(code);
    } else {
        for (const auto &entry : FaultNames)
            if (entry.name == kind)
                parsed.kind = entry.kind;
        if (parsed.kind == DriveFault::None)
            return false;
    }
    *fault = parsed;
    return true;
}

TTraceImage EncodeTraceImage(const float (&value)[SampleCount][ChannelCount],
                             const std::int32_t (&flag)[SampleCount][FlagWordCount]) {
    TTraceImage image{};
    for (int i = 0; i < SampleCount; ++i) {
        const std::size_t base = SampleBytes * static_cast<std::size_t>(i);
        for (int c = 0; c < ChannelCount; ++c)
            PutWord(image, base + 2 * static_cast<std::size_t>(c), Raw(value[i][c]) & 0xFFFF);
        for (int w = 0; w < FlagWordCount; ++w)
            PutWord(image, base + 24 + 2 * static_cast<std::size_t>(w), flag[i][w] & 0xFFFF);
    }
    return image;
}

TDriveModel::TDriveModel() {
    FillDemoTraces(*this);
}

void TDriveModel::AddFault(const TDriveFault &fault) {
    std::erase_if(faults_, [&](const TDriveFault &f) { return f.exchange == fault.exchange; });
    faults_.push_back(fault);
}

std::uint8_t TDriveModel::MemoryAt(std::uint32_t address) const {
    if (address == RomIdAddress)
        return romId;
    if (address == TraceStatusAddress)
        return status;
    if (address >= NewTraceAddress && address < NewTraceAddress + TraceImageLength)
        return newImage[address - NewTraceAddress];
    if (address >= OldTraceAddress && address < OldTraceAddress + TraceImageLength)
        return oldImage[address - OldTraceAddress];
    if (address >= NewHeaderAddress && address < NewHeaderAddress + HeaderCount)
        return newHeader[address - NewHeaderAddress];
    if (address >= OldHeaderAddress && address < OldHeaderAddress + HeaderCount)
        return oldHeader[address - OldHeaderAddress];
    return 0;
}

TDriveAnswer TDriveModel::Answer(const std::uint8_t *line, std::size_t n) {
    TDriveAnswer answer;
    // A request is the last 17 bytes of the line; anything before it is line noise.
    const std::uint8_t *frame = n >= RequestLength ? line + n - RequestLength : line;
    char command = 0;
    std::uint32_t address = 0;
    std::uint8_t count = 0;
    if (!ParseRequest(frame, n >= RequestLength ? RequestLength : n, &command, &address, &count)) {
        answer.pieces.push_back(BuildRefusal('8', '0'));
        return answer;
    }
    if (address == RomIdAddress)
        exchange_ = 0;
    ++exchange_;
    if (command != ReadCommand) {
        answer.pieces.push_back(BuildRefusal('6', '8'));
        return answer;
    }
    if (count == 0 || count > MaxBlock) {
        answer.pieces.push_back(BuildRefusal('8', '8'));
        return answer;
    }
    std::vector<std::uint8_t> data(count);
    for (std::size_t j = 0; j < count; ++j)
        data[j] = MemoryAt(address + static_cast<std::uint32_t>(j));
    const std::string echo = EchoOf(frame);

    DriveFault kind = DriveFault::None;
    TDriveFault fault;
    for (const auto &f : faults_)
        if (f.exchange == exchange_) {
            fault = f;
            kind = f.kind;
        }

    std::string reply = BuildDataReply(data.data(), count, echo);
    switch (kind) {
    case DriveFault::None:
        answer.pieces.push_back(reply);
        break;
    case DriveFault::TimeOut:
        break;
    case DriveFault::NoLf:
        reply.pop_back();
        answer.pieces.push_back(reply);
        break;
    case DriveFault::BadSum: {
        const std::size_t n2 = reply.size();
        reply[n2 - 3] = reply[n2 - 3] == '0' ? '1' : '0';
        answer.pieces.push_back(reply);
        break;
    }
    case DriveFault::LowerSum: {
        // The fault only shows when the sum has a letter digit; vary an unexamined echo
        // character until it has one.
        std::string varied = echo;
        for (int step = 0; step < 16; ++step) {
            varied[10] = "0123456789ABCDEF"[step];
            reply = BuildDataReply(data.data(), count, varied, true);
            if (HasHexLetter(reply))
                break;
        }
        answer.pieces.push_back(reply);
        break;
    }
    case DriveFault::Nak:
        answer.pieces.push_back(BuildRefusal(fault.code));
        break;
    case DriveFault::Garbage:
        answer.pieces.push_back("#GARBAGE\r\n");
        break;
    case DriveFault::Split: {
        const std::size_t third = std::max<std::size_t>(1, reply.size() / 3);
        answer.pieces.push_back(reply.substr(0, third));
        answer.pieces.push_back(reply.substr(third, third));
        answer.pieces.push_back(reply.substr(2 * third));
        break;
    }
    case DriveFault::Short:
        answer.pieces.push_back(BuildDataReply(data.data(), count / 2, echo));
        break;
    case DriveFault::Flood:
        answer.pieces.push_back(std::string(ReceiveBufferSize + 400, '5'));
        break;
    }
    return answer;
}

void FillDemoTraces(TDriveModel &drive) {
    using std::numbers::pi;
    float value[SampleCount][ChannelCount];
    std::int32_t flag[SampleCount][FlagWordCount];

    // New trace: an over-current trip at sample 80 while accelerating under load. The raw
    // units are those of a type E drive: currents 5000 = 100 %, volts 0.1 V, speed 20000 =
    // 100 %, current references 6000 = 100 %, control phase 65536 = 360 degrees.
    constexpr int trip = 80;
    double phase = 0.0;
    for (int i = 0; i < SampleCount; ++i) {
        const bool running = i < trip;
        const double speed = running ? 0.30 + 0.004 * i : std::max(0.0, 0.62 - 0.01 * (i - trip));
        const double amplitude = running ? 1.0 + 1.7 * std::pow(i / double(trip), 6.0) : 0.0;
        phase += 2 * pi * speed * 0.35;
        value[i][0] = static_cast<float>(Raw(5000 * amplitude * std::sin(phase)));
        value[i][1] = static_cast<float>(Raw(5000 * amplitude * std::sin(phase - 2 * pi / 3)));
        value[i][2] = static_cast<float>(Raw(5000 * amplitude * std::sin(phase + 2 * pi / 3)));
        value[i][3] = static_cast<float>(Raw(running ? 6500 - 400 * amplitude + 20 * (i % 3)
                                                     : 6500 + 300 * std::exp(-(i - trip) / 4.0)));
        value[i][4] = static_cast<float>(Raw(running ? 4000 * speed / 0.62 : 0));
        value[i][5] = static_cast<float>(Raw(20000 * speed));
        value[i][6] = static_cast<float>(Raw(20000 * (0.30 + 0.0045 * std::min(i, trip))));
        value[i][7] = static_cast<float>(Raw(running ? 7500 * (0.6 + 0.5 * amplitude / 2.7) : 0));
        value[i][8] = static_cast<float>(Raw(running ? 20000 * (speed + 0.01) : 0));
        value[i][9] = static_cast<float>(Raw(running ? 6000 * 0.35 : 0));
        value[i][10] = static_cast<float>(Raw(running ? 6000 * amplitude * 0.9 : 0));
        value[i][11] = static_cast<float>(Raw(std::remainder(phase / (2 * pi) * 65536.0, 65536.0)));
        const std::int32_t fault1 = i >= trip ? 0x0001 : 0;    // over-current
        const std::int32_t status = running ? 0x0083 : 0x0001; // command, run, gate on
        flag[i][0] = fault1;
        flag[i][1] = 0;
        flag[i][2] = status;
        flag[i][3] = 0x0081; // start command, pre-flux command
    }
    drive.newImage = EncodeTraceImage(value, flag);
    drive.newHeader = {20, 24, 5, 17, 14, 32, 24, 5, 17, 14, 31};

    // Old trace: a DC over-voltage trip at sample 60 while braking a load.
    constexpr int oldTrip = 60;
    phase = 0.0;
    for (int i = 0; i < SampleCount; ++i) {
        const bool running = i < oldTrip;
        const double speed =
            running ? 0.8 - 0.008 * i : std::max(0.0, 0.32 - 0.004 * (i - oldTrip));
        phase += 2 * pi * speed * 0.35;
        const double amplitude = running ? 0.7 : 0.0;
        const double dc = running ? 6500 + 1700 * std::pow(i / double(oldTrip), 3.0)
                                  : 8200 - 25.0 * (i - oldTrip);
        value[i][0] = static_cast<float>(Raw(5000 * amplitude * std::sin(phase)));
        value[i][1] = static_cast<float>(Raw(5000 * amplitude * std::sin(phase - 2 * pi / 3)));
        value[i][2] = static_cast<float>(Raw(5000 * amplitude * std::sin(phase + 2 * pi / 3)));
        value[i][3] = static_cast<float>(Raw(dc));
        value[i][4] = static_cast<float>(Raw(running ? 4000 * speed : 0));
        value[i][5] = static_cast<float>(Raw(20000 * speed));
        value[i][6] = static_cast<float>(Raw(running ? 20000 * (0.78 - 0.009 * i) : 0));
        value[i][7] = static_cast<float>(Raw(running ? -7500 * 0.8 : 0));
        value[i][8] = static_cast<float>(Raw(running ? 20000 * speed : 0));
        value[i][9] = static_cast<float>(Raw(running ? 6000 * 0.35 : 0));
        value[i][10] = static_cast<float>(Raw(running ? -6000 * 0.7 : 0));
        value[i][11] = static_cast<float>(Raw(std::remainder(phase / (2 * pi) * 65536.0, 65536.0)));
        flag[i][0] = i >= oldTrip ? 0x0020 : 0; // over-voltage
        flag[i][1] = 0;
        flag[i][2] = running ? 0x0083 : 0x0001;
        flag[i][3] = running ? 0x0081 : 0x0001;
    }
    drive.oldImage = EncodeTraceImage(value, flag);
    drive.oldHeader = {40, 24, 3, 2, 9, 5, 24, 3, 2, 9, 4};
}
