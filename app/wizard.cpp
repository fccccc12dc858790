#include "app/wizard.h"

#include "app/artwork.h"
#include "app/frm1.h"
#include "app/frm2.h"
#include "app/frm3.h"
#include "app/guiservices.h"
#include "app/picturewidgets.h"

namespace Pw {

Wizard::Wizard(GuiServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_icon(AppIcon())
{}

Wizard::~Wizard() = default;

QString Wizard::title()
{
    return QStringLiteral("Pixwright(Ver %1)").arg(QStringLiteral(PIXWRIGHT_VERSION));
}

QLabel *Wizard::makeBanner(QWidget *parent)
{
    return new Banner(parent);
}

QPixmap Wizard::banner(QSize logicalSize, qreal devicePixelRatio)
{
    return BannerPixmap(logicalSize, devicePixelRatio);
}

Frm1 *Wizard::frm1()
{
    if (!m_frm1)
        m_frm1 = std::make_unique<Frm1>(*this);
    return m_frm1.get();
}

Frm2 *Wizard::frm2()
{
    if (!m_frm2)
        m_frm2 = std::make_unique<Frm2>(*this);
    return m_frm2.get();
}

Frm3 *Wizard::frm3()
{
    if (!m_frm3)
        m_frm3 = std::make_unique<Frm3>(*this);
    return m_frm3.get();
}

QWidget *Wizard::step(int step)
{
    switch (step) {
    case 1:
        return frm1();
    case 2:
        return frm2();
    case 3:
        return frm3();
    default:
        return nullptr;
    }
}

void Wizard::start()
{
    showStep(1);
}

void Wizard::showStep(int number)
{
    QWidget *target = step(number);
    if (!target)
        return;
    // Show the target first, then hide the others, so the desktop never sees the program
    // without a window.
    target->show();
    target->raise();
    target->activateWindow();
    QWidget *const steps[] = {m_frm1.get(), m_frm2.get(), m_frm3.get()};
    for (QWidget *other : steps)
        if (other && other != target)
            other->hide();
}

int Wizard::visibleStep() const
{
    if (m_frm1 && m_frm1->isVisible())
        return 1;
    if (m_frm2 && m_frm2->isVisible())
        return 2;
    if (m_frm3 && m_frm3->isVisible())
        return 3;
    return 0;
}

void Wizard::quit()
{
    emit ended();
}

} // namespace Pw
