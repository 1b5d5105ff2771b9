#pragma once
// A window text in Japanese and English, chosen by Language when it is shown.

#include "TraceRecord.h"

#include <QString>

/// One text in both languages (UTF-8 literals).
struct Caption {
    const char *japanese;
    const char *english;
};

/// The Japanese or the English text of caption.
inline QString Pick(const Caption &caption, bool japanese) {
    return QString::fromUtf8(japanese ? caption.japanese : caption.english);
}

/// The text of caption in the Language of this moment.
inline QString Pick(const Caption &caption) { return Pick(caption, IsJapanese()); }
