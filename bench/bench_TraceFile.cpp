// Prints how long the trace file text takes to write, to read, and to reject hostile input.

#include "TraceFile.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

namespace {

double MicrosecondsPerRun(int runs, const std::function<void()> &work) {
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < runs; ++k)
        work();
    const std::chrono::duration<double, std::micro> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count() / runs;
}

} // namespace

int main() {
    TTraceRecord record;
    ResetRecord(record);
    std::mt19937 random(1);
    for (int i = 0; i < SampleCount; ++i)
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[i][c] = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
    std::int32_t driveType = 1;
    const std::string raw = WriteTraceFile(record, driveType, false);
    TTraceRecord normalizedRecord = record;
    for (int i = 0; i < SampleCount; ++i)
        for (int c = 0; c < ChannelCount; ++c)
            normalizedRecord.Value[i][c] *= ChannelFactor(c, driveType);
    const std::string normalized = WriteTraceFile(normalizedRecord, driveType, true);
    const std::string digits(10 * 1024 * 1024, '7');
    std::string garbage(10 * 1024 * 1024, '\0');
    for (auto &ch : garbage)
        ch = static_cast<char>(random());
    const std::string blank(10 * 1024 * 1024, '\n');

    TTraceRecord target = record;
    std::printf("write raw .vnx (%zu bytes):         %8.1f us\n", raw.size(),
                MicrosecondsPerRun(200, [&] { (void)WriteTraceFile(record, driveType, false); }));
    std::printf(
        "write normalized .vnb (%zu bytes):  %8.1f us\n", normalized.size(),
        MicrosecondsPerRun(200, [&] { (void)WriteTraceFile(normalizedRecord, driveType, true); }));
    std::printf("read raw .vnx:                      %8.1f us\n",
                MicrosecondsPerRun(200, [&] { (void)ReadTraceFile(raw, target, driveType); }));
    std::printf("read normalized .vnb:               %8.1f us\n", MicrosecondsPerRun(200, [&] {
                    (void)ReadTraceFile(normalized, target, driveType);
                }));
    std::printf("reject 10 MB of digits:             %8.1f us\n",
                MicrosecondsPerRun(5, [&] { (void)ReadTraceFile(digits, target, driveType); }));
    std::printf("reject 10 MB of binary garbage:     %8.1f us\n",
                MicrosecondsPerRun(5, [&] { (void)ReadTraceFile(garbage, target, driveType); }));
    std::printf("reject 10 MB of blank lines:        %8.1f us\n",
                MicrosecondsPerRun(5, [&] { (void)ReadTraceFile(blank, target, driveType); }));
    return 0;
}
