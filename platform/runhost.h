#pragma once

#include <QString>

namespace Pw {

// What a long run (the batch run, the rename-only run) needs from whoever hosts it:
// the wizard's windows or the command line. The run knows nothing of widgets.
class RunHost
{
public:
    virtual ~RunHost() = default;

    // Progress of the file in hand: ordinal is 1-based among the selected files.
    virtual void progress(int ordinal, int total, const QString &text) = 0;
    // Called once per file and while waiting, so the host can keep its interface alive.
    virtual void yield() = 0;
    // A stop press waiting to be honoured; runs check it between files.
    virtual bool stopRequested() const = 0;
    // The run honoured the stop request.
    virtual void clearStopRequest() = 0;
    // Yes/No question put to the user (e.g. whether to process the demo pictures).
    virtual bool askYesNo(const QString &question) = 0;
};

} // namespace Pw
