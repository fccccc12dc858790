#pragma once

#include <QString>

namespace Pw {

// A folder of the program's own for scratch files: "$TMPDIR/pixwright-<pid>-XXXXXX" (TMPDIR
// defaults to /tmp), made afresh with mkdtemp and removed with its contents when the object
// goes. When it cannot be made nothing is written anywhere and isValid() is false.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; } // ends with '/'; empty when not made
    QString error() const { return m_error; }

private:
    QString m_path;
    QString m_error;
};

// The folder scratch folders are made in: $TMPDIR, else /tmp; ends with '/'.
QString ScratchParentFolder();

// Removes the scratch folders a killed run left behind: "pixwright-<pid>-*" folders of this
// user whose process no longer exists. Answers how many were removed.
int RemoveStaleScratchFolders();

} // namespace Pw
