#pragma once

#include <QString>

namespace Pw {

// A system call's failure for the user: the cause in the interface language ("磁盘已满",
// "只读文件系统", "没有权限", "文件不存在", "文件名太长", ...), then the technical detail in
// brackets (the errno name and the C library's text), e.g. "磁盘已满（ENOSPC: No space left
// on device）". An errno without a cause of its own gives the detail alone.
QString SystemErrorText(int errnum);

// The same with a cause the caller knows better (a missing folder rather than a file).
QString SystemErrorText(int errnum, const QString &cause);

// The cause alone; empty for an errno without a cause of its own.
QString SystemErrorCause(int errnum);

// The errno that opening path for reading fails with; 0 when it opens.
int OpenErrorOf(const QString &path);

} // namespace Pw
