#include "run/batchengine.h"

#include "imaging/pictureservice.h"
#include "naming/outputname.h"
#include "platform/apppaths.h"
#include "platform/bytepaths.h"
#include "platform/colour.h"
#include "platform/nativefile.h"
#include "platform/scratchfolder.h"
#include "platform/showntext.h"
#include "platform/systemerror.h"
#include "run/backgroundpicture.h"
#include "run/memorybudget.h"
#include "run/resultdrawing.h"
#include "run/saveandlimit.h"
#include "run/textoverlay.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <new>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace Pw {

namespace {

const QString kBreak = QStringLiteral("\r\n");

// The translation context of this file's texts.
struct BatchText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::BatchEngine)
};

// What a worker makes of one selected entry: everything up to the encoded canvas, which needs
// nothing of the entries before it.
struct DrawJob
{
    QString path;
    ProcessingOptions options;
    QColor background;
    QImage backgroundPicture; // already stretched to the canvas (modes 1 and 2)
    SaveSettings save;
    std::shared_ptr<std::atomic_bool> cancelled;
};

struct DrawnEntry
{
    QString loadError;         // the entry is skipped
    QString drawError;         // the entry is still saved, showing what the canvas holds
    bool nothingDrawn = false; // with drawError: no part of the picture, so no file is saved
    QString note;              // a line in the report; the entry still counts as a success
    QImage canvas;
    qint64 sourceBytes = 0;
    EncodedQualities encodings;
};

DrawnEntry drawEntryUnguarded(const DrawJob &job)
{
    DrawnEntry entry;
    if (*job.cancelled)
        return entry;
    ResultDrawing drawing = DrawResult(job.path, job.options, job.background,
                                       job.backgroundPicture);
    if (!drawing.loadError.isEmpty() || drawing.nothingDrawn) {
        // A source that went away or may not be read says so, not that its size is unknown.
        if (const int error = OpenErrorOf(job.path); error != 0) {
            entry.loadError = SystemErrorText(error);
            return entry;
        }
    }
    if (!drawing.loadError.isEmpty()) {
        entry.loadError = drawing.loadError;
        return entry;
    }
    entry.sourceBytes = std::max<qint64>(0, RegularFileSize(job.path));
    entry.drawError = drawing.drawError;
    entry.note = drawing.note;
    if (drawing.nothingDrawn) {
        // A blank canvas named like a result would pass for one.
        entry.nothingDrawn = true;
        return entry;
    }
    entry.canvas = std::move(drawing.canvas);
    if (!*job.cancelled)
        entry.encodings = EncodeAhead(entry.canvas, job.save);
    return entry;
}

// A picture too large for the memory left must cost the run that file, not the program.
DrawnEntry drawEntry(const DrawJob &job)
{
    try {
        return drawEntryUnguarded(job);
    } catch (const std::bad_alloc &) {
        DrawnEntry entry;
        entry.loadError = BatchText::tr("内存不足，无法处理这张图片");
        return entry;
    }
}

// name as shown: a line break or an escape sequence in it must not reach the report as such.
QString errorLine(const QString &message, const QString &name)
{
    return kBreak + u'[' + message + u']' + ShownName(name);
}

// A run that wrote nothing leaves no empty stamp folder, nor the empty folders above it that it
// made, up to the output base.
bool RemoveEmptyRunFolder(const QString &runFolder, const QString &outputBase)
{
    if (::rmdir(QFile::encodeName(runFolder).constData()) != 0)
        return false;
    QDir above(runFolder);
    const QString base = QDir(outputBase).absolutePath();
    while (above.cdUp() && above.absolutePath().startsWith(base + u'/')
           && ::rmdir(QFile::encodeName(above.absolutePath()).constData()) == 0) {
    }
    return true;
}

} // namespace

QString DemoQuestion(const QString &demoFolder)
{
    return BatchText::tr("您即将对演示图片进行处理，演示图片位于：") + kBreak + demoFolder + kBreak
           + kBreak + BatchText::tr("如需继查看演示效果续请点“是”") + kBreak
           + BatchText::tr("如需变换其他文件夹请点“否”后返回第一步重新选择文件夹");
}

