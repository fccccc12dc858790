#pragma once

// A run host for tests: records what a run reports and stops where the test says.

#include "platform/runhost.h"

#include <QStringList>

#include <functional>

namespace PwTest {

class RecordingHost : public Pw::RunHost
{
public:
    int stopAtOrdinal = 0; // press stop while this file is processed (0: never)
    std::function<void()> onYield;

    QStringList progressTexts;
    QStringList events; // "started <folder>", "progress <ordinal>/<total>", "ended", in order
    QString runFolder;  // as runStarted gave it
    bool stop = false;
    int clears = 0;

    void runStarted(const QString &folder) override
    {
        runFolder = folder;
        events << QStringLiteral("started ") + folder;
    }
    void progress(int ordinal, int total, const QString &text) override
    {
        progressTexts << text;
        events << QStringLiteral("progress %1/%2").arg(ordinal).arg(total);
        if (ordinal == stopAtOrdinal)
            stop = true;
    }
    void yield() override
    {
        if (onYield)
            onYield();
    }
    bool stopRequested() const override { return stop; }
    void clearStopRequest() override
    {
        stop = false;
        ++clears;
    }
    void runEnded() override { events << QStringLiteral("ended"); }
};

} // namespace PwTest
