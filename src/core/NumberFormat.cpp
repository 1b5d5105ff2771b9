#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// The significant decimal digits of a positive finite value and the power of ten of the first
// one: value = 0.d1d2d3... * 10^(pointPos).
struct Decimal {
    std::string digits;
    int pointPos = 0;
};

Decimal ToDecimal(double magnitude, int precision) {
    // Scientific form "d.ddddde±x"; the largest exact expansion of a double has 767 digits.
    char buffer[800];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, precision);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const auto e = text.find('e');
    Decimal decimal;
    for (char ch : text.substr(0, e))
        if (ch != '.')
            decimal.digits.push_back(ch);
    int exponent = 0;
    const auto exponentText = text.substr(e + 1);
    const char *first = exponentText.data();
    if (*first == '+')
        ++first;
    std::from_chars(first, exponentText.data() + exponentText.size(), exponent);
    decimal.pointPos = exponent + 1;
    return decimal;
}

// True when the digits from index keep on read exactly 5000...: a tie whose side only the
// exact expansion can tell.
bool LooksLikeTie(const std::string &digits, std::size_t keep) {
    if (keep >= digits.size() || digits[keep] != '5')
        return false;
    return std::all_of(digits.begin() + static_cast<std::ptrdiff_t>(keep) + 1, digits.end(),
                       [](char ch) { return ch == '0'; });
}

} // namespace

std::string FormatFixed(double value, int decimals, std::string_view separator) {
    decimals = std::clamp(decimals, 0, 18);
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";

    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);

    // Rounded digits: kept holds the significant digits, pointPos the power of ten above the
    // first one. An empty kept means the value rounds to zero.
    std::string kept;
    int pointPos = 0;
    if (magnitude != 0.0) {
        // Seventeen digits decide the rounding unless they show an exact tie; then the full
        // expansion does, so that ties go away from zero and near-ties go the right way.
        Decimal decimal = ToDecimal(magnitude, 16);
        int keep = std::min(FormatSignificantDigits, decimal.pointPos + decimals);
        if (keep >= 0 && LooksLikeTie(decimal.digits, static_cast<std::size_t>(keep)))
            decimal = ToDecimal(magnitude, 790);
        keep = std::min(FormatSignificantDigits, decimal.pointPos + decimals);
        if (keep >= 0) {
            const auto keepSize = static_cast<std::size_t>(keep);
            kept = decimal.digits.substr(0, keepSize);
            pointPos = decimal.pointPos;
            const bool roundUp =
                keepSize < decimal.digits.size() && decimal.digits[keepSize] >= '5';
            if (roundUp) {
                int i = keep - 1;
                while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
                    kept[static_cast<std::size_t>(i--)] = '0';
                if (i >= 0) {
                    ++kept[static_cast<std::size_t>(i)];
                } else {
                    // All nines (or nothing kept at all): the value grows by one decade.
                    kept.insert(kept.begin(), '1');
                    ++pointPos;
                    if (kept.size() > 1)
                        kept.pop_back();
                }
            }
            const auto lastNonZero = kept.find_last_not_of('0');
            if (lastNonZero == std::string::npos)
                kept.clear();
            else
                kept.erase(lastNonZero + 1);
        }
    }

    std::string text;
    if (negative && !kept.empty())
        text.push_back('-');

    if (!kept.empty() && pointPos > FormatSignificantDigits) {
        // Exponent form: "d[.ddddd]E<exponent>".
        text.push_back(kept[0]);
        if (kept.size() > 1) {
            text.append(separator);
            text.append(kept, 1);
        }
        text.push_back('E');
        text.append(std::to_string(pointPos - 1));
        return text;
    }

    // Fixed form: integer digits (at least one), then exactly decimals places.
    auto digitAt = [&](int power) -> char {
        // Digit of 10^power in the rounded value.
        const int index = pointPos - 1 - power;
        if (index < 0 || index >= static_cast<int>(kept.size()))
            return '0';
        return kept[static_cast<std::size_t>(index)];
    };
    const int topPower = kept.empty() ? 0 : std::max(0, pointPos - 1);
    for (int power = topPower; power >= 0; --power)
        text.push_back(digitAt(power));
    if (decimals > 0) {
        text.append(separator);
        for (int power = -1; power >= -decimals; --power)
            text.push_back(digitAt(power));
    }
    return text;
}

std::string FlagWordText(std::int32_t word) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<std::uint32_t>(word));
    return buffer;
}
