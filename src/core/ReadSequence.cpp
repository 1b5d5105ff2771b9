#include "ReadSequence.h"

#include "TextPair.h"

#include <algorithm>
#include <cstring>

namespace {

// Indexed by ReadText.
constexpr TextPair ReadTexts[] = {
    {"通信中", "Communicating..."},
    {"通信正常終了！", "Normally End!"},
    {"Frash Rom Warnning!!", "Frash Rom Warnning!!"},
    {"New Dataはありません！", "New Data does not exist!"},
    {"Old Dataはありません！", "Old Data does not exist!"},
    {"CreateFile Error!", "CreateFile Error!"},
    {"GetCommState Error!", "GetCommState Error!"},
    {"SetCommState Error!", "SetCommState Error!"},
};

} // namespace

std::string_view ReadTextFor(ReadText text, std::int32_t language) {
    return ReadTexts[static_cast<std::size_t>(text)].For(language);
}

std::string PortOpenReasonText(const TPortOpenFailure &failure, std::int32_t language) {
    const bool japanese = language == LanguageJapanese;
    // The first words are the system's own for the error, so they can be looked up as such.
    std::string text = failure.device + ": ";
    switch (failure.fault) {
    case PortOpenFault::Missing:
        text += japanese ? "No such file or directory (デバイスがありません)"
                         : "No such file or directory (the device does not exist)";
        break;
    case PortOpenFault::Denied:
        text += japanese ? "Permission denied (ユーザーを dialout グループに加えてください)"
                         : "Permission denied (the user must be in the group dialout)";
        break;
    case PortOpenFault::Busy:
        text += japanese ? "Device or resource busy (他のプログラムが使用中です)"
                         : "Device or resource busy (in use by another program)";
        break;
    case PortOpenFault::LockedByProcess:
        text += "Device or resource busy (";
        text +=
            japanese
                ? "プロセス " + std::to_string(failure.pid) + " が使用中です, " + failure.lockFile
                : "in use by process " + std::to_string(failure.pid) + ", " + failure.lockFile;
        text += ")";
        break;
    case PortOpenFault::LockedByFile:
        text += japanese ? "ロックファイル " + failure.lockFile +
                               " があります。使用中のプログラムがなければ削除してください"
                         : "locked by the lock file " + failure.lockFile +
                               "; remove it if no program is using the port";
        break;
    case PortOpenFault::Other:
        text += failure.system;
        break;
    }
    return text;
}

// ---------------------------------------------------------------------------------------------

TRequest TExchange::Begin(char command, std::uint32_t address, std::uint8_t count,
                          std::int64_t now) {
    t0_ = now;
    data_.fill(0);
    received_ = 0;
    expected_ = 17 + 2 * std::size_t(count);
    waiting_ = true;
    result_ = ExchangeOk;
    return BuildRequest(command, address, count);
}

bool TExchange::Received(const std::uint8_t *bytes, std::size_t n, std::int64_t now) {
    if (!waiting_)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        buffer_[received_++] = bytes[i];
        if (bytes[i] == Lf) {
            Evaluate();
            return true;
        }
        if (received_ == buffer_.size()) {
            // A full buffer without an LF: the reply can never complete, so waiting for more
            // would only delay the same time-out.
            Fail(ExchangeTimeOut);
            return true;
        }
    }
    return Tick(now);
}

bool TExchange::Tick(std::int64_t now) {
    if (!waiting_)
        return false;
    if (now > t0_ + ExchangeTimeOutSeconds) {
        Fail(ExchangeTimeOut);
        return true;
    }
    return false;
}

void TExchange::Fail(int result) {
    waiting_ = false;
    result_ = result;
}

void TExchange::Evaluate() {
    waiting_ = false;
    result_ = EvaluateReply(buffer_.data(), received_, data_.data(), data_.size(), nullptr);
    if (result_ != ExchangeOk)
        data_.fill(0);
}

// ---------------------------------------------------------------------------------------------

std::int32_t ApplyReading(const TTraceReading &reading, TTraceRecord &record) {
    std::memcpy(record.Value, reading.Value, sizeof record.Value);
    std::memcpy(record.Flag, reading.Flag, sizeof record.Flag);
    std::memcpy(record.Header, reading.Header, sizeof record.Header);
    ApplyTypeScales(record, reading.DriveTypeE);
    return reading.DriveTypeE;
}

// ---------------------------------------------------------------------------------------------

