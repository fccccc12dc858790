#include "run/batchsetup.h"

#include "platform/apppaths.h"
#include "platform/fileutils.h"
#include "run/summarytext.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Pw {

BatchSetup MakeBatchInputs(BatchChoices choices, const QString &outputBase)
{
    BatchSetup setup;
    BatchInputs &in = setup.inputs;
    in.selection = std::move(choices.selection);
    in.options = std::move(choices.options);
    in.step3 = std::move(choices.step3);
    in.rule = choices.rule;
    setup.photoLetterDropped = ApplyPhotoLetterGuard(in.rule, false, in.selection.keepCamera);

    SummaryInputs summary;
    summary.keepCamera = in.selection.keepCamera;
    summary.options = in.options;
    summary.rule = in.rule;
    summary.qualityIndex = in.step3.qualityIndex;
    in.step3.summaryText = SummaryText(summary);

    in.outputBase = outputBase.isEmpty() ? SpecialFolder(0) : WithTrailingSlash(outputBase);
    in.programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (in.programName.isEmpty())
        in.programName = QStringLiteral("pixwright");
    in.cameraTool = CameraToolPath();
    return setup;
}

} // namespace Pw
