#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace Pw {

// The rename preview: every old name with the name it will get. OK answers "1", the close box
// (or Escape) "0"; either way the dialog only hides, and its owner destroys it.
class FrmRename2 : public QDialog
{
    Q_OBJECT

public:
    explicit FrmRename2(const QStringList &lines, QWidget *parent = nullptr);

    // True after OK.
    bool confirmed() const;

    QListWidget *List1 = nullptr;
    QPushButton *Command1 = nullptr; // OK
    QPushButton *Command2 = nullptr; // Cancel
    QLabel *lblgai = nullptr;        // the answer, hidden: "1" after OK, "0" after the close box

signals:
    void answered(bool confirmed);

public slots:
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void answer(bool confirmed);
};

} // namespace Pw
