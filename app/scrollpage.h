#pragma once

#include <QScrollArea>

namespace Pw {

// The body of a step window: the page of controls, scrolled when the screen is too small to
// show it whole (a small screen, or 200 % scaling), so that the window never grows past the
// screen and the buttons below the page stay reachable. As long as there is room it asks for
// the page's full size, so it shows no scroll bar on a usual screen.
class ScrollPage : public QScrollArea
{
    Q_OBJECT

public:
    explicit ScrollPage(QWidget *page, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace Pw
