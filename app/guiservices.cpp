#include "app/guiservices.h"

#include "app/desktopdialogs.h"
#include "app/fontcolourdialog.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace Pw {

void DesktopServices::warn(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

void DesktopServices::inform(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text);
}

bool DesktopServices::askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

QString DesktopServices::chooseFolder(QWidget *parent, const QString &initialFolder,
                                      const QString &prompt)
{
    return BrowseForFolder(parent, initialFolder, prompt);
}

QString DesktopServices::chooseFile(QWidget *parent, const QString &initialFolder,
                                    const QString &title, const QString &filter)
{
    return ChooseFile(parent, initialFolder, title, filter);
}

// The project's own dialog: Qt's font dialog has no colour. It is not modal, so step 2 stays
// usable (and guards its own navigation) while it is open.
void DesktopServices::chooseFont(QWidget *owner, const FontChoice &initial,
                                 std::function<void(std::optional<FontChoice>)> done)
{
    auto *dialog = new FontColourDialog(initial, owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, done](int result) {
        if (result == QDialog::Accepted)
            done(dialog->choice());
        else
            done(std::nullopt);
    });
    dialog->show();
}

bool DesktopServices::openFolder(const QString &folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace Pw
