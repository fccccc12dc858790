#include "run/batchrunner.h"

#include <QThread>

namespace Pw {

// Lives on the worker thread for one run. Signals emitted there reach receivers in other
// threads queued, so the window sees them in the order the run made them.
class BatchRunner::Host : public RunHost
{
public:
    Host(BatchRunner &runner, std::shared_ptr<std::atomic_bool> stop)
        : m_runner(runner)
        , m_stop(std::move(stop))
    {}

    void runStarted(const QString &runFolder) override { emit m_runner.started(runFolder); }
    void progress(int ordinal, int total, const QString &text) override
    {
        emit m_runner.progress(ordinal, total, text);
    }
    void yield() override {}
    bool stopRequested() const override { return *m_stop; }
    void clearStopRequest() override { *m_stop = false; }

private:
    BatchRunner &m_runner;
    std::shared_ptr<std::atomic_bool> m_stop;
};

BatchRunner::BatchRunner(QObject *parent)
    : QObject(parent)
{}

BatchRunner::~BatchRunner()
{
    if (m_thread) {
        *m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool BatchRunner::start(const BatchInputs &inputs)
{
    if (m_thread)
        return false;
    *m_stop = false;
    m_result = BatchResult();
    m_thread = QThread::create([this, inputs, stop = m_stop] {
        Host host(*this, stop);
        m_result = RunBatch(inputs, host);
    });
    m_thread->setObjectName(QStringLiteral("batch run"));
    // QThread::finished is emitted on the worker; queued here it arrives after every progress.
    connect(m_thread, &QThread::finished, this, &BatchRunner::threadEnded, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void BatchRunner::requestStop()
{
    *m_stop = true;
}

void BatchRunner::threadEnded()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    emit finished(m_result);
}

} // namespace Pw
