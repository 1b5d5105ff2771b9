// vandrel-trace: the monitor's trace functions from the command line.

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        std::puts("usage: vandrel-trace COMMAND ...");
        return 0;
    }
    std::fputs("usage: vandrel-trace COMMAND ...\n", stderr);
    return 2;
}
