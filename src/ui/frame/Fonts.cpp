#include "Fonts.h"

#include "TraceRecord.h"
#include "WindowState.h"

#include <QStringList>

void RegisterFontSubstitutions() {
    QFont::insertSubstitutions(JapaneseWindowFont,
                               {QStringLiteral("IPAGothic"), QStringLiteral("MS Gothic")});
    QFont::insertSubstitutions(JapanesePGothicFont,
                               {QStringLiteral("IPAPGothic"), QStringLiteral("MS PGothic")});
    QFont::insertSubstitutions(JapanesePMinchoFont,
                               {QStringLiteral("IPAPMincho"), QStringLiteral("MS PMincho")});
    // Liberation Mono is metric-compatible with Courier New; IPA Gothic covers the Japanese
    // texts that English windows still show (channel names typed by the user, for instance).
    QFont::insertSubstitutions(EnglishWindowFont,
                               {QStringLiteral("Liberation Mono"), QStringLiteral("IPAGothic")});
}

QString WindowFontName() {
    return IsJapanese() ? JapaneseWindowFont : EnglishWindowFont;
}

QFont WindowFont(const QFont &base) {
    QFont font(base);
    font.setFamily(WindowFontName());
    return font;
}
