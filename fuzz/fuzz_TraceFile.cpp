// Fuzz target for the trace file reader: any input is either rejected with a line inside the
// file or read into a record that writes and reads back unchanged.

#include "TraceFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    TTraceRecord record;
    ResetRecord(record);
    const TTraceRecord before = record;
    std::int32_t driveType = 7;

    const TraceFileError error = ReadTraceFile(text, record, driveType);
    if (error) {
        // Rejected: nothing changed, and the message points into a plausible line.
        Check(record == before && driveType == 7);
        Check(error.Line >= 1 && error.Field >= 0 && error.Field < TraceFileFieldCount);
        Check(!TraceFileErrorText(error, LanguageJapanese).empty());
        Check(!TraceFileErrorText(error, LanguageEnglish).empty());
        return 0;
    }
    Check(driveType == 0 || driveType == 1);
    for (int j = 0; j < HeaderCount; ++j)
        Check(record.Header[j] <= 255);
    Check(std::memcmp(record.Scale, before.Scale, sizeof record.Scale) == 0);

    // Exact form: every field comes back bit for bit.
    TTraceRecord again;
    ResetRecord(again);
    std::int32_t againType = 7;
    Check(!ReadTraceFile(WriteTraceFile(record, driveType, true), again, againType));
    Check(again == record && againType == driveType);

    // Raw form: always readable, with the same number of lines.
    const std::string raw = WriteTraceFile(record, driveType, false);
    Check(!ReadTraceFile(raw, again, againType));
    Check(againType == driveType);
    std::size_t lines = 0;
    for (char ch : raw)
        lines += ch == '\n';
    Check(lines == TraceFileLineCount);
    return 0;
}
