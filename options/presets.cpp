#include "options/presets.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace Pw {

namespace {

// 300 dpi pixel numbers of common print and identity-photo sizes, in the list's order. Each is
// the print size in centimetres x 300 / 2.54, rounded (the 18-inch print is 5400 x 3600).
constexpr std::array<const char16_t *, kPresetCount> kPresets = {
        u"一寸照片 3.81cm*2.54cm|450|300",       u"小一寸照片 3.2cm*2.2cm|378|260",
        u"大一寸照片 4.8cm*3.3cm|567|390",       u"二寸照片 5.08cm*3.81cm|600|450",
        u"小二寸照片 4.5cm*3.5cm|531|413",       u"大二寸照片 5.3cm*3.5cm|626|413",
        u"四寸照片 10.16cm*7.62cm|1200|900",     u"五寸照片 12.7cm*8.89cm|1500|1050",
        u"六寸照片 15.24cm*10.16cm|1800|1200",   u"全景6寸照片 15.24cm*11.43cm|1800|1350",
        u"七寸照片 17.78cm*12.7cm|2100|1500",    u"八寸照片 20.32cm*15.24cm|2400|1800",
        u"十寸照片 25.4cm*20.32cm|3000|2400",    u"十二寸照片 30.48cm*25.4cm|3600|3000",
        u"十四寸照片 35.56cm*30.48cm|4200|3600", u"16寸照片 40.64cm*30.48cm|4800|3600",
        u"十八寸照片 45.72cm*30.48cm|5400|3600", u"20照片 50.8cm*40.64cm|6000|4800",
        u"24寸照片 60.96cm*50.8cm|7200|6000",    u"30寸照片 76.2cm*60.96cm|9000|7200",
        u"36寸照片 91.44cm*60.96cm|10800|7200",  u"40寸照片 101.6cm*76.2cm|12000|9000",
        u"一代身份证照片 2.2cm*3.2cm|260|378",   u"二代身份证照片 2.6cm*3.2cm|307|378",
        u"驾驶证照片 2.2cm*3.2cm|260|378",       u"黑白小一寸照片 2.2cm*3.2cm|260|378",
        u"彩色小一寸照片 2.7cm*3.8cm|319|449",   u"彩色大一寸照片 4cm*5.5cm|472|650",
        u"护照照片 3.3cm*4.8cm|390|567",         u"签证照片 3.3cm*4.8cm|390|567",
        u"学位证照片 3.3cm*4.8cm|390|567",       u"毕业证照片 3.3cm*4.8cm|390|567",
};

// The names of the presets as the list shows them, in another language too; the table above
// keeps its own text.
constexpr std::array<const char *, kPresetCount> kPresetNames = {
        QT_TRANSLATE_NOOP("Pw::Presets", "一寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "小一寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "大一寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "二寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "小二寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "大二寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "四寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "五寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "六寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "全景6寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "七寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "八寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "十寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "十二寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "十四寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "16寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "十八寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "20照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "24寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "30寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "36寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "40寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "一代身份证照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "二代身份证照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "驾驶证照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "黑白小一寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "彩色小一寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "彩色大一寸照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "护照照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "签证照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "学位证照片"),
        QT_TRANSLATE_NOOP("Pw::Presets", "毕业证照片"),
};

} // namespace

QString PresetText(int index)
{
    if (index < 1 || index > kPresetCount)
        return QString();
    return QString::fromUtf16(kPresets[size_t(index - 1)]);
}

std::optional<PresetSize> PresetPick(int index)
{
    const QStringList parts = PresetText(index).split(u'|');
    if (parts.size() != 3)
        return std::nullopt;
    const int a = parts.at(1).toInt();
    const int b = parts.at(2).toInt();
    return PresetSize{std::max(a, b), std::min(a, b)};
}

QStringList PresetListItems()
{
    QStringList items{QCoreApplication::translate("Pw::Presets", "我自己输入宽和高尺寸")};
    const QString printing = QCoreApplication::translate("Pw::Presets", "相片冲印");
    for (int index = 1; index <= kPresetCount; ++index) {
        const QString size = PresetText(index).section(u'|', 0, 0).section(u' ', 1);
        const QString name = QCoreApplication::translate("Pw::Presets",
                                                         kPresetNames[size_t(index - 1)]);
        items << (printing + QStringLiteral("%1.%2 %3"))
                         .arg(index, 2, 10, QLatin1Char('0'))
                         .arg(name, size);
    }
    return items;
}

} // namespace Pw
