// vandrel-drive-sim: a drive that answers the trace-read protocol on a pseudo-terminal or on a
// serial device, with demo traces or traces from .vnx files, and faults on request.

#include "DriveModel.h"
#include "DriveScenarios.h"
#include "Protocol.h"
#include "TraceFileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

const char *const Usage =
    "usage: vandrel-drive-sim [--new FILE | --scenario NAME] [--old FILE] [--rom E|V|X]\n"
    "                         [--status N] [--fault K:KIND]... [--pace] [--device PATH]\n"
    "\n"
    "Answers trace reads like a drive. Opens a pseudo-terminal and prints its device path as\n"
    "the first line (or serves PATH with --device), then answers until it is stopped.\n"
    "\n"
    "  --new FILE, --old FILE  serve the trace of a .vnx file instead of the demo trip\n"
    "  --scenario NAME         serve a trip of this kind as the new trace: accel-overcurrent,\n"
    "                          decel-overcurrent, steady-overcurrent, ground-fault,\n"
    "                          phase-fault, regen-overvoltage, supply-overvoltage,\n"
    "                          supply-undervoltage, overload, drive-overheat, motor-overheat\n"
    "                          (a drive of type V, which records the motor temperature),\n"
    "                          overspeed, unknown (an EEPROM error) or none (no fault)\n"
    "  --rom C                 identification byte (E, V, or any other character)\n"
    "  --status N              trace status byte 0..255 (default 2: new and old stored)\n"
    "  --fault K:KIND          spoil exchange K (1..17) of every read; KIND is timeout, nolf,\n"
    "                          badsum, lowersum, nak:CODE, garbage, split, short or flood;\n"
    "                          CODE is sent as it stands (nak:68 is a command error)\n"
    "  --pace                  send at the speed of a 9600-baud line (1.04 ms per byte)\n"
    "  --device PATH           serve a serial device (9600 baud, 8N1) instead\n";

// One byte at 9600 baud, 10 bits: start, 8 data, stop.
constexpr long ByteNanoseconds = 1'041'667;
constexpr long SplitPauseNanoseconds = 30'000'000;

struct Options {
    const char *newFile = nullptr;
    const char *oldFile = nullptr;
    const char *scenario = nullptr;
    int romId = -1;
    int status = -1;
    std::vector<TDriveFault> faults;
    bool pace = false;
    const char *device = nullptr;
};

long long NowNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

void SleepUntil(long long ns) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(ns / 1'000'000'000LL);
    t.tv_nsec = static_cast<long>(ns % 1'000'000'000LL);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

// Reads a trace file with the monitor's own reader, so the simulator serves exactly what the
// monitor would load.
bool LoadTrace(const char *path, TTraceImage *image, std::array<std::uint8_t, HeaderCount> *header,
               int *typeE, std::string *error) {
    TTraceRecord record;
    ResetRecord(record);
    std::int32_t driveTypeE = 0;
    QString reason;
    if (!LoadTraceFile(QString::fromLocal8Bit(path), record, driveTypeE, &reason,
                       LanguageEnglish)) {
        *error = reason.toStdString();
        return false;
    }
    for (int j = 0; j < HeaderCount; ++j) {
        const std::int32_t v = record.Header[j];
        // The drive keeps bytes; the reader has already turned values above 255 into 0.
        (*header)[static_cast<std::size_t>(j)] =
            v >= 0 && v <= 255 ? static_cast<std::uint8_t>(v) : 0;
    }
    *typeE = driveTypeE;
    *image = EncodeTraceImage(record.Value, record.Flag);
    return true;
}

bool ParseOptions(int argc, char *argv[], Options *options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--pace") {
            options->pace = true;
        } else if (arg == "--new" && hasValue) {
            options->newFile = argv[++i];
        } else if (arg == "--scenario" && hasValue) {
            options->scenario = argv[++i];
            bool known = false;
            for (const std::string_view name : ScenarioNames())
                known = known || name == options->scenario;
            if (!known)
                return false;
        } else if (arg == "--old" && hasValue) {
            options->oldFile = argv[++i];
        } else if (arg == "--device" && hasValue) {
            options->device = argv[++i];
        } else if (arg == "--rom" && hasValue) {
            const std::string rom = argv[++i];
            if (rom.size() != 1)
                return false;
            options->romId = static_cast<unsigned char>(rom[0]);
        } else if (arg == "--status" && hasValue) {
            char *end = nullptr;
            const long status = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || end == argv[i] || status < 0 || status > 255)
                return false;
            options->status = static_cast<int>(status);
        } else if (arg == "--fault" && hasValue) {
            TDriveFault fault;
            if (!ParseDriveFault(argv[++i], &fault))
                return false;
            options->faults.push_back(fault);
        } else {
            return false;
        }
    }
    // One new trace: from a file or from a scenario.
    return !(options->newFile && options->scenario);
}

