#pragma once
// Number texts of the data table: rounded fixed-point values and hexadecimal flag words.

#include <cstdint>
#include <string>
#include <string_view>

/// Significant decimal digits a formatted value keeps at most.
inline constexpr int FormatSignificantDigits = 6;

/// value rounded half away from zero to at most 6 significant digits (and to no more than
/// decimals places), written with exactly decimals places after separator; digits past the
/// sixth significant one read 0. Values with more than 6 integer digits after rounding are
/// written in exponent form ("1.23457E6", "2E6"). A value that rounds to zero has no sign.
/// separator is the user's decimal separator (UTF-8); decimals is clamped to 0..18.
std::string FormatFixed(double value, int decimals, std::string_view separator = ".");

/// Flag word as upper-case hexadecimal, at least 4 digits ("001A"); wider values keep all
/// their digits, negative ones show their 32-bit two's complement.
std::string FlagWordText(std::int32_t word);
