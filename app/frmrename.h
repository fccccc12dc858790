#pragma once

#include "naming/namingrule.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace Pw {

class GuiServices;

// The naming-rule dialog. Made (hidden) when step 3 loads, so the remembered rule is in force
// before anyone opens it; OK and the close box only hide it.
class FrmRename : public QDialog
{
    Q_OBJECT

public:
    // keepCamera and renameOnly answer step 1's keep-camera switch and the wizard's mode at the
    // moment they are asked.
    FrmRename(GuiServices &services, std::function<bool()> keepCamera,
              std::function<bool()> renameOnly, QWidget *parent = nullptr);

    // The rule in force: the flags taken at load and at OK, the separator as selected. A run
    // applies it through EffectiveNamingRule (the photo letter needs kept camera information).
    NamingRule rule() const { return m_rule; }

    // Shows the dialog modally (without waiting): option 4 follows the mode first.
    void showModal();

    std::array<QCheckBox *, kNamingOptionCount> Chk{};
    std::array<QLabel *, kNamingOptionCount> lblChk{};
    QComboBox *Combo1 = nullptr;     // separator
    QPushButton *Command1 = nullptr; // OK

signals:
    // The dialog was hidden (OK or close box); step 3 rebuilds its summary.
    void closed();

public slots:
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load();
    void onBoxChanged(int index);
    void onSeparatorChanged(int index);
    void hideDialog();

    // Opening the dialog says what a stored photo letter will not do (not the load: nobody
    // asked for the dialog then).
    void dropIgnoredPhotoLetter();

    GuiServices &m_services;
    std::function<bool()> m_keepCamera;
    std::function<bool()> m_renameOnly;
    QButtonGroup *m_group = nullptr;
    NamingRule m_rule;
    bool m_loading = false;
};

} // namespace Pw
