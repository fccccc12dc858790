#include "naming/outputname.h"

#include "exif/camerastamp.h"
#include "imaging/pictureservice.h"
#include "platform/fileutils.h"

namespace Pw {

NameFacts GatherNameFacts(const QString &folder, const QString &name, const NamingRule &rule,
                          NamingRun run)
{
    // A fresh record every time: nothing of the previous file may leak into this one.
    NameFacts facts;
    facts.oldName = name;
    const QString path = folder + name;

    if (rule.isOn(3) || rule.isOn(5) || rule.isOn(6)) {
        facts.modified = FormatGeneralDateTime(ReadFileTimes(path).modified);
        QString model;
        QString shot;
        ReadCameraStamp(path, model, shot);
        facts.model = CutAtNul(model);
        facts.shot = CutAtNul(shot);
        if (facts.shot.isEmpty())
            facts.shot = facts.modified;
    }
    if (run == NamingRun::RenameOnly && rule.isOn(2)) {
        const PictureInfo info = LoadAndMeasure(path);
        if (info.width > 0 && info.height > 0) {
            facts.width = info.width;
            facts.height = info.height;
        }
    }
    return facts;
}

} // namespace Pw
