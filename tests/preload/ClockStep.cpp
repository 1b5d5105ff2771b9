// Loaded with LD_PRELOAD, makes the system's time jump while a program runs, as when the time
// is set by hand or corrected by a time server: every CLOCK_STEP_EVERY_MS milliseconds the
// wall clock (CLOCK_REALTIME, time, gettimeofday) moves by CLOCK_STEP_SECONDS more (negative:
// back). The monotonic clock is left alone.

#include <dlfcn.h>
#include <sys/time.h>
#include <time.h>

#include <cstdlib>

namespace {

using ClockGetTime = int (*)(clockid_t, timespec *);

ClockGetTime RealClockGetTime() {
    static const auto real = reinterpret_cast<ClockGetTime>(dlsym(RTLD_NEXT, "clock_gettime"));
    return real;
}

long long MonotonicMilliseconds() {
    timespec t{};
    RealClockGetTime()(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

long long EnvNumber(const char *name, long long fallback) {
    const char *text = std::getenv(name);
    return text && *text ? std::atoll(text) : fallback;
}

// Seconds the wall clock is off by now.
long long Offset() {
    static const long long start = MonotonicMilliseconds();
    static const long long every = EnvNumber("CLOCK_STEP_EVERY_MS", 500);
    static const long long step = EnvNumber("CLOCK_STEP_SECONDS", 3600);
    if (every <= 0)
        return 0;
    return (MonotonicMilliseconds() - start) / every * step;
}

bool IsWallClock(clockid_t id) {
    return id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE;
}

} // namespace

extern "C" {

int clock_gettime(clockid_t id, timespec *t) noexcept {
    const int result = RealClockGetTime()(id, t);
    if (result == 0 && IsWallClock(id))
        t->tv_sec += static_cast<time_t>(Offset());
    return result;
}

time_t time(time_t *out) noexcept {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    if (out)
        *out = t.tv_sec;
    return t.tv_sec;
}

int gettimeofday(timeval *tv, void *) noexcept {
    timespec t{};
    const int result = clock_gettime(CLOCK_REALTIME, &t);
    tv->tv_sec = t.tv_sec;
    tv->tv_usec = static_cast<suseconds_t>(t.tv_nsec / 1000);
    return result;
}
}
