#pragma once

#include <QDialog>
#include <QtGlobal>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace Pw {

class Wizard;

// The report shown after every batch run, with the next move: back to step 1 or 2 or stay,
// open the result folder, take it as the next source. The choices are remembered at once.
// Made afresh for each report.
class FrmErr : public QDialog
{
    Q_OBJECT

public:
    // colour is 0x00BBGGRR: blue when every file succeeded, else red.
    FrmErr(Wizard &wizard, const QString &runFolder, const QString &report, qint32 colour,
           QWidget *parent = nullptr);

    QPlainTextEdit *Text1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblResult = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Op1 = nullptr;
    QRadioButton *Op2 = nullptr;
    QRadioButton *Op3 = nullptr;
    QCheckBox *Check1 = nullptr;
    QCheckBox *Check2 = nullptr;
    QPushButton *Command1 = nullptr;

signals:
    // After OK or the close box; stayAtStep3 is false when OK moved to step 1 or 2.
    void answered(bool stayAtStep3);

public slots:
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Wizard &m_wizard;
    QString m_runFolder; // empty when the run wrote nothing
    QButtonGroup *m_next = nullptr;
    bool m_finished = false;
};

} // namespace Pw
