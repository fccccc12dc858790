#include "run/batchrunner.h"

namespace Pw {

BatchRunner::BatchRunner(QObject *parent)
    : QObject(parent)
{
    connect(&m_run, &RunThread::started, this, &BatchRunner::started);
    connect(&m_run, &RunThread::progress, this, &BatchRunner::progress);
    connect(&m_run, &RunThread::ended, this, [this] { emit finished(m_result); });
}

bool BatchRunner::start(const BatchInputs &inputs)
{
    return m_run.start([this, inputs](RunHost &host) { m_result = RunBatch(inputs, host); });
}

} // namespace Pw
