#include "cli/sharedoptions.h"

#include "platform/sourceselection.h"

#include <QStringList>

namespace Pw {

QString SharedOptions::separatorList()
{
    QStringList list;
    for (int i = 0; i < kSeparatorEntryCount; ++i) {
        const QChar c = SeparatorOfEntry(i);
        if (c != u' ' && !list.contains(QString(c)))
            list << QString(c);
    }
    return list.join(u' ');
}

std::optional<QChar> SharedOptions::parseSeparator(const QString &text, QString *problem)
{
    if (text == QStringLiteral("空格") || text == u" ")
        return QChar(u' ');
    if (text.size() == 1 && SeparatorIndexOf(text.at(0)) >= 0)
        return text.at(0);
    *problem = tr("“%1”不是可用的间隔符号；可用的有 %2 和空格（写作“空格”或\" \"）")
                       .arg(text, separatorList());
    return std::nullopt;
}

QString SharedOptions::parseRule(const QString &text, NamingRule &rule)
{
    if (ParseNamingFlagsStrict(text, rule))
        return QString();
    return tr("“%1”不可用；请给出七位 0 或 1，例如 0101001").arg(text);
}

QString SharedOptions::typesProblem(const QString &text)
{
    if (ParsePictureTypes(text))
        return QString();
    return tr("“%1”不可用；请给出 jpg、png、bmp、heic、avif、webp、tiff 中的一个或几个，以逗号分隔")
            .arg(text);
}

QString SharedOptions::hiddenNamesRefusal(const NamingRule &rule)
{
    //: The rule's seven digits, then why it is refused; the colon follows the language.
    return tr("%1：%2").arg(NamingFlagsText(rule), HiddenNamesWarning());
}

QString SharedOptions::ruleDigitsHelp()
{
    return tr("命名规则的七位数字依次打开以下名称部分（1 打开，0 关闭）：\n"
              "  1 序号  2 像素尺寸  3 数码照片 D 或普通图片 N（需保留数码信息）\n"
              "  4 保存质量（改名时不适用）  5 修改时间  6 拍摄时间  7 原文件名\n");
}

} // namespace Pw
