// vandrel-trace export (placeholder until the command is built).

#include "Commands.h"

#include <cstdio>

int RunExport(int, char *[]) {
    std::fputs("vandrel-trace export: not available yet\n", stderr);
    return 2;
}
