#pragma once

#include "platform/runthread.h"
#include "run/batchengine.h"

#include <QObject>
#include <QString>

namespace Pw {

// Runs one batch at a time off the window's thread: RunBatch on a worker QThread (RunThread),
// its calls to the host delivered as signals, queued to the thread this object lives in, in
// order: started, progress for each file in list order, then finished. The run never waits for
// the window, and the window needs no event loop of its own while it runs.
//
//     auto *runner = new BatchRunner(this);
//     connect(runner, &BatchRunner::started, ...);   // running state: "终止(&C)", back hidden
//     connect(runner, &BatchRunner::progress, ...);  // bar and "正在处理(3/12)name"
//     connect(runner, &BatchRunner::finished, ...);  // idle state, then the report
//     // the finish button: settle CheckBeforeRun, then
//     runner->start(MakeBatchInputs(choices).inputs);
//     // the same button while running:
//     runner->requestStop();
class BatchRunner : public QObject
{
    Q_OBJECT

public:
    explicit BatchRunner(QObject *parent = nullptr);
    // A run in progress is asked to stop and waited for (the file in hand is finished first).
    ~BatchRunner() override = default;

    // Starts a run of inputs; false, doing nothing, while a run is in progress. The caller has
    // settled CheckBeforeRun (demo question, empty selection) before.
    bool start(const BatchInputs &inputs);
    // True from start until finished has been delivered.
    bool isRunning() const { return m_run.isRunning(); }
    // The stop press: the run stops before its next file. Only sets a flag; safe from any
    // thread. A press that comes too late for a run does not stop the next one.
    void requestStop() { m_run.requestStop(); }

signals:
    // The run folder exists and the first file is next: step 3 enters its running state.
    void started(const QString &runFolder);
    // Before each selected file: its ordinal among the selected files (1-based), their number,
    // and the text step 3 shows ("正在处理(3/12)" and the file name).
    void progress(int ordinal, int total, const QString &text);
    // The run has ended (walked, stopped, or no folder could be made; an empty selection ends at
    // once with BatchStatus::NothingSelected) and its thread is gone. Always the last signal.
    void finished(const Pw::BatchResult &result);

private:
    BatchResult m_result; // written by the worker, read once its thread has ended
    RunThread m_run;      // after m_result: destroyed first, it waits for the worker
};

} // namespace Pw
