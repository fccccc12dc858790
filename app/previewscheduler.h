#pragma once

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <optional>

namespace Pw {

// Draws previews off the window's thread, one at a time: a request made while one is drawn
// waits and replaces any request waiting before it, so the latest request wins, the window never
// waits, and a stale picture is never shown. Make it the window's last member: its destruction
// waits for a running drawing, which then delivers nothing.
class PreviewScheduler : public QObject
{
    Q_OBJECT

public:
    explicit PreviewScheduler(QObject *parent = nullptr);
    ~PreviewScheduler() override;

    // Runs work() on the worker; done(result) follows on this object's thread, unless another
    // request or cancel() came meanwhile.
    template<typename Work, typename Done>
    void request(Work work, Done done)
    {
        submit([work = std::move(work), done = std::move(done)]() -> Delivery {
            auto result = work();
            return [done, result = std::move(result)] {
                done(result);
            };
        });
    }

    // Drops the waiting request and the result of the running one.
    void cancel();

private:
    using Delivery = std::function<void()>;
    using Job = std::function<Delivery()>;

    void submit(Job job);
    void start(Job job);
    void finished(quint64 generation, const Delivery &delivery);

    quint64 m_generation = 0;
    bool m_busy = false;
    std::optional<Job> m_waiting;
    QThreadPool m_pool; // last: its destruction waits for the running job
};

} // namespace Pw
