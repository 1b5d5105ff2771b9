#pragma once
// What the trace-file commands of vandrel-trace share: loading a file and showing values.

#include "TraceCsv.h"

#include <cstdint>
#include <string>

/// A trace file as the commands see it: a .vnb file's values are engineering units already.
using CommandTrace = TraceUnits;

/// Loads path; on failure prints the message (file and line, in language) on stderr and returns
/// false.
bool LoadCommandTrace(const char *path, CommandTrace &trace,
                      std::int32_t language = LanguageEnglish);
/// Same, handing the message (file and line, possibly several lines) to the caller instead.
bool LoadCommandTrace(const char *path, CommandTrace &trace, std::string *error,
                      std::int32_t language = LanguageEnglish);

/// Shortest text that reads back as the same float; '.' as decimal point in every locale.
std::string FloatText(float value);

/// value with exactly decimals digits after the '.', in every locale.
std::string FixedText(float value, int decimals);
