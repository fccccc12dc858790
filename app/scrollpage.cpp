#include "app/scrollpage.h"

#include <QEvent>
#include <QStyle>

namespace Pw {

ScrollPage::ScrollPage(QWidget *page, QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(page);
    page->installEventFilter(this);
}

bool ScrollPage::eventFilter(QObject *watched, QEvent *event)
{
    // The page's wish changed: so does this area's, which the window's layout must hear of.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

QSize ScrollPage::sizeHint() const
{
    // QScrollArea caps its hint at a few dozen lines; a step asks for its whole page.
    const QWidget *page = widget();
    if (!page)
        return QScrollArea::sizeHint();
    // With room for the scroll bars: a page that fits exactly can keep a bar it had while the
    // window was laid out, and one bar then calls for the other.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return page->sizeHint().grownBy(contentsMargins()) + QSize(bar, bar);
}

QSize ScrollPage::minimumSizeHint() const
{
    // Room for a few lines of the page beside its scroll bars; the rest scrolls.
    const int line = fontMetrics().height();
    return {line * 12, line * 6};
}

} // namespace Pw
