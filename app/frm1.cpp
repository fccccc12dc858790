#include "app/frm1.h"

#include "app/wizard.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Pw {

// The window's controls and its start-up are still to come; Next already leads on.
Frm1::Frm1(Wizard &wizard, QWidget *parent)
    : QWidget(parent)
    , m_wizard(wizard)
{
    setObjectName(QStringLiteral("Frm1"));
    setWindowTitle(Wizard::title());
    lblStep = new QLabel(tr("【第1/3步:选择欲修改尺寸的图片或照片】"), this);
    lblStep->setObjectName(QStringLiteral("lblStep"));
    Command1 = new QPushButton(tr("下一步(&N)"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    setWindowIcon(m_wizard.icon());
    auto *outer = new QHBoxLayout(this);
    outer->addWidget(Wizard::makeBanner(this));
    auto *layout = new QVBoxLayout;
    outer->addLayout(layout);
    layout->addWidget(lblStep);
    layout->addWidget(Command1);
    connect(Command1, &QPushButton::clicked, this, [this] { m_wizard.showStep(2); });
}

SourceSelection Frm1::selection() const
{
    return {};
}

QString Frm1::previewedFile() const
{
    return {};
}

void Frm1::useFolderAsSource(const QString &) {}

void Frm1::refresh() {}

void Frm1::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_wizard.quit();
}

} // namespace Pw
