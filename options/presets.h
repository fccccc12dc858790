#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace Pw {

// The photo print and identity-photo sizes of step 2's list Combo1 (pixels at 300 dpi).
inline constexpr int kPresetCount = 32;

// "name size|a|b" for index 1..32, e.g. "一寸照片 3.81cm*2.54cm|450|300"; the empty text for
// any other index.
QString PresetText(int index);

// The sizes a pick of the preset fills in: the larger number as width, the smaller as height
// (the table's order does not matter). No value for an index outside 1..32.
struct PresetSize
{
    int width = 0;
    int height = 0;
};
std::optional<PresetSize> PresetPick(int index);

// The 33 items of Combo1: item 0 "我自己输入宽和高尺寸", item i "相片冲印" + two-digit i + "." +
// the preset's text before the first '|'.
QStringList PresetListItems();

} // namespace Pw
