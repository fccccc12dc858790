#pragma once

#include "naming/namingrule.h"
#include "naming/renamerun.h"
#include "platform/runthread.h"
#include "platform/sourceselection.h"

#include <QObject>
#include <QString>

namespace Pw {

// The rename-only run off the window's thread, as BatchRunner does the batch: both passes
// (the preview, then the renames the user confirmed) read every file's header and, when the rule
// names the time of taking, its camera information, which for a folder of several hundred
// photos takes seconds. progress comes for each file in list order, finished last.
//
//     runner->start(folder, false, list, rule);  // finished(outcome): show previewLines
//     runner->start(folder, true, list, rule);   // finished(outcome): refused / stopped / done
class RenameRunner : public QObject
{
    Q_OBJECT

public:
    explicit RenameRunner(QObject *parent = nullptr);

    // RenameOnlyRun(folder, doRename, list, rule) on a worker thread; false, doing nothing,
    // while a pass is in progress.
    bool start(const QString &folder, bool doRename, const SourceSelection &list,
               const NamingRule &rule);
    bool isRunning() const { return m_run.isRunning(); }
    // The stop press: the pass stops before its next file; safe from any thread.
    void requestStop() { m_run.requestStop(); }

signals:
    void progress(int ordinal, int total, const QString &text);
    // The pass has ended and its thread is gone. Always the last signal.
    void finished(const Pw::RenameOutcome &outcome);

private:
    RenameOutcome m_outcome; // written by the worker, read once its thread has ended
    RunThread m_run;         // after m_outcome: destroyed first, it waits for the worker
};

} // namespace Pw
