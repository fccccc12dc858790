#pragma once

#include "naming/namingrule.h"

#include <QIcon>
#include <QMargins>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <memory>

class QLabel;
class QWidget;

namespace Pw {

class Frm1;
class Frm2;
class Frm3;
class GuiServices;

// The three step windows and the hand-over between them. Each step is made on first use and
// lives until the wizard ends; exactly one of them is visible at a time, so every step keeps
// its controls, and with them the user's choices, while the user moves back and forth.
class Wizard : public QObject
{
    Q_OBJECT

public:
    explicit Wizard(GuiServices &services, QObject *parent = nullptr);
    ~Wizard() override;

    GuiServices &services() const { return m_services; }

    Frm1 *frm1();
    Frm2 *frm2();
    Frm3 *frm3();

    // Makes step 1 (its start-up reads the settings) and shows it.
    void start();
    // Shows step 1, 2 or 3 and hides the others.
    void showStep(int step);
    // The visible step (1..3), 0 when none is.
    int visibleStep() const;

    // Yes when step 3 was reached through step 2's Skip.
    bool renameOnlyMode() const { return m_renameOnlyMode; }
    void setRenameOnlyMode(bool on) { m_renameOnlyMode = on; }

    // "Pixwright(Ver x.y.z)": every step and dialog shows it or takes it from step 1.
    static QString title();
    // The program's icon (drawn by the program); every step window and dialog shows it.
    QIcon icon() const { return m_icon; }
    // The banner PicL of the step windows: a QLabel named "PicL" that paints the banner to fill
    // the height its layout gives it (fixed width). Put it at the left edge of the window.
    static QLabel *makeBanner(QWidget *parent);
    // The banner as a picture of the given logical size (screenshots, other uses).
    static QPixmap banner(QSize logicalSize, qreal devicePixelRatio = 1.0);

    // The naming rule as stored (step 3's dialog holds it once step 3 is made).
    NamingRule namingRule() const;

    // Step 1 lists the folder and selects all of it (the report's "next source"); step 3, when
    // made, takes the new selection.
    void useFolderAsSource(const QString &folder);

    // Ends the program (a step window was closed by its rules).
    void quit();

signals:
    // The program should end; main connects it to the application's quit.
    void ended();

private:
    QWidget *step(int step);
    // Gives step 3 what the other steps hold now.
    void handOverToStep3();
    // Step 1's keep-camera switch was clicked: say when the rule's photo letter goes with it.
    void noteKeepCameraChange(bool keepCamera);
    // Sizes target (to its layout's wish when fitToHint, else keeping its size) and places it
    // where current stands, or centred when there is none, wholly on the screen.
    void placeLike(QWidget *target, const QWidget *current, bool fitToHint);

    GuiServices &m_services;
    QIcon m_icon;
    std::unique_ptr<Frm1> m_frm1;
    std::unique_ptr<Frm2> m_frm2;
    std::unique_ptr<Frm3> m_frm3;
    bool m_renameOnlyMode = false;
    QMargins m_lastFrame; // the desktop's frame around a step, once one was seen
};

} // namespace Pw
