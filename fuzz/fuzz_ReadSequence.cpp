// Reply evaluation and the read sequence fed with arbitrary bytes; the drive's request parser
// and answers too, since the simulator takes whatever arrives on its line.
//
// Input: byte 0 chooses the trace and the language; the rest is a list of chunks, each a
// control byte followed by data. Control bit 7 set: advance the clock by (control & 15)
// seconds and tick. Otherwise (control & 63) bytes of data are received, or with bit 6 set a
// genuine drive answer to the last request is received instead.

#include "DriveModel.h"
#include "Protocol.h"
#include "ReadSequence.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CheckActions(const TReadActions &actions, const TReadTrace &read) {
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const auto &a = actions[i];
        if (a.kind == TReadAction::Done || a.kind == TReadAction::Failed) {
            // An ending is the last action and the machine has stopped.
            Check(i + 1 == actions.size());
            Check(!read.Running());
            Check(read.Succeeded() == (a.kind == TReadAction::Done));
        }
        if (a.kind == TReadAction::Send) {
            char command = 0;
            std::uint32_t address = 0;
            std::uint8_t count = 0;
            Check(ParseRequest(a.request.data(), a.request.size(), &command, &address, &count));
            Check(count >= 1 && count <= MaxBlock);
        }
    }
    Check(read.ExchangesDone() <= read.ExchangeTotal());
    Check(read.ReplyBytesReceived() < ReceiveBufferSize);
    Check(read.ReplyBytesMissing() <= 17 + 2 * MaxBlock);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::uint8_t decoded[MaxReplyData];
    std::size_t carried = 0;
    const int result = EvaluateReply(data, size, decoded, sizeof decoded, &carried);
    Check(result <= 0 && result >= -12);
    Check(result != ExchangeOk || carried == (size >= 17 ? (size - 17) / 2 : 0));

    // Building the demo traces is slow; every run starts from a copy.
    static const TDriveModel prototype;
    TDriveModel drive = prototype;
    const auto answer = drive.Answer(data, size);
    Check(answer.pieces.size() <= 3);

    if (size == 0)
        return 0;
    const std::int32_t language = (data[0] & 2) ? LanguageJapanese : LanguageEnglish;
    TReadTrace read((data[0] & 1) ? OldTraceAddress : NewTraceAddress, language);
    std::int64_t now = 1000;
    TRequest last{};
    TReadActions actions = read.Start(now);
    CheckActions(actions, read);
    std::size_t at = 1;
    while (at < size && read.Running()) {
        for (const auto &a : actions)
            if (a.kind == TReadAction::Send)
                last = a.request;
        const std::uint8_t control = data[at++];
        if (control & 0x80) {
            now += control & 15;
            actions = read.Tick(now);
        } else if (control & 0x40) {
            TReadActions all;
            for (const auto &piece : drive.Answer(last.data(), last.size()).pieces) {
                auto more = read.Received(reinterpret_cast<const std::uint8_t *>(piece.data()),
                                          piece.size(), now);
                all.insert(all.end(), more.begin(), more.end());
            }
            actions = std::move(all);
        } else {
            const std::size_t n = std::min<std::size_t>(control & 63, size - at);
            actions = read.Received(data + at, n, now);
            at += n;
        }
        CheckActions(actions, read);
    }
    if (read.Running())
        CheckActions(read.PortError(), read);
    return 0;
}
