#include "run/frm3.h"

#include "app/wizard.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Pw {

// The background, quality, naming and run controls are still to come; Previous already leads
// back.
Frm3::Frm3(Wizard &wizard, QWidget *parent)
    : QWidget(parent)
    , m_wizard(wizard)
{
    setObjectName(QStringLiteral("Frm3"));
    setWindowTitle(Wizard::title());
    lblStep = new QLabel(tr("【第3/3步:指定底图背景图或背景色】"), this);
    lblStep->setObjectName(QStringLiteral("lblStep"));
    Command2 = new QPushButton(tr("上一步(&P)"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1 = new QPushButton(tr("完成(&F)"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblStep);
    layout->addLayout(buttons);
    connect(Command2, &QPushButton::clicked, this, [this] { m_wizard.showStep(2); });
}

void Frm3::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        event->ignore();
        return;
    }
    event->accept();
    m_wizard.quit();
}

} // namespace Pw
