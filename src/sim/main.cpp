// vandrel-drive-sim: a drive that answers the trace-read protocol on a pseudo-terminal.

#include <cstdio>

int main() {
    std::fputs("vandrel-drive-sim: not available yet\n", stderr);
    return 2;
}
