// vandrel-trace read (placeholder until the command is built).

#include "Commands.h"

#include <cstdio>

int RunRead(int, char *[]) {
    std::fputs("vandrel-trace read: not available yet\n", stderr);
    return 2;
}
