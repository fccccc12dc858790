#include "app/frmsm.h"

#include "app/objectnames.h"

#include "exif/tagcatalogue.h"
#include "platform/apppaths.h"
#include "platform/fonts.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace Pw {

namespace {

// 640 twips at 96 dpi.
constexpr int kLeftOfStepOne = 43;

} // namespace

FrmSM::FrmSM(QWidget *step1)
    : QDialog(step1)
{
    setObjectName(QStringLiteral("FrmSM"));
    setWindowTitle(tr("数码照片信息查询"));
    if (step1)
        setWindowIcon(step1->windowIcon());
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);

    lblwj = named(new QLabel(this), "lblwj");
    QFont song(kSongTiFamily);
    song.setPointSizeF(font().pointSizeF());
    lblwj->setFont(song);
    lblwj->setWordWrap(true);
    lblwj->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblwj->setTextFormat(Qt::PlainText);

    TxtWd = named(new QPlainTextEdit(this), "TxtWd");
    TxtWd->setReadOnly(true);
    // Long maker notes wrap and the box scrolls, so every line can be read in full.
    TxtWd->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    TxtWd->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    Command1 = named(new QPushButton(tr("确定"), this), "Command1");
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblwj);
    layout->addWidget(TxtWd, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    layout->addLayout(buttons);

    const QFontMetrics metrics(font());
    resize(metrics.horizontalAdvance(QLatin1Char('M')) * 52, metrics.height() * 30);
}

void FrmSM::prepare(const QString &path, const QString &fileName)
{
    lblwj->setText(path);
    TxtWd->setPlainText(QStringLiteral("【") + fileName + QStringLiteral("】"));
    m_filled = false;
}

void FrmSM::showFor(QWidget *step1, const QString &folder, const QString &fileName)
{
    auto *dialog = new FrmSM(step1);
    dialog->prepare(WithTrailingSlash(folder) + fileName, fileName);
    dialog->placeBeside(step1);
    dialog->exec();
}

// Left of step 1 and centred on the screen's height, kept on the screen.
void FrmSM::placeBeside(QWidget *step1)
{
    QScreen *screen = step1 ? step1->screen() : this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Never taller or wider than the screen: the text box scrolls instead.
    const QSize margins = step1 ? step1->frameGeometry().size() - step1->size() : QSize();
    resize(size().boundedTo(area.size() - margins));
    const QSize frame = size() + margins;
    int left = step1 ? step1->frameGeometry().left() - kLeftOfStepOne : area.left();
    left = std::clamp(left, area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int top = area.top() + std::max(0, (area.height() - frame.height()) / 2);
    move(left, top);
}

// The information is read as the dialog appears, with the header it was given.
void FrmSM::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_filled)
        return;
    m_filled = true;
    QString text = BuildCameraInfoText(TxtWd->toPlainText(), lblwj->text());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Undefined-type values can hold raw control bytes (ComponentsConfiguration is 1 2 3 0);
    // they would show as boxes.
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\n' && c != u'\t'; });
    TxtWd->setPlainText(text);
}

} // namespace Pw
