#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <array>

namespace Pw {

inline constexpr int kNamingOptionCount = 7;
inline constexpr int kSeparatorEntryCount = 14;

// Which components make up a new file name, and the character between them.
struct NamingRule
{
    // One state per option 1..7 (index 0..6): 0 off, 1 on. Default: options 2, 4 and 7.
    std::array<int, kNamingOptionCount> NamingFlags{0, 1, 0, 1, 0, 0, 1};
    QChar NamingSeparator = u'.';

    // option is 1..7, as the dialog numbers them; any other number is off.
    bool isOn(int option) const;
    void setOn(int option, bool on);
    bool operator==(const NamingRule &other) const = default;
};

// The 14 entries of the separator list, "间隔符号 ." ... "间隔符号 空格" (two "$" entries).
QStringList SeparatorEntries();

// The separator an entry gives: a blank for the last entry, else the entry's last character.
// An index outside the list gives entry 0 (".").
QChar SeparatorOfEntry(int index);

// The first list index whose separator is c, or -1.
int SeparatorIndexOf(QChar c);

// The stored index text ("重命名间隔") as a list index: not a number or out of range gives 0.
int ParseSeparatorIndex(const QString &stored);

// The stored flags text ("重命名"): with at least seven characters, option i is on when
// character i is "1"; anything shorter (or absent) gives the default options 2, 4 and 7.
std::array<int, kNamingOptionCount> ParseNamingFlags(const QString &stored);

// The seven digits stored under "重命名", e.g. "0101001".
QString NamingFlagsText(const NamingRule &rule);

// Strict parse of seven "0"/"1" digits (the command line's --rule); false for anything else.
bool ParseNamingFlagsStrict(const QString &text, NamingRule &rule);

// The rule as remembered in the settings file (empty file: the default settings file).
NamingRule LoadNamingRule(const QString &settingsFile = QString());
int LoadSeparatorIndex(const QString &settingsFile = QString());
// Stores the flags under "重命名" (the dialog's OK) / the list index under "重命名间隔".
bool StoreNamingFlags(const NamingRule &rule, const QString &settingsFile = QString());
bool StoreSeparatorIndex(int index, const QString &settingsFile = QString());

// The label of option i (0..6) in the naming dialog; option 4 says it does not apply to renaming.
QString NamingOptionLabel(int index, bool renameOnlyMode);

// The photo letter only means something in a result when its camera information is kept, so
// outside rename-only mode option 3 may be on only with step 1's keep-camera switch on.
bool PhotoLetterAllowed(bool renameOnlyMode, bool keepCamera);

// Applies that guard to a rule: turns option 3 off and answers true when it had to (the dialog
// then shows PhotoLetterWarning()).
bool ApplyPhotoLetterGuard(NamingRule &rule, bool renameOnlyMode, bool keepCamera);
QString PhotoLetterWarning();

// The rule a run applies: the stored rule with that guard applied. The step-3 summary, the
// report and the file names all describe this one.
NamingRule EffectiveNamingRule(NamingRule rule, bool renameOnlyMode, bool keepCamera);
// True when the stored rule asks for the photo letter that the run will leave out; the note
// step 1 gives when its keep-camera switch is turned off under such a rule.
bool PhotoLetterLeftOut(const NamingRule &rule, bool renameOnlyMode, bool keepCamera);
QString PhotoLetterLeftOutNote();

// A rule that puts nothing before the extension names every file ".jpg" (" 副本1.jpg", ...):
// hidden files in every file manager. Option 4 adds nothing to a rename-only name.
bool GivesHiddenNames(const NamingRule &rule, bool renameOnlyMode);
QString HiddenNamesWarning();

} // namespace Pw