QString DemoQuestionTitle()
{
    return BatchText::tr("演示");
}

QString NothingSelectedWarning()
{
    return BatchText::tr("未选择任何图片或照片可供修改！");
}

StartCheck CheckBeforeRun(const SourceSelection &selection, bool renameOnlyMode)
{
    StartCheck check;
    check.askDemo = !renameOnlyMode && selection.folder == DemoFolder();
    check.nothingSelected = selection.selectedCount() == 0;
    return check;
}

RunFolder MakeRunFolder(const QString &outputBase, const QString &programName,
                        const QString &sourceFolder, FitMode fitMode, const QDateTime &stamp)
{
    QString sourceName = QDir(sourceFolder).dirName();
    if (sourceName.isEmpty() || sourceName == u"/")
        sourceName = QStringLiteral("_");
    // Folder names, so the same in every language.
    const QString modeFolder = WithTrailingSlash(outputBase) + programName
                               + QStringLiteral("_新图/") + sourceName + u'/'
                               + QString::number(ModeNumber(fitMode)) + u'/';
    if (!MakeFolders(modeFolder)) {
        return {QString(),
                BatchText::tr("无法创建输出文件夹%1：%2").arg(modeFolder, SystemErrorText(errno))};
    }
    const QString base = modeFolder + stamp.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    // mkdir either makes the folder or finds it there: a folder of another run is never reused.
    for (int k = 1; k < 10000; ++k) {
        const QString candidate = k == 1 ? base : base + u'_' + QString::number(k);
        if (::mkdir(NativePath(candidate).constData(), 0777) == 0)
            return {candidate + u'/', QString()};
        if (errno != EEXIST) {
            return {QString(), BatchText::tr("无法创建输出文件夹%1：%2")
                                       .arg(candidate, SystemErrorText(errno))};
        }
    }
    return {QString(), BatchText::tr("无法创建输出文件夹%1：同一秒内的运行过多").arg(base)};
}

