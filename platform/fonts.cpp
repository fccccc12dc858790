#include "platform/fonts.h"

#include <QFont>
#include <QStringList>

namespace Pw {

void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(kSongTiFamily, QStringList{QStringLiteral("Noto Serif CJK SC"),
                                                          QStringLiteral("Noto Serif CJK"),
                                                          QStringLiteral("Noto Sans CJK SC")});
}

} // namespace Pw
