#include "platform/fonts.h"

#include <QFont>

namespace Pw {

void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(kSongTiFamily, {QStringLiteral("Noto Serif CJK SC"),
                                               QStringLiteral("Noto Serif CJK"),
                                               QStringLiteral("Noto Sans CJK SC")});
}

} // namespace Pw
