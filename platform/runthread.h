#pragma once

#include "platform/runhost.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace Pw {

// Runs one long job at a time on a worker QThread for a window. The job gets a RunHost whose
// calls become this object's signals, delivered queued to the thread this object lives in, in
// the order the job made them; `ended` comes last, once the job has returned and its thread is
// gone. The job never waits for the window. BatchRunner and RenameRunner are built on it.
class RunThread : public QObject
{
    Q_OBJECT

public:
    using Job = std::function<void(RunHost &host)>;

    explicit RunThread(QObject *parent = nullptr);
    // A job in progress is asked to stop and waited for.
    ~RunThread() override;

    // Starts job on a new worker thread; false, doing nothing, while a job is in progress.
    bool start(Job job);
    // True from start until `ended` has been delivered.
    bool isRunning() const { return m_thread != nullptr; }
    // The stop press: only sets a flag the job reads between files; safe from any thread. A
    // press that comes after the job's last check does not carry over to the next job.
    void requestStop() { *m_stop = true; }

signals:
    void started(const QString &runFolder);
    void progress(int ordinal, int total, const QString &text);
    void ended();

private:
    class Host;

    void threadEnded();

    QThread *m_thread = nullptr;
    std::shared_ptr<std::atomic_bool> m_stop = std::make_shared<std::atomic_bool>(false);
};

} // namespace Pw
