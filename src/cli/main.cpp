// vandrel-trace: the monitor's trace functions from the command line.

#include "Commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char *const Usage =
    "usage: vandrel-trace COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  info FILE                      summary of a trace file\n"
    "  export FILE [--out CSV]        trace file as CSV in engineering units\n"
    "  read --port PORT [--old] [--out FILE] [--lang en|ja] [--no-settle]\n"
    "                                 read a trace from the drive\n"
    "\n"
    "Run 'vandrel-trace COMMAND --help' for the details of one command.\n";

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
        std::fputs(Usage, stderr);
        return 2;
    }
    const char *command = argv[1];
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (std::strcmp(command, "info") == 0)
        return RunInfo(argc - 2, argv + 2);
    if (std::strcmp(command, "export") == 0)
        return RunExport(argc - 2, argv + 2);
    if (std::strcmp(command, "read") == 0)
        return RunRead(argc - 2, argv + 2);
    std::fprintf(stderr, "vandrel-trace: unknown command '%s'\n\n%s", command, Usage);
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
