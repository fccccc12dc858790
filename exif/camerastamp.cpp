#include "exif/camerastamp.h"

#include "exif/exifreader.h"

namespace Pw {

namespace {

constexpr int kModelTag = 0x0110;
constexpr int kShotTag = 0x9003;

} // namespace

bool ReadCameraStamp(const QString &file, QString &model, QString &shot)
{
    try {
        ExifReader reader;
        if (!reader.Load(file))
            return false;
        const ExifValue modelValue = reader.Tag(kModelTag);
        const ExifValue shotValue = reader.Tag(kShotTag);
        const QString modelText = modelValue.toText();
        const QString shotText = shotValue.toText();
        if (modelText.isEmpty() || shotText.isEmpty()) {
            model = modelText;
            shot = shotText;
            return false;
        }
        // The cut is made on the bytes, before decoding.
        model = modelValue.toTextBeforeNul();
        shot = shotValue.toTextBeforeNul();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace Pw
