#pragma once

#include <QString>

namespace Pw {

// The folder of the running executable, ending with '/'. It holds pwReadSM, 演示/ and pic/.
QString AppFolder();

// Tests and tools that do not run from the app folder can name it.
void SetAppFolder(const QString &folder);

// The demo folder "演示" beside the executable, ending with '/'.
QString DemoFolder();

// The mode illustrations folder "pic" beside the executable, ending with '/'.
QString IllustrationFolder();

// Appends '/' unless the path already ends with one (or is empty).
QString WithTrailingSlash(const QString &path);

} // namespace Pw
