#include "app/frmrename.h"

#include "app/guiservices.h"
#include "app/objectnames.h"
#include "platform/apppaths.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace Pw {

FrmRename::FrmRename(GuiServices &services, std::function<bool()> keepCamera,
                     std::function<bool()> renameOnly, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_keepCamera(std::move(keepCamera))
    , m_renameOnly(std::move(renameOnly))
{
    setObjectName(QStringLiteral("FrmRename"));
    setWindowTitle(tr("命名规则"));
    setWindowModality(Qt::ApplicationModal);

    auto *options = new QGridLayout;
    options->setColumnStretch(1, 1);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(false);
    for (int i = 0; i < kNamingOptionCount; ++i) {
        Chk[i] = new QCheckBox(this);
        Chk[i]->setObjectName(QStringLiteral("Chk_%1").arg(i));
        lblChk[i] = new QLabel(NamingOptionLabel(i, false), this);
        lblChk[i]->setObjectName(QStringLiteral("lblChk_%1").arg(i));
        lblChk[i]->installEventFilter(this);
        Chk[i]->setAccessibleName(lblChk[i]->text());
        m_group->addButton(Chk[i], i);
        options->addWidget(Chk[i], i, 0);
        options->addWidget(lblChk[i], i, 1);
    }
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool) { onBoxChanged(id); });

    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->addItems(SeparatorEntries());
    Command1 = named(new QPushButton(tr("确定(&O)"), this), "Command1");
    Command1->setDefault(true);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Combo1);
    bottom->addStretch(1);
    bottom->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addSpacing(8);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &FrmRename::accept);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &FrmRename::onSeparatorChanged);
    load();
}

void FrmRename::load()
{
    {
        // Entry 0 first, then the remembered one; either way the separator follows the list.
        const QSignalBlocker blocker(Combo1);
        Combo1->setCurrentIndex(LoadSeparatorIndex());
    }
    m_rule.NamingSeparator = SeparatorOfEntry(Combo1->currentIndex());
    const NamingRule stored = LoadNamingRule();
    // The stored rule comes up as stored: a photo letter that step 1's switch leaves out is
    // said when the dialog is opened, and left out of the summary and the names meanwhile.
    m_loading = true;
    for (int i = 0; i < kNamingOptionCount; ++i)
        Chk[i]->setChecked(stored.NamingFlags[i] == 1);
    m_loading = false;
    for (int i = 0; i < kNamingOptionCount; ++i)
        m_rule.NamingFlags[i] = Chk[i]->isChecked() ? 1 : 0;
}

void FrmRename::showModal()
{
    const bool renameOnly = m_renameOnly();
    Chk[3]->setEnabled(!renameOnly);
    lblChk[3]->setEnabled(!renameOnly);
    lblChk[3]->setText(NamingOptionLabel(3, renameOnly));
    Chk[3]->setAccessibleName(lblChk[3]->text());
    show();
    raise();
    activateWindow();
    dropIgnoredPhotoLetter();
}

void FrmRename::dropIgnoredPhotoLetter()
{
    if (!Chk[2]->isChecked() || PhotoLetterAllowed(m_renameOnly(), m_keepCamera()))
        return;
    Chk[2]->setChecked(false);
    m_services.warn(this, ProductName(), PhotoLetterWarning());
}

void FrmRename::onBoxChanged(int index)
{
    if (m_loading || index != 2 || !Chk[2]->isChecked())
        return;
    if (PhotoLetterAllowed(m_renameOnly(), m_keepCamera()))
        return;
    Chk[2]->setChecked(false);
    m_services.warn(this, ProductName(), PhotoLetterWarning());
}

void FrmRename::onSeparatorChanged(int index)
{
    StoreSeparatorIndex(index);
    m_rule.NamingSeparator = SeparatorOfEntry(index);
}

void FrmRename::accept()
{
    NamingRule ticked = m_rule;
    for (int i = 0; i < kNamingOptionCount; ++i)
        ticked.NamingFlags[i] = Chk[i]->isChecked() ? 1 : 0;
    if (GivesHiddenNames(ticked, m_renameOnly())) {
        m_services.warn(this, ProductName(), HiddenNamesWarning());
        return;
    }
    for (int i = 0; i < kNamingOptionCount; ++i)
        m_rule.NamingFlags[i] = Chk[i]->isChecked() ? 1 : 0;
    StoreNamingFlags(m_rule);
    hideDialog();
}

// Escape behaves as the close box: the boxes stay as ticked, the rule in force does not change.
void FrmRename::reject()
{
    hideDialog();
}

void FrmRename::closeEvent(QCloseEvent *event)
{
    event->ignore();
    hideDialog();
}

void FrmRename::hideDialog()
{
    if (!isVisible())
        return;
    hide();
    emit closed();
}

// A click on an option's text toggles its box, as a click on the box would.
bool FrmRename::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        for (int i = 0; i < kNamingOptionCount; ++i) {
            if (watched == lblChk[i] && mouse->button() == Qt::LeftButton
                && lblChk[i]->rect().contains(mouse->position().toPoint())) {
                if (Chk[i]->isEnabled())
                    Chk[i]->setChecked(!Chk[i]->isChecked());
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace Pw
