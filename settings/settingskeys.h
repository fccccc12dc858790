#pragma once

#include <QString>

// Every section and key of Set.ini, spelled out here and nowhere else.
namespace Pw::Keys {

// Sections.
inline const QString kSectionSelected = QStringLiteral("已选择");
inline const QString kSectionOpenPath = QStringLiteral("默认打开路径");

// Section "默认打开路径".
inline const QString kSourceFolder = QStringLiteral("目录位置");

// Section "已选择": step 1.
inline const QString kKeepCamera = QStringLiteral("保留数码信息");
inline const QString kFilter = QStringLiteral("FILTER");
inline const QString kFilterJpg = QStringLiteral("FILTER1");
inline const QString kFilterPng = QStringLiteral("FILTER2");
inline const QString kFilterBmp = QStringLiteral("FILTER3");
inline const QString kFilterOther = QStringLiteral("FILTER4");

// Step 3 and the naming rule.
inline const QString kSaveQuality = QStringLiteral("保存质量");
inline const QString kBackgroundColour = QStringLiteral("背景色");
inline const QString kOutputFolder = QStringLiteral("输出位置"); // results go below it
inline const QString kRenameSeparator = QStringLiteral("重命名间隔");
inline const QString kRenameRule = QStringLiteral("重命名");

// Report dialog.
inline const QString kNextMove = QStringLiteral("去");
inline const QString kOpenResultFolder = QStringLiteral("CK1");
inline const QString kResultAsSource = QStringLiteral("CK2");

// Step 2.
inline const QString kFitMode = QStringLiteral("处理方式FS");
inline const QString kEdgeChoice = QStringLiteral("处理方式30");
inline const QString kEdgeLength = QStringLiteral("处理方式31");
inline const QString kScalePercent = QStringLiteral("处理方式50");
inline const QString kPercentFloor = QStringLiteral("处理方式51");
inline const QString kPercentCap = QStringLiteral("处理方式52");
inline const QString kPresetIndex = QStringLiteral("冲印IDX");
inline const QString kAddText = QStringLiteral("加文字");
inline const QString kOverlayText = QStringLiteral("文字");
inline const QString kTextColour = QStringLiteral("文字色");
inline const QString kTextBackColour = QStringLiteral("背景色反白");

} // namespace Pw::Keys
