// pw_writeprofiles FOLDER: writes srgb.icc and adobergb.icc (the program's own Adobe RGB (1998)
// profile) into FOLDER, so bench/colour_compare.sh can make Adobe RGB copies of real photos with
// ImageMagick. Nothing binary is kept in the repository.

#include "imaging/colourprofile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdio>

#include <lcms2.h>

namespace {

QByteArray srgbProfile()
{
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    QByteArray bytes;
    if (cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(qsizetype(size));
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
            bytes.clear();
    }
    cmsCloseProfile(profile);
    return bytes;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: pw_writeprofiles FOLDER\n", stderr);
        return 2;
    }
    const QDir folder(QFile::decodeName(argv[1]));
    if (!write(folder.filePath(QStringLiteral("srgb.icc")), srgbProfile())
        || !write(folder.filePath(QStringLiteral("adobergb.icc")), Pw::AdobeRgbProfile())) {
        std::fputs("pw_writeprofiles: cannot write the profiles\n", stderr);
        return 1;
    }
    return 0;
}
