// vandrel-trace diagnose: the state at the trip, the signals that moved first and the likely
// cause of the trip in one trace file.

#include "Commands.h"
#include "Diagnosis.h"
#include "TraceFileCommand.h"

#include <cstdio>
#include <string>

namespace {

const char *const DiagnoseUsage =
    "usage: vandrel-trace diagnose FILE [--lang en|ja]\n"
    "\n"
    "Explains the trip in the trace file FILE. Prints TAB-separated lines, the first field\n"
    "saying what the line holds:\n"
    "  first-fault SAMPLE T+-R WORD BIT MEANING   the first fault bit (absent without a fault)\n"
    "  state MOTION POWER       accelerating, decelerating, steady or stopped; motoring,\n"
    "                           regenerating or - (no torque), over the 10 samples before the\n"
    "                           first fault (before the trigger without one)\n"
    "  onset CHANNEL SAMPLE T+-R NAME   where a channel (1-12, or I for the current vector of\n"
    "                           channels 1-3) first left its baseline, earliest first\n"
    "  cause ID TEXT            the likely cause: accel-overcurrent, decel-overcurrent,\n"
    "                           steady-overcurrent, ground-fault, phase-fault,\n"
    "                           regen-overvoltage, supply-overvoltage, supply-undervoltage,\n"
    "                           overload, drive-overheat, motor-overheat, overspeed, unknown\n"
    "                           or none\n"
    "  evidence TEXT            what the trace shows for it, one line each\n"
    "  remedy TEXT              what to do, one line each\n"
    "T+-R is the sample's position relative to the trigger sample (100 - trigger position).\n"
    "\n"
    "  --lang en|ja  language of the texts (default: the system's); the ids stay the same\n"
    "\n"
    "Exit status: 0 done, 1 the file cannot be read or the lines cannot be written, 2 usage\n"
    "error.\n";

int RunDiagnose(const CommandArgs &args) {
    std::int32_t language = 0;
    if (!args.Language(&language))
        return 2;

    CommandTrace trace;
    if (!LoadCommandTrace(args.Arguments()[0].c_str(), trace, language))
        return 1;
    std::string out;
    for (const std::string &line :
         DiagnosisFieldLines(Diagnose(trace, language == LanguageJapanese))) {
        out += line;
        out += '\n';
    }
    // Whether standard output took it all is checked once the command is done.
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size())
        NoteOutputError();
    return 0;
}

} // namespace

const CommandDef DiagnoseCommand = {
    "diagnose",
    "FILE [--lang en|ja]",
    "likely cause of the trip, with its evidence",
    DiagnoseUsage,
    {LanguageOption()},
    "FILE",
    1,
    1,
    &RunDiagnose,
};
