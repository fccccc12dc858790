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
    summary.selectedCount = in.selection.selectedCount();
    summary.backgroundPicture = in.step3.backgroundPicture;
    in.step3.summaryText = SummaryText(summary);

    const QString base = outputBase.isEmpty() ? in.step3.outputFolder : outputBase;
    in.outputBase = base.isEmpty() ? SpecialFolder(0) : WithTrailingSlash(base);
    in.programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (in.programName.isEmpty())
        in.programName = QStringLiteral("pixwright");
    in.cameraTool = CameraToolPath();
    return setup;
}

} // namespace Pw
