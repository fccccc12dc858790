#pragma once

#include "naming/renamerun.h"
#include "run/batchengine.h"
#include "run/batchrunner.h"

#include <QElapsedTimer>
#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace Pw {

class FrmErr;
class FrmRename;
class FrmRename2;
class RenameRunner;
class Wizard;

// Step 3: background, quality and naming, the summary, and the run with its progress.
class Frm3 : public QWidget
{
    Q_OBJECT

public:
    explicit Frm3(Wizard &wizard, QWidget *parent = nullptr);
    ~Frm3() override;

    bool runInProgress() const { return m_running; }

    // The naming dialog, made hidden with this window; its rule is the one in force.
    FrmRename *namingDialog() const { return m_frmRename; }
    // The background colour of the swatch (0x00BBGGRR): what the run paints the border with.
    qint32 backgroundColour() const { return m_background; }

    // Rebuilds the summary (normal mode) and shows it.
    void ShowSummary();
    // The finish button: stop, refuse, the rename-only run or the batch run.
    void RunOrStop();
    void ChooseBackgroundPicture();
    void ClearBackgroundPicture();
    // Paints the swatch; store is true only for a pick from the palette.
    void SetBackgroundColour(qint32 bgr, bool store);

    QLabel *PicL = nullptr;
    QLabel *lblStep = nullptr;
    QLabel *PicBJS = nullptr;  // palette
    QLabel *PicBJse = nullptr; // swatch
    QPushButton *CmdStartPic = nullptr;
    QLineEdit *TxtPic = nullptr; // hidden: the background picture's path
    QLabel *PicBJ = nullptr;     // background picture preview
    QLabel *Label3 = nullptr;
    QLabel *lblBJT = nullptr;    // background hint; the progress text during a run
    QComboBox *Combo1 = nullptr; // save quality
    QToolButton *PicRename = nullptr;
    QLabel *lbl12 = nullptr;
    QFrame *Pic34 = nullptr;
    QLabel *lbl34 = nullptr;
    QFrame *PicJD = nullptr;
    QLabel *lblJD = nullptr;
    QPushButton *Command1 = nullptr; // finish / stop / batch rename
    QPushButton *Command2 = nullptr; // Previous

signals:
    // The report dialog of a finished run is up (tests and screenshots reach it here).
    void reportShown(Pw::FrmErr *dialog);
    // The rename preview is up.
    void previewShown(Pw::FrmRename2 *dialog);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void becomeActive();
    void showPanel(bool panel);
    QString backgroundHint() const;
    bool backgroundPictureExists() const;
    void setProgress(int ordinal, int total, const QString &text);
    void hideProgress();
    void updateBar();
    void updateTitle();
    void startBatch();
    void onBatchFinished(const BatchResult &result);
    void enterRunningState(bool batch);
    void leaveRunningState();
    void startRenameOnly();
    void onRenameFinished(const RenameOutcome &outcome);
    void setChoicesEnabled(bool on);

    Wizard &m_wizard;
    FrmRename *m_frmRename = nullptr;
    QWidget *m_backgroundPage = nullptr;
    QStackedWidget *m_stack = nullptr;
    qint32 m_background = 0;
    bool m_running = false;
    int m_ordinal = 0;
    int m_total = 0;
    QElapsedTimer m_runClock;
    BatchRunner *m_runner = nullptr;
    RenameRunner *m_renameRunner = nullptr;
    SourceSelection m_renameSelection; // the list both passes of a rename-only run walk
    NamingRule m_renameRule;
    bool m_renamePass = false; // false: the preview pass
};

} // namespace Pw
