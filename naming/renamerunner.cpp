#include "naming/renamerunner.h"

namespace Pw {

RenameRunner::RenameRunner(QObject *parent)
    : QObject(parent)
{
    connect(&m_run, &RunThread::progress, this, &RenameRunner::progress);
    connect(&m_run, &RunThread::ended, this, [this] { emit finished(m_outcome); });
}

bool RenameRunner::start(const QString &folder, bool doRename, const SourceSelection &list,
                         const NamingRule &rule)
{
    return m_run.start([this, folder, doRename, list, rule](RunHost &host) {
        m_outcome = RenameOnlyRun(folder, doRename, list, rule, host);
    });
}

} // namespace Pw