BatchResult RunBatch(const BatchInputs &in, RunHost &host)
{
    BatchResult result;
    const SourceSelection &selection = in.selection;
    result.selectedCount = selection.selectedCount();
    if (result.selectedCount == 0) {
        result.status = BatchStatus::NothingSelected;
        return result;
    }

    const ProcessingOptions &options = in.options;
    ReportFacts facts;
    facts.selectedCount = result.selectedCount;
    facts.summaryText = in.step3.summaryText;
    auto finish = [&](BatchStatus status) {
        if (host.stopRequested()) // a press that came too late for this run must not stop the next
            host.clearStopRequest();
        facts.successCount = result.successCount;
        facts.processedCount = result.processedCount;
        facts.stopped = status == BatchStatus::Stopped;
        facts.sourceBytes = result.sourceBytes;
        facts.outputBytes = result.outputBytes;
        facts.elapsedMs = result.elapsedMs;
        facts.errorLog = result.errorLog;
        result.status = status;
        result.report = ComposeReport(facts, QDateTime::currentDateTime());
        // Red also when a file lost its camera information or the background was left out.
        result.reportColour = result.allSucceeded()
                                      ? ReportColour(result.selectedCount, result.successCount)
                                      : kReportRed;
        host.runEnded();
        return result;
    };

    const QDateTime stamp = in.started.isValid() ? in.started : QDateTime::currentDateTime();
    const RunFolder folder = MakeRunFolder(in.outputBase, in.programName, selection.folder,
                                           options.fitMode, stamp);
    result.runFolder = folder.path;
    if (result.runFolder.isEmpty()) {
        result.errorLog = errorLine(folder.error, QString());
        return finish(BatchStatus::FolderFailed);
    }

    // Scratch folders of runs that were killed go first; this run makes one only when the camera
    // step needs it, and skips that step (one report line) when it cannot.
    RemoveStaleScratchFolders();
    std::unique_ptr<ScratchFolder> scratch;
    bool keepCamera = selection.keepCamera;
    if (keepCamera) {
        scratch = std::make_unique<ScratchFolder>();
        if (!scratch->isValid()) {
            keepCamera = false;
            result.errorLog += errorLine(
                    BatchText::tr("无法在%1创建临时文件夹（%2），本次不保留数码信息")
                            .arg(ScratchParentFolder(), scratch->error()),
                    QString());
        }
    }
    SaveSettings save;
    save.runFolder = result.runFolder;
    save.rule = in.rule;
    save.keepCamera = keepCamera;
    save.sizeLimitOn = options.sizeLimitOn;
    save.limitBytes = options.sizeLimitBytes();
    save.qualityIndex = in.step3.qualityIndex;
    save.cameraTool = in.cameraTool;
    save.workFolder = scratch ? scratch->path() : QString();
    save.yield = [&host] {
        host.yield();
    };
    CopyNumbers copyNumbers;
    save.copyNumbers = &copyNumbers;

    const FitParams params = ToFitParams(options);
    const QColor background = ColourFromBgr(in.step3.backgroundColour);
    MemoryBudget budget(in.memoryBudget > 0 ? in.memoryBudget : DefaultRunMemoryBudget());
    QImage backgroundPicture;
    const QString backgroundPath = in.step3.backgroundPicture.trimmed();
    if (hasBorder(options.fitMode) && !backgroundPath.isEmpty() && PathExists(backgroundPath)) {
        // Stretched once for the whole run: every canvas of modes 1 and 2 has the same size.
        // It stays for the whole run, so its memory is taken from the budget for good.
        const RunBackground loaded = LoadRunBackground(
                backgroundPath, QSize(params.targetWidth, params.targetHeight), budget.total());
        backgroundPicture = loaded.image;
        budget.tryTake(loaded.bytes);
        if (!loaded.problem.isEmpty()) {
            result.backgroundProblem = true;
            result.errorLog += errorLine(
                    (backgroundPicture.isNull()
                             ? BatchText::tr("背景图片无法使用（%1），本次不用背景图片")
                             : BatchText::tr("背景图片有问题（%1）"))
                            .arg(loaded.problem),
                    backgroundPath);
        }
        // As for a source file: a remark in the report, not a failure.
        if (!loaded.note.isEmpty())
            result.errorLog += errorLine(loaded.note, backgroundPath);
    }

    std::vector<int> entries;
    for (int i = 0; i < selection.names.size(); ++i)
        if (i < selection.selected.size() && selection.selected.at(i))
            entries.push_back(i);

    auto cancelled = std::make_shared<std::atomic_bool>(false);
    const int ahead = in.drawThreads > 0 ? in.drawThreads
                                         : std::max(1, QThread::idealThreadCount());
    struct Drawing
    {
        std::future<DrawnEntry> entry;
        qint64 bytes = 0; // taken from the budget until the entry is saved
    };
    std::deque<Drawing> drawing;
    size_t launched = 0;
    // The next entry's cost, kept while it waits for memory to come free.
    std::optional<DrawCost> nextCost;
    auto launchAhead = [&] {
        while (launched < entries.size() && int(drawing.size()) < ahead) {
            const QString path = selection.pathOf(entries[launched]);
            if (!nextCost)
                nextCost = EstimateDrawCost(path, params);
            const qint64 canvasBytes = qint64(nextCost->canvas.width()) * nextCost->canvas.height()
                                       * 4;
            if (canvasBytes > budget.total()) {
                // Never drawn: the canvas alone is past what the run may take.
                const QString message = CanvasTooLargeMessage(
                        nextCost->canvas.width(), nextCost->canvas.height(), budget.total());
                drawing.push_back({std::async(std::launch::deferred,
                                              [message] {
                                                  DrawnEntry entry;
                                                  entry.loadError = message;
                                                  return entry;
                                              }),
                                   0});
            } else {
                // The canvas, the picture drawn onto it and the encoded result.
                const qint64 bytes = canvasBytes * 2 + nextCost->pictureBytes;
                if (!budget.tryTake(bytes))
                    return;
                DrawJob job{path, options, background, backgroundPicture, save, cancelled};
                job.save.yield = nullptr; // workers never call back into the host
                drawing.push_back(
                        {std::async(std::launch::async, drawEntry, std::move(job)), bytes});
            }
            nextCost.reset();
            ++launched;
        }
    };
    qint64 inHand = 0;

    int written = 0; // result files saved so far
    bool headingAdded = false;
    bool cameraToolDropped = false; // it ran past its time once: not started again this run
    bool stopped = false;
    host.runStarted(result.runFolder);
    QElapsedTimer clock;
    clock.start();
    int ordinal = 1;
    for (size_t k = 0; k < entries.size(); ++k) {
        if (host.stopRequested()) {
            host.clearStopRequest();
            stopped = true;
            break;
        }
        budget.give(inHand); // the previous entry is saved
        inHand = 0;
        launchAhead();
        ++result.processedCount;
        const int index = entries[k];
        const QString name = selection.names.at(index);
        host.yield();
        host.progress(ordinal, result.selectedCount,
                      BatchText::tr("正在处理(%1/%2)").arg(ordinal).arg(result.selectedCount)
                              + ShownName(name));
        ++ordinal;

        DrawnEntry entry = drawing.front().entry.get();
        inHand = drawing.front().bytes;
        drawing.pop_front();
        if (!entry.loadError.isEmpty()) {
            result.errorLog += errorLine(entry.loadError, name);
            continue;
        }
        result.sourceBytes += entry.sourceBytes;
        if (!entry.note.isEmpty())
            result.errorLog += errorLine(entry.note, name);
        const bool drawFailed = !entry.drawError.isEmpty();
        if (!drawFailed) {
            ++result.successCount;
        } else {
            if (!headingAdded) {
                result.errorLog.prepend(BatchText::tr("【以下是错误信息】") + kBreak);
                headingAdded = true;
            }
            result.errorLog += errorLine(entry.drawError, name);
            if (entry.nothingDrawn)
                continue;
        }

        NameFacts facts = GatherNameFacts(selection.folder, name, in.rule, NamingRun::Batch);
        // Numbers go to the files written, in order: a partly drawn picture that is saved takes
        // one, a file that is not saved leaves its number to the next.
        facts.number = written + 1;
        facts.total = result.selectedCount;
        facts.width = entry.canvas.width();
        facts.height = entry.canvas.height();
        facts.keepCamera = selection.keepCamera;
        facts.oldName = name;
        SaveOutcome saved;
        try {
            saved = SaveAndLimit(save, entry.canvas, selection.pathOf(index), facts,
                                 entry.encodings);
        } catch (const std::bad_alloc &) {
            saved.error = BatchText::tr("内存不足，无法保存这张图片");
        }
        // Every file that lost its camera information is named, and the run is no success.
        if (!saved.cameraProblem.isEmpty()) {
            ++result.cameraLostCount;
            result.errorLog += errorLine(
                    BatchText::tr("未能写入数码信息（%1），图片已保存但不含数码信息")
                            .arg(saved.cameraProblem),
                    name);
            if (saved.cameraTimedOut && !cameraToolDropped) {
                // A tool that hangs on one file would cost its time on every file.
                cameraToolDropped = true;
                save.keepCamera = false;
                result.errorLog += errorLine(
                        BatchText::tr("本次其余图片不再调用pwReadSM，都不含数码信息"), QString());
            }
        } else if (cameraToolDropped && saved.saved) {
            ++result.cameraLostCount;
            result.errorLog += errorLine(BatchText::tr("未保留数码信息（pwReadSM已停用）"), name);
        }
        if (saved.saved) {
            ++written;
            result.outputBytes += saved.bytes;
        } else if (!drawFailed) {
            --result.successCount;
            result.errorLog += errorLine(saved.error, name);
        }
    }
    *cancelled = true;
    drawing.clear(); // waits for pictures drawn ahead of a stop
    result.elapsedMs = clock.elapsed();
    if (written == 0 && RemoveEmptyRunFolder(result.runFolder, in.outputBase))
        result.runFolder.clear();
    return finish(stopped ? BatchStatus::Stopped : BatchStatus::Finished);
}

} // namespace Pw
