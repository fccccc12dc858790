#include "app/wizard.h"

#include "app/artwork.h"
#include "app/frm1.h"
#include "app/frm2.h"
#include "app/frm3.h"
#include "app/frmrename.h"
#include "app/guiservices.h"
#include "app/picturewidgets.h"
#include "platform/apppaths.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace Pw {

Wizard::Wizard(GuiServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_icon(AppIcon())
{}

Wizard::~Wizard() = default;

QString Wizard::title()
{
    return (ProductName() + QStringLiteral("(Ver %1)")).arg(QStringLiteral(PIXWRIGHT_VERSION));
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
    if (!m_frm1) {
        m_frm1 = std::make_unique<Frm1>(*this);
        // Only the user's click (not the start-up's restore) hears what the switch costs.
        connect(m_frm1->Check1, &QCheckBox::clicked, this, &Wizard::noteKeepCameraChange);
    }
    return m_frm1.get();
}

NamingRule Wizard::namingRule() const
{
    return m_frm3 ? m_frm3->namingDialog()->rule() : LoadNamingRule();
}

void Wizard::noteKeepCameraChange(bool keepCamera)
{
    if (PhotoLetterLeftOut(namingRule(), false, keepCamera))
        m_services.inform(m_frm1.get(), title(), PhotoLetterLeftOutNote());
}

Frm2 *Wizard::frm2()
{
    if (!m_frm2) {
        m_frm2 = std::make_unique<Frm2>(*this);
        // Step 2's live preview draws the picture step 1 previews.
        Frm1 *step1 = frm1();
        m_frm2->setPreviewSource(step1->previewedFile());
        connect(step1, &Frm1::previewChanged, m_frm2.get(), &Frm2::setPreviewSource);
    }
    return m_frm2.get();
}

Frm3 *Wizard::frm3()
{
    if (!m_frm3) {
        m_frm3 = std::make_unique<Frm3>(*this);
        connect(m_frm3.get(), &Frm3::filesRenamed, this, [this] {
            frm1()->refresh();
            handOverToStep3();
        });
    }
    return m_frm3.get();
}

void Wizard::handOverToStep3()
{
    Step3Inputs inputs;
    inputs.selection = frm1()->selection();
    inputs.options = frm2()->options();
    inputs.renameOnly = m_renameOnlyMode;
    frm3()->handOver(inputs);
}

void Wizard::useFolderAsSource(const QString &folder)
{
    frm1()->useFolderAsSource(folder);
    if (m_frm3)
        handOverToStep3();
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

namespace {

// The frame of a window (title bar and borders) as the desktop draws it; nothing before the
// window was first shown.
QMargins frameOf(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// The frame's top-left corner that keeps a window of this size and frame wholly on the
// available area, as close to `wanted` as it can be.
QPoint keptOnScreen(QPoint wanted, QSize size, QMargins frame, const QRect &available)
{
    const QSize outer = size.grownBy(frame);
    const int right = std::max(available.left(), available.right() + 1 - outer.width());
    const int bottom = std::max(available.top(), available.bottom() + 1 - outer.height());
    return {std::clamp(wanted.x(), available.left(), right),
            std::clamp(wanted.y(), available.top(), bottom)};
}

} // namespace

// The step shown takes the place of the step hidden, so the buttons stay under the pointer;
// the first step opens centred. Either way the window is no larger than the screen's
// available area and lies wholly on it.
void Wizard::placeLike(QWidget *target, const QWidget *current, bool fitToHint)
{
    const QScreen *screen = current ? current->screen() : target->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // A window that is hidden, or only just shown, may have no frame yet: the last one seen
    // stands for it, as the desktop draws every step alike.
    QMargins frame = frameOf(current ? current : target);
    if (frame.isNull())
        frame = m_lastFrame;
    else
        m_lastFrame = frame;
    const QSize room = available.size().shrunkBy(frame);
    // A window never sized by its code opens at its layout's wish, which may pass the screen;
    // the wish counts only once the style and fonts are applied and the layout requests the
    // controls posted meanwhile are handled.
    target->ensurePolished();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (QLayout *layout = target->layout())
        layout->activate();
    const QSize wished = fitToHint ? target->sizeHint() : target->size();
    const QSize size = wished.boundedTo(room).expandedTo(target->minimumSize());
    QPoint wanted;
    if (current) {
        wanted = current->frameGeometry().topLeft();
    } else {
        const QSize outer = size.grownBy(frame);
        wanted = available.topLeft()
                 + QPoint((available.width() - outer.width()) / 2,
                          (available.height() - outer.height()) / 2);
    }
    // Placed by its inner rectangle: moving a window that was shown before places its inner
    // rectangle, not its frame, on some desktops.
    const QPoint outer = keptOnScreen(wanted, size, frame, available);
    target->setGeometry(QRect(outer + QPoint(frame.left(), frame.top()), size));
}

void Wizard::showStep(int number)
{
    if (number == 3)
        handOverToStep3();
    QWidget *target = step(number);
    if (!target)
        return;
    // Step 2's live preview shows step 3's background picture once one is chosen.
    if (target == m_frm2.get() && m_frm3)
        m_frm2->setBackgroundPicture(m_frm3->TxtPic->text());
    if (!target->isVisible()) {
        const QWidget *current = nullptr;
        for (const QWidget *other :
             {static_cast<QWidget *>(m_frm1.get()), static_cast<QWidget *>(m_frm2.get()),
              static_cast<QWidget *>(m_frm3.get())})
            if (other && other != target && other->isVisible())
                current = other;
        // A window shown for the first time and never sized by its code takes its layout's
        // wish, which counts the style and fonts in full only once it is on screen: it is
        // fitted again, where it stands, when the showing is done.
        const bool refit = !target->testAttribute(Qt::WA_WState_ExplicitShowHide)
                           && !target->testAttribute(Qt::WA_Resized);
        placeLike(target, current, refit);
        if (refit)
            QTimer::singleShot(0, target, [this, target] { placeLike(target, target, true); });
    }
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
