// vandrel-trace events: every set, rise and fall of the flag bits of one trace file.

#include "Commands.h"
#include "FlagEvents.h"
#include "TraceFileCommand.h"

#include <cstdio>
#include <string>

namespace {

const char *const EventsUsage =
    "usage: vandrel-trace events FILE [--lang en|ja]\n"
    "\n"
    "Prints one line per change of a flag bit in the trace file FILE, ordered by sample, flag\n"
    "word and bit, with the fields separated by one TAB: the sample (0..99), its position\n"
    "relative to the trigger sample (100 - trigger position) with its sign, the flag word\n"
    "(0..3), the bit (0..15), rise, fall or set (a bit already set at sample 0), and the line\n"
    "of the flag explanation for the bit (empty where there is none).\n"
    "\n"
    "  --lang en|ja  language of the explanation (default: the system's)\n"
    "\n"
    "Exit status: 0 done, 1 the file cannot be read or the lines cannot be written, 2 usage\n"
    "error.\n";

int RunEvents(const CommandArgs &args) {
    std::int32_t language = 0;
    if (!args.Language(&language))
        return 2;

    CommandTrace trace;
    if (!LoadCommandTrace(args.Arguments()[0].c_str(), trace, language))
        return 1;
    const long long trigger = 100LL - trace.Record.Header[0];
    std::string out;
    for (const FlagEvent &event :
         FlagEvents(trace.Record, language == LanguageJapanese, trace.DriveTypeE)) {
        char fields[96];
        std::snprintf(fields, sizeof fields, "%d\t%+lld\t%d\t%d\t%s\t", event.Sample,
                      event.Sample - trigger, event.Word, event.Bit, FlagEventKindText(event.Kind));
        out += fields;
        out += event.Meaning;
        out += '\n';
    }
    // Whether standard output took it all is checked once the command is done.
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size())
        NoteOutputError();
    return 0;
}

} // namespace

const CommandDef EventsCommand = {
    "events",
    "FILE [--lang en|ja]",
    "changes of the flag bits of a trace file",
    EventsUsage,
    {LanguageOption()},
    "FILE",
    1,
    1,
    &RunEvents,
};
