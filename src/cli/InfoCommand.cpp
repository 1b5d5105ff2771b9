// vandrel-trace info (placeholder until the command is built).

#include "Commands.h"

#include <cstdio>

int RunInfo(int, char *[]) {
    std::fputs("vandrel-trace info: not available yet\n", stderr);
    return 2;
}
