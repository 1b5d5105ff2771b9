#pragma once
// What each bit of the four flag words means: the text of the flag explanation windows.

#include <cstdint>
#include <string>
#include <vector>

/// Line of the explanation that depends on the drive type (bit 10 of the second fault word).
inline constexpr int DriveTypeLine = 29;
/// Replacement of that line for a type E drive, in both languages.
inline constexpr const char *TypeEBit10Text = "BIT10:PG Error";

/// The explanation text, one entry per line (UTF-8): Japanese (58 lines, the last one empty)
/// or English (57 lines); line 29 reads TypeEBit10Text when driveTypeE is 1.
std::vector<std::string> FlagExplanationLines(bool japanese, std::int32_t driveTypeE);
