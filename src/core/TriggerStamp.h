#pragma once
// The trigger point and the trip time stamp as the graph window and the CLI show them.

#include <cstdint>
#include <string>

/// Which of the two clocks in the header a stamp is taken from.
enum class StampClock { Setnvop, HostCpu };

/// Trigger point and one time stamp, formatted.
struct TriggerStamp {
    std::string Point; ///< decimal 100 - Header[0]
    std::string Date;  ///< "20yy/mm/dd", or "0000/00/00" when a field is out of range
    std::string Time;  ///< "hh:mm", or "00:00" when a field is out of range
};

/// Formats the trigger point and the chosen clock's stamp from the 11 header values.
TriggerStamp FormatTriggerStamp(const std::int32_t (&header)[11], StampClock clock);
