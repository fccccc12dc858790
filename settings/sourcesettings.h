#pragma once

#include "platform/sourceselection.h"

#include <QString>
#include <QtGlobal>

namespace Pw {

// Step 1's remembered choices, read as its start-up reads them. Every function here takes the
// settings file; the empty text means the default settings file.
struct SourceChoices
{
    QString pattern;             // the listing pattern: "FILTER", or kDefaultPicturePattern
    bool jpg = true;             // Chkjpg, Chkpng, Chkbmp: all on when no pattern is stored,
    bool png = true;             // else each exactly when its key is "1"
    bool bmp = true;             //
    bool other = false;          // Chkother: "FILTER4" is "1" (HEIC, AVIF, WebP, TIFF)
    QString rememberedFolder;    // "目录位置" as stored, "" when none
    QString folder;              // the folder to list (ChooseSourceFolder of the above), '/'
    bool keepCamera = false;     // "保留数码信息" is "1"
    qint32 backgroundColour = 0; // "背景色" when it is a number, else black

    // The types the listing shows. They follow the stored pattern, not the switches: unticking
    // every type stores the switches but keeps the last pattern, which the next start lists by.
    // The fourth switch adds the other types; when it is the only one on, they alone are
    // listed (the pattern then is a leftover of switches the user turned off).
    PictureTypes listedTypes() const;
};

SourceChoices LoadSourceChoices(const QString &settingsFile = QString());

// "目录位置" as stored (the folder chooser's starting folder).
QString LoadSourceFolder(const QString &settingsFile = QString());
// Stores a chosen folder under "目录位置", with a trailing '/' added when missing.
bool StoreSourceFolder(const QString &folder, const QString &settingsFile = QString());
// "保留数码信息" = "1" / "0".
bool StoreKeepCamera(bool on, const QString &settingsFile = QString());
// After a click of a type switch: "FILTER" (their pattern, left as it was when no type is on,
// since an empty value is never stored), then "FILTER1", "FILTER2", "FILTER3" as "1" / "0".
void StorePictureTypes(bool jpg, bool png, bool bmp, const QString &settingsFile = QString());
// After a click of the fourth switch: "FILTER4" = "1" / "0". "FILTER" is left alone.
bool StoreOtherPictureTypes(bool on, const QString &settingsFile = QString());

// "背景色", shared by the step-1 preview and step 3: a number, else black (0).
qint32 LoadBackgroundColour(const QString &settingsFile = QString());
bool StoreBackgroundColour(qint32 bgr, const QString &settingsFile = QString());

} // namespace Pw
