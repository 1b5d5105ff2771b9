#pragma once
// A window text in Japanese and English, chosen by Language when it is shown.

#include "TextPair.h"
#include "WindowState.h"

#include <QString>

/// One text in both languages (UTF-8 literals): the same type the core's texts use.
using Caption = TextPair;

/// The Japanese or the English text of caption.
inline QString Pick(const Caption &caption, bool japanese) {
    return QString::fromUtf8(caption.Pick(japanese));
}

/// The text of caption in the Language of this moment.
inline QString Pick(const Caption &caption) {
    return Pick(caption, IsJapanese());
}
