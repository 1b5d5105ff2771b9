#include "TriggerStamp.h"

namespace {

std::string TwoDigits(std::int32_t v) {
    // Only one-digit numbers get a leading zero; ranges were checked before.
    std::string text = std::to_string(v);
    return text.size() == 1 ? "0" + text : text;
}

} // namespace

TriggerStamp FormatTriggerStamp(const std::int32_t (&header)[11], StampClock clock) {
    TriggerStamp stamp;
    stamp.Point = std::to_string(100LL - header[0]);
    const int base = clock == StampClock::Setnvop ? 1 : 6;
    const std::int32_t y = header[base], mo = header[base + 1], d = header[base + 2];
    const std::int32_t h = header[base + 3], mi = header[base + 4];
    // Hour 24 is accepted and the day is not checked against the month, as the drive writes it.
    const bool valid = y >= 0 && y <= 99 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 &&
                       h <= 24 && mi >= 0 && mi <= 59;
    if (valid) {
        stamp.Date = "20" + TwoDigits(y) + "/" + TwoDigits(mo) + "/" + TwoDigits(d);
        stamp.Time = TwoDigits(h) + ":" + TwoDigits(mi);
    } else {
        stamp.Date = "0000/00/00";
        stamp.Time = "00:00";
    }
    return stamp;
}
