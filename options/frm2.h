#pragma once

#include "options/processingoptions.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace Pw {

class Wizard;

// Step 2: the processing mode with its sizes, the size limit and the text overlay.
class Frm2 : public QWidget
{
    Q_OBJECT

public:
    explicit Frm2(Wizard &wizard, QWidget *parent = nullptr);

    // The choices as the controls hold them now.
    ProcessingOptions options() const;
    // The caption of the chosen mode option as shown (the summary and the report copy it).
    QString modeCaption() const;
    bool fontDialogOpen() const { return m_fontDialogOpen; }

    QLabel *lblStep = nullptr;
    QPushButton *Command1 = nullptr; // Next
    QPushButton *Command2 = nullptr; // Previous
    QPushButton *Command4 = nullptr; // Skip

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Wizard &m_wizard;
    ProcessingOptions m_options;
    bool m_fontDialogOpen = false;
};

} // namespace Pw
