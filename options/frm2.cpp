#include "options/frm2.h"

#include "app/wizard.h"
#include "options/modecaption.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Pw {

// The mode, size and overlay controls are still to come; the three buttons already lead on.
Frm2::Frm2(Wizard &wizard, QWidget *parent)
    : QWidget(parent)
    , m_wizard(wizard)
{
    setObjectName(QStringLiteral("Frm2"));
    setWindowTitle(Wizard::title());
    lblStep = new QLabel(tr("【第2/3步:指定变形方式与压缩体积】"), this);
    lblStep->setObjectName(QStringLiteral("lblStep"));
    Command2 = new QPushButton(tr("上一步(&P)"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1 = new QPushButton(tr("下一步(&N)"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command4 = new QPushButton(tr("跳过(&S)"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    buttons->addWidget(Command4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblStep);
    layout->addLayout(buttons);
    connect(Command2, &QPushButton::clicked, this, [this] { m_wizard.showStep(1); });
    connect(Command1, &QPushButton::clicked, this, [this] {
        m_wizard.setRenameOnlyMode(false);
        m_wizard.showStep(3);
    });
    connect(Command4, &QPushButton::clicked, this, [this] {
        m_wizard.setRenameOnlyMode(true);
        m_wizard.showStep(3);
    });
}

ProcessingOptions Frm2::options() const
{
    return m_options;
}

QString Frm2::modeCaption() const
{
    return ModeCaption(m_options);
}

void Frm2::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_wizard.quit();
}

} // namespace Pw
