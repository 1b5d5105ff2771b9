// vandrel-trace summary: one CSV row per trace file, for comparing the trips of a fleet.

#include "Commands.h"
#include "Diagnosis.h"
#include "FlagEvents.h"
#include "TraceFileCommand.h"
#include "TriggerStamp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

const char *const SummaryUsage =
    "usage: vandrel-trace summary FILE...\n"
    "\n"
    "Writes CSV to standard output: a header row, then one row per FILE in the order given\n"
    "with the path as given, the trigger point, the SETNVOP clock, the drive type (E or\n"
    "standard), the sample, flag word, bit and English explanation of the first fault (the\n"
    "first bit set or rising in flag word 0 or 1; empty when there is none) and the largest\n"
    "magnitude of each phase current (channels 1-3) in engineering units, two decimals, and\n"
    "the id of the likely cause as vandrel-trace diagnose gives it (empty without a fault).\n"
    "A file that cannot be read gets a row with its path and the reason in first_fault.\n"
    "\n"
    "Exit status: 0 done, 1 a file cannot be read (after all rows are written) or the CSV\n"
    "cannot be written, 2 usage error.\n";

const char *const Header = "file,trigger_point,setnvop_clock,drive_type,first_fault_sample,"
                           "first_fault_word,first_fault_bit,first_fault,peak_iu,peak_iv,"
                           "peak_iw,likely_cause\n";

// A field as CSV needs it: quoted, with its quotes doubled, when it holds a separator, a quote
// or a line end.
void AppendField(std::string &row, const std::string &field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        row += field;
        return;
    }
    row += '"';
    for (const char ch : field) {
        if (ch == '"')
            row += '"';
        row += ch;
    }
    row += '"';
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::string Row(const std::string &path, const CommandTrace &trace) {
    const TTraceRecord &record = trace.Record;
    const TriggerStamp stamp = FormatTriggerStamp(record.Header, StampClock::Setnvop);
    std::string row;
    AppendField(row, path);
    row += ',' + stamp.Point + ',' + stamp.Date + ' ' + stamp.Time + ',';
    row += trace.DriveTypeE == 1 ? "E" : "standard";
    const std::vector<FlagEvent> events = FlagEvents(record, false, trace.DriveTypeE);
    const auto first = FirstFault(events);
    if (first) {
        const FlagEvent &event = events[*first];
        row += ',' + std::to_string(event.Sample) + ',' + std::to_string(event.Word) + ',' +
               std::to_string(event.Bit) + ',';
        AppendField(row, event.Meaning);
    } else {
        row += ",,,,";
    }
    for (int c = 0; c < 3; ++c) {
        float peak = 0.0f;
        for (int i = 0; i < SampleCount; ++i)
            peak = std::max(peak, std::fabs(NormalizedValue(trace, i, c)));
        row += ',' + FixedText(peak, 2);
    }
    row += ',';
    if (first)
        row += LikelyCauseId(trace, events);
    row += '\n';
    return row;
}

int RunSummary(const CommandArgs &args) {
    int status = 0;
    if (std::fputs(Header, stdout) < 0)
        NoteOutputError();
    CommandTrace trace;
    for (const std::string &path : args.Arguments()) {
        std::string row;
        std::string error;
        if (LoadCommandTrace(path.c_str(), trace, &error)) {
            row = Row(path, trace);
        } else {
            std::fprintf(stderr, "vandrel-trace: %s\n", error.c_str());
            AppendField(row, path);
            row += ",,,,,,,";
            AppendField(row, OneLine(error));
            row += ",,,,\n";
            status = 1;
        }
        if (std::fwrite(row.data(), 1, row.size(), stdout) != row.size())
            NoteOutputError();
    }
    return status;
}

} // namespace

const CommandDef SummaryCommand = {
    "summary",
    "FILE...",
    "one CSV row per trace file: first fault, peak currents",
    SummaryUsage,
    {},
    "FILE",
    1,
    -1,
    &RunSummary,
};
