#pragma once

#include "app/previewscheduler.h"
#include "app/step1model.h"
#include "platform/sourceselection.h"

#include <QColor>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace Pw {

class PictureButton;
class Wizard;

// Step 1: the source folder, the file types, the list of pictures and their selection, the
// preview with its file information, the keep-camera switch.
class Frm1 : public QWidget
{
    Q_OBJECT

public:
    explicit Frm1(Wizard &wizard, QWidget *parent = nullptr);
    ~Frm1() override;

    // The hand-over to the runs: folder (ending '/'), names in list order, which are selected,
    // the keep-camera switch.
    SourceSelection selection() const;
    // The file previewed last (full path), empty when none: step 2's live preview draws it.
    QString previewedFile() const;
    // The report dialog's "use the result folder as the next source": remembers the folder,
    // lists it and selects every picture.
    void useFolderAsSource(const QString &folder);
    // Reads the folder again (after a rename-only run) and selects all.
    void refresh();
    // `pixwright FOLDER` or `pixwright FILE...`: the paths become the source as a drop would
    // (ResolveOpened; a message says how many were left out), but nothing is remembered until
    // the user changes a choice of this step.
    void openPaths(const QStringList &paths);

    QLabel *PicL = nullptr;
    QLabel *lblStep = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *txtdir = nullptr;
    PictureButton *Command8 = nullptr; // folder chooser
    QListWidget *List1 = nullptr;
    QLabel *lblListNote = nullptr; // why the list is empty, inside its area
    QCheckBox *Chkjpg = nullptr;
    QCheckBox *Chkpng = nullptr;
    QCheckBox *Chkbmp = nullptr;
    QCheckBox *Chkother = nullptr; // HEIC, HEIF, AVIF, WebP and TIFF
    QRadioButton *Op1 = nullptr;   // all
    QRadioButton *Op2 = nullptr;   // none
    QRadioButton *Op3 = nullptr;   // invert
    PictureButton *PicRefresh = nullptr;
    QFrame *Line1 = nullptr;
    QFrame *Line2 = nullptr;
    QLabel *PicShow = nullptr;
    QLabel *lblInfo0 = nullptr;
    QLabel *lblInfo1 = nullptr;
    QLabel *lblInfo2 = nullptr;
    PictureButton *PicExif = nullptr; // camera information
    QCheckBox *Check1 = nullptr;      // keep the camera information
    QPushButton *Command1 = nullptr;  // Next

signals:
    // A new file is to be previewed (empty: the preview was cleared).
    void previewChanged(const QString &file);
    // The preview of file and its information lines are on screen.
    void previewShown(const QString &file);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void startUp();

    PictureTypes typeMaskOfSwitches() const;
    void fillFileList();
    // The real file name of a row (the list may show it escaped).
    QString nameAt(int row) const;
    void setCountedCaptions();
    void setBulkChoicesVisible(bool visible);
    void updateListLayout();
    void showBulkState();
    void showMissingFolder(const QString &folder);

    void chooseFolder();
    void takeFolder(const QString &folder, const QStringList &only = {}, bool remember = true);
    void takeDropped(const DroppedSource &dropped, bool remember);
    void rememberOpenedSource();
    void typedFolder();
    void typeSwitched();
    void selectAll();
    void selectNone();
    void invertSelection();
    void refreshFolder();
    void next();
    void showCameraInfo();

    QString pathOf(int row) const;
    // again: preview even when the file is the one shown (after a re-listing it may have
    // changed).
    void showPreview(int row, bool again = true);
    void previewLoaded(const Preview &preview);
    void clearPreview();
    void writeOnPreview(const QString &text);
    void paintBackdrop();

    Wizard &m_wizard;
    bool m_loaded = false;          // start-up done: the type switches act
    bool m_bulk = false;            // a bulk selection is running: item clicks do not preview
    bool m_invertedJustNow = false; // the selection is the one the last invert made
    QString m_folder;               // SourceFolder as listed, ending with '/'
    PictureTypes m_listedTypes;     // what the hidden listing shows (the pattern)
    int m_selectedCount = 0;
    // The folder and types came from openPaths and are not remembered yet.
    bool m_openedUnstored = false;
    QColor m_background = Qt::black;

    QString m_previewPath;
    // Last member: its destruction waits for a running decode before the window goes.
    PreviewScheduler m_previews;
};

} // namespace Pw