bool MakeRaw(int fd, bool setSpeed) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (setSpeed && (cfsetispeed(&t, B9600) != 0 || cfsetospeed(&t, B9600) != 0))
        return false;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

// Writes all of bytes, waiting while the line is full; gives up after two seconds of no room.
bool WriteAll(int fd, const char *bytes, std::size_t n) {
    while (n > 0) {
        const ssize_t written = write(fd, bytes, n);
        if (written > 0) {
            bytes += written;
            n -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{fd, POLLOUT, 0};
        if (poll(&p, 1, 2000) <= 0)
            return false;
    }
    return true;
}

// Sends an answer; with pace, byte k of the reply leaves at start + k byte times.
bool Send(int fd, const TDriveAnswer &answer, bool pace, long long start) {
    long long due = start;
    for (std::size_t p = 0; p < answer.pieces.size(); ++p) {
        const std::string &piece = answer.pieces[p];
        if (p > 0) {
            due = std::max(due, NowNanoseconds()) + SplitPauseNanoseconds;
            SleepUntil(due);
        }
        if (!pace) {
            if (!WriteAll(fd, piece.data(), piece.size()))
                return false;
            continue;
        }
        for (char c : piece) {
            SleepUntil(due);
            if (!WriteAll(fd, &c, 1))
                return false;
            due += ByteNanoseconds;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);

    TDriveModel drive;
    std::string error;
    int typeE = -1;
    if (options.scenario) {
        FillScenarioTrace(drive, options.scenario);
        typeE = drive.romId == 'E' ? 1 : 0;
    }
    if (options.newFile &&
        !LoadTrace(options.newFile, &drive.newImage, &drive.newHeader, &typeE, &error)) {
        std::fprintf(stderr, "vandrel-drive-sim: %s\n", error.c_str());
        return 1;
    }
    int oldTypeE = -1;
    if (options.oldFile &&
        !LoadTrace(options.oldFile, &drive.oldImage, &drive.oldHeader, &oldTypeE, &error)) {
        std::fprintf(stderr, "vandrel-drive-sim: %s\n", error.c_str());
        return 1;
    }
    // A drive has one type: the new trace's file decides, unless --rom says otherwise.
    if (typeE < 0)
        typeE = oldTypeE;
    if (typeE >= 0)
        drive.romId = typeE == 1 ? 'E' : 'V';
    if (options.romId >= 0)
        drive.romId = static_cast<std::uint8_t>(options.romId);
    if (options.status >= 0)
        drive.status = static_cast<std::uint8_t>(options.status);
    for (const auto &fault : options.faults)
        drive.AddFault(fault);

    int fd = -1;
    int slaveHold = -1;
    std::string path;
    if (options.device) {
        fd = open(options.device, O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0 || !MakeRaw(fd, true)) {
            std::fprintf(stderr, "vandrel-drive-sim: cannot open %s: %s\n", options.device,
                         std::strerror(errno));
            return 1;
        }
        path = options.device;
    } else {
        fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0 || !ptsname(fd)) {
            std::fprintf(stderr, "vandrel-drive-sim: no pseudo-terminal: %s\n",
                         std::strerror(errno));
            return 1;
        }
        path = ptsname(fd);
        // Holding the other side open keeps the line up between readers, and raw mode stops
        // the terminal from echoing or translating anything before a reader configures it.
        slaveHold = open(path.c_str(), O_RDWR | O_NOCTTY);
        if (slaveHold < 0 || !MakeRaw(slaveHold, true)) {
            std::fprintf(stderr, "vandrel-drive-sim: cannot set up %s: %s\n", path.c_str(),
                         std::strerror(errno));
            return 1;
        }
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);

    std::string line;
    long long lineStart = 0;
    char buffer[512];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0) {
            std::fprintf(stderr, "vandrel-drive-sim: line closed\n");
            break;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (line.empty())
                lineStart = NowNanoseconds();
            line += buffer[i];
            if (line.size() > 4096)
                line.erase(0, line.size() - RequestLength);
            if (buffer[i] != '\n')
                continue;
            const auto answer =
                drive.Answer(reinterpret_cast<const std::uint8_t *>(line.data()), line.size());
            // On a real line the request itself took its 17 byte times to arrive.
            const long long start =
                options.pace ? lineStart + static_cast<long long>(RequestLength) * ByteNanoseconds
                             : 0;
            line.clear();
            if (!Send(fd, answer, options.pace, start)) {
                std::fprintf(stderr, "vandrel-drive-sim: write failed: %s\n", std::strerror(errno));
                break;
            }
        }
    }
    if (slaveHold >= 0)
        close(slaveHold);
    close(fd);
    return 1;
}
