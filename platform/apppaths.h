#pragma once

#include <QString>

namespace Pw {

// The product's name: the title of every message box and the banner's word.
inline QString ProductName()
{
    return QStringLiteral("Pixwright");
}

// The folder of the running executable, ending with '/'.
QString AppFolder();

// Tests and tools that do not run from the app folder can name it.
void SetAppFolder(const QString &folder);

// Installed (`cmake --install`, the .deb), the executable sits in <prefix>/bin with its data in
// <prefix>/share/pixwright/ and pwReadSM in <prefix>/libexec/pixwright/; in the build tree all
// of them sit in one folder. The program counts as installed when that data folder exists
// relative to the executable.
bool RunsInstalled();

// The folder holding 演示/ and pic/, ending with '/': the installed data folder, else the app
// folder.
QString DataFolder();

// pwReadSM: in the installed tool folder when it is there, else beside the executable.
QString CameraToolPath();

// The demo folder "演示" of the data folder, ending with '/'.
QString DemoFolder();

// The mode illustrations folder "pic" of the data folder, ending with '/'.
QString IllustrationFolder();

// Appends '/' unless the path already ends with one (or is empty).
QString WithTrailingSlash(const QString &path);

} // namespace Pw
