#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Pw {

UiLanguage UiLanguageOf(const QString &lcAll, const QString &lcMessages, const QString &lang)
{
    QString setting = lcAll;
    if (setting.isEmpty())
        setting = lcMessages;
    if (setting.isEmpty())
        setting = lang;
    const QString language = setting.section(u'.', 0, 0).section(u'@', 0, 0);
    if (language == u"en" || language.startsWith(QStringLiteral("en_")))
        return UiLanguage::English;
    return UiLanguage::Chinese;
}

UiLanguage UiLanguageFromEnvironment()
{
    return UiLanguageOf(qEnvironmentVariable("LC_ALL"), qEnvironmentVariable("LC_MESSAGES"),
                        qEnvironmentVariable("LANG"));
}

UiLanguage InstallTranslations(QCoreApplication &app, UiLanguage language)
{
    auto *translator = new QTranslator(&app);
    const bool loaded = language == UiLanguage::English
                                ? translator->load(QStringLiteral(":/i18n/pixwright_en.qm"))
                                : translator->load(
                                        QLocale(QLocale::Chinese, QLocale::China),
                                        QStringLiteral("qtbase"), QStringLiteral("_"),
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // A missing Qt translation leaves Qt's English button texts; nothing else depends on it.
    if (loaded)
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    return language;
}

} // namespace Pw
