#pragma once

#include <QString>

class QCoreApplication;

namespace Pw {

// The language of the program's texts. Chinese is the language they are written in; English
// comes from translations/pixwright_en.ts, built into the program.
enum class UiLanguage { Chinese, English };

// The language a locale setting asks for, read as the C library reads it: LC_ALL, else
// LC_MESSAGES, else LANG (the first that is set and not empty). English for "en" and "en_*";
// Chinese for everything else, zh_*, C and POSIX included.
UiLanguage UiLanguageOf(const QString &lcAll, const QString &lcMessages, const QString &lang);
UiLanguage UiLanguageFromEnvironment();

// Installs the translators for language on app: the program's English texts, or, for Chinese,
// Qt's own Chinese texts (qtbase_zh_CN.qm: 是(Y)/否(N) on message boxes, the file and font
// dialogs, QCommandLineParser's messages). The program and its command lines follow the
// environment; screenshots and benchmarks ask for Chinese. Call once, after the application
// object exists.
UiLanguage InstallTranslations(QCoreApplication &app,
                               UiLanguage language = UiLanguageFromEnvironment());

} // namespace Pw
