#pragma once

#include <QString>

namespace Pw {

// The face older settings and the overlay default name; no Linux desktop has it.
inline const QString kSongTiFamily = QStringLiteral("宋体");

// Lets "宋体" draw with Noto Serif CJK SC, so the stored and shown face name stays "宋体".
// Call once after the application object exists.
void InstallFontSubstitutions();

} // namespace Pw
