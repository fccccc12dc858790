#pragma once

#include "naming/namingrule.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

// Option values and messages shared by `pixwright run` and `pixwright rename`.
namespace Pw {

class SharedOptions
{
    Q_DECLARE_TR_FUNCTIONS(Pw::SharedOptions)

public:
    // The separators --separator accepts, as the message lists them: ". _ - + ~ @ # | $ % ^ &".
    static QString separatorList();
    // A separator as typed: one character of the list, or a blank as " " or "空格". No value and
    // the message when it is none of those.
    static std::optional<QChar> parseSeparator(const QString &text, QString *problem);
    // The problem with a --rule text, or empty when it reads as seven digits 0/1 into rule.
    static QString parseRule(const QString &text, NamingRule &rule);
    // The problem with a --types text, or empty.
    static QString typesProblem(const QString &text);
    // Why a rule that puts nothing before the extension (GivesHiddenNames) is refused:
    // the rule's digits, then HiddenNamesWarning.
    static QString hiddenNamesRefusal(const NamingRule &rule);
    // The --help lines of the seven rule digits.
    static QString ruleDigitsHelp();
};

} // namespace Pw
