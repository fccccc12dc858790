#include "platform/runthread.h"

#include <QThread>

namespace Pw {

// Lives on the worker thread for one job. Signals emitted there reach receivers in other threads
// queued, so they arrive in the order the job made them.
class RunThread::Host : public RunHost
{
public:
    Host(RunThread &owner, std::shared_ptr<std::atomic_bool> stop)
        : m_owner(owner)
        , m_stop(std::move(stop))
    {}

    void runStarted(const QString &runFolder) override { emit m_owner.started(runFolder); }
    void progress(int ordinal, int total, const QString &text) override
    {
        emit m_owner.progress(ordinal, total, text);
    }
    void yield() override {}
    bool stopRequested() const override { return *m_stop; }
    void clearStopRequest() override { *m_stop = false; }

private:
    RunThread &m_owner;
    std::shared_ptr<std::atomic_bool> m_stop;
};

RunThread::RunThread(QObject *parent)
    : QObject(parent)
{}

RunThread::~RunThread()
{
    if (m_thread) {
        *m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool RunThread::start(Job job)
{
    if (m_thread)
        return false;
    *m_stop = false;
    m_thread = QThread::create([this, job = std::move(job), stop = m_stop] {
        Host host(*this, stop);
        job(host);
    });
    m_thread->setObjectName(QStringLiteral("run"));
    // QThread::finished is emitted on the worker; queued here it arrives after every progress.
    connect(m_thread, &QThread::finished, this, &RunThread::threadEnded, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void RunThread::threadEnded()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    emit ended();
}

} // namespace Pw
