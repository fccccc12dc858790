#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace Pw {

// What the font dialog edits: the overlay font and its colour.
struct FontChoice
{
    QFont font;
    QColor colour = Qt::black;
};

// Everything the windows ask of the desktop: message boxes, the folder, file and font dialogs,
// and opening a folder in the file manager. The program uses DesktopServices; tests put a
// recorder in its place so that no dialog ever waits for a person.
class GuiServices
{
public:
    virtual ~GuiServices() = default;

    // A refusal or warning: exclamation icon, one OK button.
    virtual void warn(QWidget *parent, const QString &title, const QString &text) = 0;
    // A completion: information icon, one OK button.
    virtual void inform(QWidget *parent, const QString &title, const QString &text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &title, const QString &text) = 0;
    // The chosen folder without a trailing '/' (except "/" itself), or the empty text on cancel.
    virtual QString chooseFolder(QWidget *parent, const QString &initialFolder,
                                 const QString &prompt)
            = 0;
    // The chosen file's full path, or the empty text on cancel. filter is in Qt's form.
    virtual QString chooseFile(QWidget *parent, const QString &initialFolder, const QString &title,
                               const QString &filter)
            = 0;
    // Opens the font dialog without blocking the caller (step 2 stays usable while it is open);
    // done receives the choice, or nothing when the dialog was cancelled.
    virtual void chooseFont(QWidget *owner, const FontChoice &initial,
                            std::function<void(std::optional<FontChoice>)> done)
            = 0;
    // Shows the folder in the desktop's file manager; false when none could be started.
    virtual bool openFolder(const QString &folder) = 0;
};

// The desktop's own dialogs.
class DesktopServices : public GuiServices
{
public:
    void warn(QWidget *parent, const QString &title, const QString &text) override;
    void inform(QWidget *parent, const QString &title, const QString &text) override;
    bool askYesNo(QWidget *parent, const QString &title, const QString &text) override;
    QString chooseFolder(QWidget *parent, const QString &initialFolder,
                         const QString &prompt) override;
    QString chooseFile(QWidget *parent, const QString &initialFolder, const QString &title,
                       const QString &filter) override;
    void chooseFont(QWidget *owner, const FontChoice &initial,
                    std::function<void(std::optional<FontChoice>)> done) override;
    bool openFolder(const QString &folder) override;
};

} // namespace Pw