TReadTrace::TReadTrace(std::uint32_t areaStart, std::int32_t language, char command,
                       std::size_t totalLength)
    : areaStart_(areaStart), language_(language), command_(command),
      totalLength_(std::min(totalLength, TraceImageLength)) {}

int TReadTrace::ExchangeTotal() const {
    return 3 + static_cast<int>((totalLength_ + MaxBlock - 1) / MaxBlock);
}

TReadActions TReadTrace::Start(std::int64_t now) {
    TReadActions actions;
    if (Running())
        return actions;
    image_.fill(0);
    reading_ = TTraceReading{};
    done_ = 0;
    succeeded_ = false;
    state_ = State::Identification;
    SendNext(actions, RomIdAddress, 1, now);
    return actions;
}

TReadActions TReadTrace::Received(const std::uint8_t *bytes, std::size_t n, std::int64_t now) {
    if (!Running() || !exchange_.Received(bytes, n, now))
        return {};
    return Continue(now);
}

TReadActions TReadTrace::Tick(std::int64_t now) {
    if (!Running() || !exchange_.Tick(now))
        return {};
    return Continue(now);
}

TReadActions TReadTrace::PortError() {
    TReadActions actions;
    if (!Running())
        return actions;
    // The reply can never arrive now; the read ends at once with the line of a missing reply.
    exchange_.Fail(ExchangeTimeOut);
    Fail(actions, ExchangeResultText(ExchangeTimeOut));
    return actions;
}

void TReadTrace::SendNext(TReadActions &actions, std::uint32_t address, std::size_t count,
                          std::int64_t now) {
    TReadAction action{TReadAction::Send, {}, {}};
    action.request = exchange_.Begin(command_, address, static_cast<std::uint8_t>(count), now);
    actions.push_back(std::move(action));
}

void TReadTrace::Fail(TReadActions &actions, std::string_view line) {
    state_ = State::Ended;
    actions.push_back({TReadAction::Message, {}, std::string(line)});
    actions.push_back({TReadAction::Failed, {}, {}});
}

TReadActions TReadTrace::Continue(std::int64_t now) {
    TReadActions actions;
    const int result = exchange_.Result();
    if (result != ExchangeOk) {
        Fail(actions, ExchangeResultText(result));
        return actions;
    }
    ++done_;
    const std::uint8_t *data = exchange_.Data();
    switch (state_) {
    case State::Identification:
        if (data[0] == 'E') {
            reading_.DriveTypeE = 1;
        } else {
            reading_.DriveTypeE = 0;
            if (data[0] != 'V')
                actions.push_back({TReadAction::Message,
                                   {},
                                   std::string(ReadTextFor(ReadText::FlashRomWarning, language_))});
        }
        state_ = State::Status;
        SendNext(actions, TraceStatusAddress, 1, now);
        break;
    case State::Status:
        if (areaStart_ == NewTraceAddress && data[0] == 0) {
            Fail(actions, ReadTextFor(ReadText::NoNewData, language_));
            break;
        }
        if (areaStart_ == OldTraceAddress && data[0] != 2) {
            Fail(actions, ReadTextFor(ReadText::NoOldData, language_));
            break;
        }
        if (areaStart_ == NewTraceAddress) {
            headerAddress_ = NewHeaderAddress;
        } else if (areaStart_ == OldTraceAddress) {
            headerAddress_ = OldHeaderAddress;
        } else {
            Fail(actions, ExchangeResultText(ExchangeAddress));
            break;
        }
        offset_ = 0;
        block_ = MaxBlock;
        [[fallthrough]];
    case State::Block:
        if (state_ == State::Block) {
            // Surplus data bytes of a reply are ignored; missing ones are already zero.
            std::memcpy(image_.data() + offset_, data, block_);
            offset_ += block_;
        }
        if (offset_ < totalLength_) {
            if (offset_ + block_ >= totalLength_)
                block_ = totalLength_ - offset_;
            state_ = State::Block;
            SendNext(actions, areaStart_ + static_cast<std::uint32_t>(offset_), block_, now);
            break;
        }
        DecodeTraceImage(image_, reading_.Value, reading_.Flag);
        state_ = State::Header;
        SendNext(actions, headerAddress_, HeaderCount, now);
        break;
    case State::Header:
        for (int i = 0; i < HeaderCount; ++i)
            reading_.Header[i] = data[i];
        state_ = State::Ended;
        succeeded_ = true;
        actions.push_back({TReadAction::Done, {}, {}});
        break;
    case State::Idle:
    case State::Ended:
        break;
    }
    return actions;
}
