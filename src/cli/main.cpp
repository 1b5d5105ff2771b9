// vandrel-trace: the monitor's trace functions from the command line.

#include "Commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Every command of vandrel-trace, in the order the usage lists them.
const CommandDef *const CommandTable[] = {
    &InfoCommand,     &ExportCommand,  &ReadCommand,   &EventsCommand,
    &DiagnoseCommand, &SummaryCommand, &ReportCommand, &HistoryCommand, &NoteCommand,
};

// Synopses longer than this get their summary on the next line.
constexpr int SynopsisWidth = 30;

std::string Usage() {
    std::string usage = "usage: vandrel-trace COMMAND [ARGS]\n\ncommands:\n";
    for (const CommandDef *command : CommandTable) {
        const std::string synopsis = std::string(command->Name) + " " + command->Synopsis;
        char line[512];
        if (synopsis.size() <= SynopsisWidth)
            std::snprintf(line, sizeof line, "  %-*s %s\n", SynopsisWidth, synopsis.c_str(),
                          command->Summary);
        else
            std::snprintf(line, sizeof line, "  %s\n  %-*s %s\n", synopsis.c_str(), SynopsisWidth,
                          "", command->Summary);
        usage += line;
    }
    usage += "\nRun 'vandrel-trace COMMAND --help' for the details of one command.\n";
    return usage;
}

int OutputErrno = 0;

// Output that did not all reach standard output (a full disk, a full device) fails the
// command, however well it went otherwise.
int FinishOutput(int status) {
    errno = 0;
    if (std::fflush(stdout) != 0)
        NoteOutputError();
    if (!std::ferror(stdout))
        return status;
    std::fprintf(stderr, "vandrel-trace: cannot write to standard output: %s\n",
                 OutputErrno != 0 ? std::strerror(OutputErrno) : "write error");
    return status == 0 ? 1 : status;
}

int Dispatch(int argc, char *argv[]) {
    if (argc < 2) {
        std::fputs(Usage().c_str(), stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    for (const CommandDef *known : CommandTable)
        if (command == known->Name)
            return RunCommand(*known, std::vector<std::string>(argv + 2, argv + argc));
    std::fprintf(stderr, "vandrel-trace: unknown command '%s'\n\n%s", command.c_str(),
                 Usage().c_str());
    return 2;
}

} // namespace

void NoteOutputError() {
    if (OutputErrno == 0)
        OutputErrno = errno;
}

int main(int argc, char *argv[]) {
    return FinishOutput(Dispatch(argc, argv));
}
