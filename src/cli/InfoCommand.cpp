// vandrel-trace info: a summary of one trace file.

#include "ChannelNames.h"
#include "Commands.h"
#include "TraceFileCommand.h"
#include "TriggerStamp.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

const char *const InfoUsage =
    "usage: vandrel-trace info FILE\n"
    "\n"
    "Prints a summary of the trace file FILE (.vnx raw drive units, .vnb engineering units;\n"
    "endings in any case), one \"key: value\" per line: the kind of file, the drive type, the\n"
    "trigger point, both time stamps of the trip, and per channel its default English name\n"
    "with the minimum and maximum in engineering units.\n"
    "\n"
    "Exit status: 0 done, 1 the file cannot be read (the message names the line of the first\n"
    "bad field) or the summary cannot be written, 2 usage error.\n";

std::string StampText(const TTraceRecord &record, StampClock clock) {
    const TriggerStamp stamp = FormatTriggerStamp(record.Header, clock);
    return stamp.Date + " " + stamp.Time;
}

int RunInfo(const CommandArgs &args) {
    const char *path = args.Arguments()[0].c_str();
    CommandTrace trace;
    if (!LoadCommandTrace(path, trace))
        return 1;

    const TTraceRecord &record = trace.Record;
    std::printf("file: %s\n", path);
    std::printf("kind: %s\n", trace.Normalized ? "normalized" : "raw");
    std::printf("drive type: %s\n", trace.DriveTypeE == 1 ? "E" : "standard");
    std::printf("trigger point: %s\n",
                FormatTriggerStamp(record.Header, StampClock::Setnvop).Point.c_str());
    std::printf("SETNVOP clock: %s\n", StampText(record, StampClock::Setnvop).c_str());
    std::printf("host CPU clock: %s\n", StampText(record, StampClock::HostCpu).c_str());
    for (int c = 0; c < ChannelCount; ++c) {
        float low = NormalizedValue(trace, 0, c);
        float high = low;
        for (int i = 1; i < SampleCount; ++i) {
            low = std::min(low, NormalizedValue(trace, i, c));
            high = std::max(high, NormalizedValue(trace, i, c));
        }
        std::printf("ch%d %s: min %s, max %s\n", c + 1,
                    EnglishChannelName(c + 1, trace.DriveTypeE).c_str(), FloatText(low).c_str(),
                    FloatText(high).c_str());
    }
    return 0;
}

} // namespace

const CommandDef InfoCommand = {
    "info", "FILE", "summary of a trace file", InfoUsage, {}, "FILE", 1, 1, &RunInfo,
};
