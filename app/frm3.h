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

// What step 3 runs on, handed over by the wizard when the step is shown and again when step 1's
// list changes under it: the step-1 selection with its keep-camera switch, the step-2 options
// and whether step 2 was skipped. The naming rule is step 3's own (its naming dialog).
struct Step3Inputs
{
    SourceSelection selection;
    ProcessingOptions options;
    bool renameOnly = false;
};

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

    // Takes what the next run runs on; a visible, idle step 3 shows it at once.
    void handOver(const Step3Inputs &inputs);
    const Step3Inputs &inputs() const { return m_inputs; }

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
    QLabel *lblJDT = nullptr;        // the progress line: one line of its own, elided
    QPushButton *Command1 = nullptr; // finish / stop / batch rename
    QPushButton *Command2 = nullptr; // Previous
    QPushButton *CmdUndo = nullptr;  // undo the last rename (rename-only mode, when kept)
    QLabel *lblOut = nullptr;        // "结果位置："
    QLineEdit *TxtOut = nullptr;     // where the results go (read-only)
    QPushButton *CmdOut = nullptr;   // chooses it

signals:
    // The report dialog of a finished run is up (tests and screenshots reach it here).
    void reportShown(Pw::FrmErr *dialog);
    // The rename preview is up.
    void previewShown(Pw::FrmRename2 *dialog);
    // The rename pass changed names in the source folder: step 1 lists them again.
    void filesRenamed();

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
    // keepProgress: the bar and its line stay (the rename preview is open).
    void leaveRunningState(bool keepProgress = false);
    void startRenameOnly();
    void onRenameFinished(const RenameOutcome &outcome);
    void setChoicesEnabled(bool on);
    void undoLastRename();
    void chooseOutputFolder();
    void showOutputFolder();
    void showUndo();

    Wizard &m_wizard;
    Step3Inputs m_inputs;
    FrmRename *m_frmRename = nullptr;
    QWidget *m_backgroundPage = nullptr;
    QStackedWidget *m_stack = nullptr;
    qint32 m_background = 0;
    QString m_outputFolder; // "" = the desktop folder
    QWidget *m_outputRow = nullptr;
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
