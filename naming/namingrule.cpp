#include "naming/namingrule.h"

#include "settings/inistore.h"
#include "settings/settingskeys.h"

#include <QCoreApplication>

namespace Pw {

namespace {

constexpr char16_t kSeparatorChars[kSeparatorEntryCount] = {
        u'.', u'_', u'-', u'+', u'~', u'@', u'#', u'|', u'$', u'%', u'^', u'&', u'$', u' '};

// The translation context of this file's texts.
struct RuleText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::NamingRule)
};

} // namespace

bool NamingRule::isOn(int option) const
{
    return option >= 1 && option <= kNamingOptionCount && NamingFlags[option - 1] == 1;
}

void NamingRule::setOn(int option, bool on)
{
    if (option >= 1 && option <= kNamingOptionCount)
        NamingFlags[option - 1] = on ? 1 : 0;
}

QStringList SeparatorEntries()
{
    QStringList entries;
    const QString prefix = RuleText::tr("间隔符号 ");
    for (int i = 0; i < kSeparatorEntryCount - 1; ++i)
        entries << prefix + QChar(kSeparatorChars[i]);
    entries << prefix + RuleText::tr("空格");
    return entries;
}

QChar SeparatorOfEntry(int index)
{
    if (index < 0 || index >= kSeparatorEntryCount)
        index = 0;
    return QChar(kSeparatorChars[index]);
}

int SeparatorIndexOf(QChar c)
{
    for (int i = 0; i < kSeparatorEntryCount; ++i) {
        if (QChar(kSeparatorChars[i]) == c)
            return i;
    }
    return -1;
}

int ParseSeparatorIndex(const QString &stored)
{
    bool ok = false;
    const int index = stored.trimmed().toInt(&ok);
    return ok && index >= 0 && index < kSeparatorEntryCount ? index : 0;
}

std::array<int, kNamingOptionCount> ParseNamingFlags(const QString &stored)
{
    if (stored.size() < kNamingOptionCount)
        return NamingRule().NamingFlags;
    std::array<int, kNamingOptionCount> flags{};
    for (int i = 0; i < kNamingOptionCount; ++i)
        flags[i] = stored.at(i) == u'1' ? 1 : 0;
    return flags;
}

QString NamingFlagsText(const NamingRule &rule)
{
    QString text;
    for (int flag : rule.NamingFlags)
        text += flag == 1 ? u'1' : u'0';
    return text;
}

bool ParseNamingFlagsStrict(const QString &text, NamingRule &rule)
{
    if (text.size() != kNamingOptionCount)
        return false;
    for (QChar c : text) {
        if (c != u'0' && c != u'1')
            return false;
    }
    rule.NamingFlags = ParseNamingFlags(text);
    return true;
}

int LoadSeparatorIndex(const QString &settingsFile)
{
    return ParseSeparatorIndex(
            ReadIni(Keys::kSectionSelected, Keys::kRenameSeparator, settingsFile));
}

NamingRule LoadNamingRule(const QString &settingsFile)
{
    NamingRule rule;
    rule.NamingSeparator = SeparatorOfEntry(LoadSeparatorIndex(settingsFile));
    rule.NamingFlags = ParseNamingFlags(
            ReadIni(Keys::kSectionSelected, Keys::kRenameRule, settingsFile));
    return rule;
}

bool StoreNamingFlags(const NamingRule &rule, const QString &settingsFile)
{
    return WriteIni(Keys::kSectionSelected, Keys::kRenameRule, NamingFlagsText(rule), settingsFile);
}

bool StoreSeparatorIndex(int index, const QString &settingsFile)
{
    if (index < 0 || index >= kSeparatorEntryCount)
        return false;
    return WriteIni(Keys::kSectionSelected, Keys::kRenameSeparator, QString::number(index),
                    settingsFile);
}

QString NamingOptionLabel(int index, bool renameOnlyMode)
{
    switch (index) {
    case 0:
        return RuleText::tr("1.添加序号");
    case 1:
        return RuleText::tr("2.文件名包括像素值");
    case 2:
        return RuleText::tr("3.区分出数码照片(D)与普通图片(N)");
    case 3:
        return renameOnlyMode ? RuleText::tr("4.添加保存质量(如Q85),不适用于更名")
                              : RuleText::tr("4.添加保存质量(如Q85)");
    case 4:
        return RuleText::tr("5.数码相片普通图片最后修改时间");
    case 5:
        return RuleText::tr("6.数码相片拍摄时间，普通图片最后修改时间");
    case 6:
        return RuleText::tr("7.包括原文件名");
    default:
        return QString();
    }
}

bool PhotoLetterAllowed(bool renameOnlyMode, bool keepCamera)
{
    return renameOnlyMode || keepCamera;
}

bool ApplyPhotoLetterGuard(NamingRule &rule, bool renameOnlyMode, bool keepCamera)
{
    if (!rule.isOn(3) || PhotoLetterAllowed(renameOnlyMode, keepCamera))
        return false;
    rule.setOn(3, false);
    return true;
}

QString PhotoLetterWarning()
{
    return RuleText::tr(
            "请先勾选第一步中【处理后保留数码相机拍摄照片所记录的信息】后，此项才能生效！");
}

NamingRule EffectiveNamingRule(NamingRule rule, bool renameOnlyMode, bool keepCamera)
{
    ApplyPhotoLetterGuard(rule, renameOnlyMode, keepCamera);
    return rule;
}

bool PhotoLetterLeftOut(const NamingRule &rule, bool renameOnlyMode, bool keepCamera)
{
    return rule.isOn(3) && !PhotoLetterAllowed(renameOnlyMode, keepCamera);
}

QString PhotoLetterLeftOutNote()
{
    return RuleText::tr("命名规则中的“3.区分出数码照片(D)与普通图片(N)”只在保留数码信息时生效："
                        "不保留时，新文件名中不含D或N。");
}

bool GivesHiddenNames(const NamingRule &rule, bool renameOnlyMode)
{
    for (int option = 1; option <= kNamingOptionCount; ++option)
        if (rule.isOn(option) && !(option == 4 && renameOnlyMode))
            return false;
    return true;
}

QString HiddenNamesWarning()
{
    return RuleText::tr("请至少勾选一项命名内容（改名时“4.添加保存质量”不算在内），"
                        "否则新文件都将名为“.jpg”，成为看不见的隐藏文件！");
}

} // namespace Pw
