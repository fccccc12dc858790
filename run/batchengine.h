#pragma once

#include "naming/namingrule.h"
#include "options/processingoptions.h"
#include "platform/runhost.h"
#include "platform/sourceselection.h"
#include "run/reporttext.h"
#include "run/step3choices.h"

#include <QDateTime>
#include <QString>

namespace Pw {

// Everything a batch run reads, taken when it starts.
struct BatchInputs
{
    SourceSelection selection;
    ProcessingOptions options;
    Step3Choices step3;
    NamingRule rule;
    QString outputBase;      // the desktop folder (or the command line's --output-root), ending '/'
    QString programName;     // the executable's base name: outputs go to <base>/<name>_新图/...
    QString cameraTool;      // full path of pwReadSM
    QDateTime started;       // the press; its second stamps the run folder (invalid: now)
    int drawThreads = 0;     // pictures drawn ahead at once; 0: one per core
    qint64 memoryBudget = 0; // bytes the drawing ahead may hold; 0: DefaultRunMemoryBudget()
};

enum class BatchStatus {
    Finished,        // every selected entry was walked
    Stopped,         // a stop request ended the loop before the last entry
    NothingSelected, // no entry selected: nothing was created (callers warn before starting)
    FolderFailed,    // the run folder could not be created: no file was processed
};

struct BatchResult
{
    BatchStatus status = BatchStatus::Finished;
    int selectedCount = 0;
    int successCount = 0;
    int processedCount = 0; // selected entries walked (succeeded or not) before the end or a stop
    qint64 sourceBytes = 0;
    qint64 outputBytes = 0;
    qint64 elapsedMs = 0;
    int cameraLostCount = 0;           // files saved without the camera information asked for
    bool backgroundProblem = false;    // the background picture was left out or drawn in part
    QString errorLog;                  // CR LF separated, as the report shows it
    QString runFolder;                 // ends with '/'; empty when none was made
    QString report;                    // the report text (empty for NothingSelected)
    qint32 reportColour = kReportBlue; // 0x00BBGGRR

    // Every selected file saved whole, with everything asked for (the exit status 0).
    bool allSucceeded() const
    {
        return status != BatchStatus::FolderFailed && successCount == selectedCount
               && cameraLostCount == 0 && !backgroundProblem;
    }
};

// The question put before processing the demo pictures, and its title "演示".
QString DemoQuestion(const QString &demoFolder);
QString DemoQuestionTitle();
// The warning for an empty selection.
QString NothingSelectedWarning();

// What the caller settles before it starts a run, in this order: the demo-folder question (a
// Yes/No box titled DemoQuestionTitle(); No ends the press), then the empty-selection warning
// (nothing runs). The rename-only run asks no demo question.
struct StartCheck
{
    bool askDemo = false;         // the source is the demo folder
    bool nothingSelected = false; // show NothingSelectedWarning() and do not start
};
StartCheck CheckBeforeRun(const SourceSelection &selection, bool renameOnlyMode);

// <base>/<program>_新图/<source folder name>/<mode>/<yyyyMMdd_HHmmss>/: the folders are made
// as needed, the last one always afresh: when a run of the same second already holds the stamp,
// "_2", "_3", ... is added, so two runs never share a folder.
struct [[nodiscard]] RunFolder
{
    QString path;  // with a trailing '/'; empty on failure
    QString error; // why it could not be made; empty on success
};
RunFolder MakeRunFolder(const QString &outputBase, const QString &programName,
                        const QString &sourceFolder, FitMode fitMode, const QDateTime &stamp);

// The batch run: makes the run folder (then host.runStarted), walks the selected entries in list
// order (drawing ahead on worker threads, naming, saving and counting in order), composes the
// report (then host.runEnded). A stop request is honoured before the next entry. It asks nothing:
// the caller settles CheckBeforeRun first; an empty selection returns NothingSelected at once.
// Runs on any one thread; the host is called only from that thread.
BatchResult RunBatch(const BatchInputs &inputs, RunHost &host);

} // namespace Pw
