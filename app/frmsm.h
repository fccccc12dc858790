#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace Pw {

// The camera information of one picture, one item per line. Shows, changes nothing, remembers
// nothing: every opening makes a new dialog.
class FrmSM : public QDialog
{
    Q_OBJECT

public:
    explicit FrmSM(QWidget *step1 = nullptr);

    // Opens the dialog modally for folder + fileName, placed left of step1, and returns when
    // it is closed.
    static void showFor(QWidget *step1, const QString &folder, const QString &fileName);

    // Path and header line; the information is read when the dialog is shown.
    void prepare(const QString &path, const QString &fileName);

    QLabel *lblwj = nullptr;         // the picture's full path, and what the dialog reads
    QPlainTextEdit *TxtWd = nullptr; // the information text
    QPushButton *Command1 = nullptr; // 确定

protected:
    void showEvent(QShowEvent *event) override;

private:
    void placeBeside(QWidget *step1);

    bool m_filled = false;
};

} // namespace Pw
