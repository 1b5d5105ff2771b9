#pragma once
// One text in Japanese and English, the language chosen by whoever shows it.

#include "TraceRecord.h"

#include <cstdint>

/// One text in both languages (UTF-8 literals).
struct TextPair {
    const char *japanese;
    const char *english;

    /// The Japanese text when inJapanese, else the English one.
    constexpr const char *Pick(bool inJapanese) const { return inJapanese ? japanese : english; }
    /// The text in language ('1' Japanese, anything else English).
    constexpr const char *For(std::int32_t language) const {
        return Pick(language == LanguageJapanese);
    }
};
