#include "platform/showntext.h"

namespace Pw {

namespace {

bool isControl(char16_t c)
{
    // C0, DEL and C1: C1 codes (U+0080..U+009F) are commands to many terminals too.
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

QString escaped(char16_t c)
{
    switch (c) {
    case u'\n':
        return QStringLiteral("\\n");
    case u'\r':
        return QStringLiteral("\\r");
    case u'\t':
        return QStringLiteral("\\t");
    default:
        break;
    }
    if (c <= 0xFF)
        return QStringLiteral("\\x") + QString::number(uint(c), 16).rightJustified(2, u'0');
    return QStringLiteral("\\u") + QString::number(uint(c), 16).rightJustified(4, u'0');
}

} // namespace

QString ShownName(const QString &name)
{
    qsizetype first = 0;
    while (first < name.size() && !isControl(name.at(first).unicode()))
        ++first;
    if (first == name.size())
        return name; // the usual case: nothing to copy
    QString shown = name.left(first);
    for (qsizetype at = first; at < name.size(); ++at) {
        const char16_t c = name.at(at).unicode();
        if (isControl(c))
            shown += escaped(c);
        else
            shown += QChar(c);
    }
    return shown;
}

} // namespace Pw
