#pragma once

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

namespace Pw {

// The step-1 hand-over: the listed pictures of one folder and which of them are selected.
struct SourceSelection
{
    QString folder;          // ends with '/'
    QStringList names;       // bare file names, in list order
    QList<bool> selected;    // one flag per name
    bool keepCamera = false; // copy each photo's camera information into its result

    int selectedCount() const;
    QString pathOf(int index) const { return folder + names.at(index); }
    // Selects every entry, or exactly the given names; answers the names not listed.
    QStringList select(const QStringList &only);
};

// The picture types step 1 can list. HEIC covers .heif, TIFF covers .tif.
enum class PictureType { Jpg = 1, Png = 2, Bmp = 4, Heic = 8, Avif = 16, Webp = 32, Tiff = 64 };
Q_DECLARE_FLAGS(PictureTypes, PictureType)

// The types of the JPG, PNG and BMP switches, the ones the stored listing pattern names.
inline constexpr PictureTypes kAllPictureTypes = PictureTypes(PictureType::Jpg) | PictureType::Png
                                                 | PictureType::Bmp;
// The types of the fourth switch ("其他格式"), remembered apart from the pattern.
inline constexpr PictureTypes kOtherPictureTypes = PictureTypes(PictureType::Heic)
                                                   | PictureType::Avif | PictureType::Webp
                                                   | PictureType::Tiff;

// Lists the pictures of folder whose type is in types: extensions compared without regard to
// case, ".jpeg" counting as JPG, hidden files left out, sorted by name ignoring case with ties
// broken by the exact name.
QStringList ListPictures(const QString &folder, PictureTypes types);

// Parses "jpg,png,bmp,heic,avif,webp,tiff" (any order, any case, "jpeg", "heif" and "tif" as
// well); no types for an empty text or an unknown word.
PictureTypes ParsePictureTypes(const QString &text);

// The pattern step 1 lists when none is remembered.
inline const QString kDefaultPicturePattern = QStringLiteral("*.jpg;*.bmp;*.png");

// The types a stored listing pattern names ("*.jpg;*.png", ";*.png"): the suffix of every
// ';'-separated word; words naming none of the three switches' types are ignored (FILTER4
// alone says whether the other types are listed), so "" gives no type.
PictureTypes PictureTypesOfPattern(const QString &pattern);

// The pattern of the type switches: "*.jpg", then ";*.png", then ";*.bmp" for each type that is
// on, so PNG alone gives ";*.png" and no type the empty text. The other types never enter it,
// so a stored pattern stays readable by whatever reads the three switches' keys.
QString PatternOfPictureTypes(PictureTypes types);

// The folder step 1 lists: `wanted` (given a trailing '/') when it is an existing folder holding
// pictures of those types, else the demo folder.
QString ChooseSourceFolder(const QString &wanted, PictureTypes types);

} // namespace Pw

Q_DECLARE_OPERATORS_FOR_FLAGS(Pw::PictureTypes)
