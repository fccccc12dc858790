#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace Pw {

class Wizard;

// Step 3: background, quality and naming, the summary, and the run with its progress.
class Frm3 : public QWidget
{
    Q_OBJECT

public:
    explicit Frm3(Wizard &wizard, QWidget *parent = nullptr);

    bool runInProgress() const { return m_running; }

    QLabel *lblStep = nullptr;
    QPushButton *Command1 = nullptr; // finish / stop / batch rename
    QPushButton *Command2 = nullptr; // Previous

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Wizard &m_wizard;
    bool m_running = false;
};

} // namespace Pw
