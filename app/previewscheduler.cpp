#include "app/previewscheduler.h"

namespace Pw {

PreviewScheduler::PreviewScheduler(QObject *parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
}

PreviewScheduler::~PreviewScheduler()
{
    m_waiting.reset();
    m_pool.clear();
    m_pool.waitForDone();
}

void PreviewScheduler::cancel()
{
    ++m_generation;
    m_waiting.reset();
}

void PreviewScheduler::submit(Job job)
{
    ++m_generation;
    if (m_busy)
        m_waiting = std::move(job);
    else
        start(std::move(job));
}

void PreviewScheduler::start(Job job)
{
    m_busy = true;
    m_pool.start([this, generation = m_generation, job = std::move(job)] {
        const Delivery delivery = job();
        QMetaObject::invokeMethod(
                this, [this, generation, delivery] { finished(generation, delivery); },
                Qt::QueuedConnection);
    });
}

void PreviewScheduler::finished(quint64 generation, const Delivery &delivery)
{
    m_busy = false;
    if (m_waiting) {
        Job next = std::move(*m_waiting);
        m_waiting.reset();
        start(std::move(next));
        return; // a newer request replaces this result
    }
    if (generation == m_generation)
        delivery();
}

} // namespace Pw
