#include "app/scrollpage.h"

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
}

QSize ScrollPage::sizeHint() const
{
    // QScrollArea caps its hint at a few dozen lines; a step asks for its whole page.
    const QWidget *page = widget();
    if (!page)
        return QScrollArea::sizeHint();
    // With room for a vertical scroll bar, so that a page scrolled up and down on a low screen
    // does not scroll sideways as well.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return page->sizeHint().grownBy(contentsMargins()) + QSize(bar, 0);
}

QSize ScrollPage::minimumSizeHint() const
{
    // Room for a few lines of the page beside its scroll bars; the rest scrolls.
    const int line = fontMetrics().height();
    return {line * 12, line * 6};
}

} // namespace Pw
