#pragma once

#include "platform/sourceselection.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace Pw {

class Wizard;

// Step 1: the source folder, the file types, the list of pictures and their selection, the
// preview with its file information, the keep-camera switch.
class Frm1 : public QWidget
{
    Q_OBJECT

public:
    explicit Frm1(Wizard &wizard, QWidget *parent = nullptr);

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

    QLabel *lblStep = nullptr;
    QPushButton *Command1 = nullptr;

signals:
    void previewChanged(const QString &file);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Wizard &m_wizard;
};

} // namespace Pw
