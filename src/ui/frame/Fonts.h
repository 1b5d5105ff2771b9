#pragma once
// Font names the windows ask for, and their substitutes on machines without them.

#include <QFont>
#include <QString>

/// Window font for Japanese texts.
inline const QString JapaneseWindowFont = QStringLiteral("ＭＳ ゴシック");
/// Window font for English texts.
inline const QString EnglishWindowFont = QStringLiteral("Courier New");
/// Proportional Gothic, used by some controls.
inline const QString JapanesePGothicFont = QStringLiteral("ＭＳ Ｐゴシック");
/// Proportional Mincho, used by chart axes.
inline const QString JapanesePMinchoFont = QStringLiteral("ＭＳ Ｐ明朝");

/// Maps the names above to fonts the set-up installs (IPA, Liberation), so Japanese renders
/// on every machine. Call once after the application object exists.
void RegisterFontSubstitutions();

/// The window font name for the current Language.
QString WindowFontName();

/// A copy of base with its family set to the window font for the current Language.
QFont WindowFont(const QFont &base);
