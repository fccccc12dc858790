#include "app/desktopdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace Pw {

QString BrowseForFolder(QWidget *owner, const QString &initialFolder, const QString &prompt)
{
    const QString start = QFileInfo(initialFolder).isDir() ? initialFolder : QString();
    QString chosen = QFileDialog::getExistingDirectory(owner, prompt, start,
                                                       QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return {};
    chosen = QDir::cleanPath(chosen); // drops a trailing '/' but keeps "/" itself
    return chosen;
}

QString ChooseFile(QWidget *owner, const QString &initialFolder, const QString &title,
                   const QString &filter)
{
    return QFileDialog::getOpenFileName(owner, title, initialFolder, filter);
}

} // namespace Pw
