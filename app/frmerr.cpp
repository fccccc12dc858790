#include "app/frmerr.h"

#include "app/guiservices.h"
#include "app/objectnames.h"
#include "app/wizard.h"
#include "platform/apppaths.h"
#include "platform/colour.h"
#include "settings/reportsettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>

namespace Pw {

FrmErr::FrmErr(Wizard &wizard, const QString &runFolder, const QString &report, qint32 colour,
               QWidget *parent)
    : QDialog(parent)
    , m_wizard(wizard)
    , m_runFolder(runFolder)
{
    setObjectName(QStringLiteral("FrmErr"));
    setWindowTitle(tr("图片处理报告"));
    setWindowIcon(wizard.icon());
    setWindowModality(Qt::ApplicationModal);

    Text1 = named(new QPlainTextEdit(this), "Text1");
    Text1->setReadOnly(true);
    Text1->setPlainText(report);
    QPalette textPalette = Text1->palette();
    textPalette.setColor(QPalette::Text, ColourFromBgr(colour));
    Text1->setPalette(textPalette);
    // Tall enough for the whole report, so the counts and the first errors show without
    // scrolling, up to six tenths of the screen; wide enough for the longest mode caption.
    const QFontMetrics metrics = Text1->fontMetrics();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int screenLines = screen ? screen->availableGeometry().height() * 6 / 10
                                             / metrics.lineSpacing()
                                   : 30;
    const int reportLines = int(report.count(u'\n')) + 2;
    const int lines = std::max(12, std::min(reportLines, screenLines));
    const int margins = int(Text1->document()->documentMargin() * 2) + Text1->frameWidth() * 2;
    Text1->setMinimumSize(metrics.horizontalAdvance(QString(50, u'中')),
                          metrics.lineSpacing() * lines + margins);

    Label2 = named(new QLabel(tr("结果目录："), this), "Label2");
    // A run that wrote nothing left no folder to show or open.
    lblResult = new QLabel(
            runFolder.isEmpty() ? tr("（本次没有写出文件，未留下结果目录）") : runFolder, this);
    named(lblResult, "lblResult");
    lblResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblResult->setWordWrap(true);

    Frame1 = named(new QGroupBox(tr("接下来，您将要："), this), "Frame1");
    Op1 = named(new QRadioButton(tr("关闭这个窗口后返回第一步"), Frame1), "Op1");
    Op2 = named(new QRadioButton(tr("关闭这个窗口后返回第二步"), Frame1), "Op2");
    Op3 = named(new QRadioButton(tr("关闭这个窗口后留在第三步"), Frame1), "Op3");
    Check1 = named(new QCheckBox(tr("去结果目录看看工作成果"), Frame1), "Check1");
    Check2 = named(new QCheckBox(tr("将结果目录作为再次加工的图片源"), Frame1), "Check2");
    m_next = new QButtonGroup(this);
    m_next->addButton(Op1, 1);
    m_next->addButton(Op2, 2);
    m_next->addButton(Op3, 3);
    Command1 = named(new QPushButton(tr("确定(&O)"), this), "Command1");
    Command1->setDefault(true);

    auto *frame = new QVBoxLayout(Frame1);
    frame->addWidget(Op1);
    frame->addWidget(Op2);
    frame->addWidget(Op3);
    frame->addSpacing(6);
    frame->addWidget(Check1);
    frame->addWidget(Check2);
    auto *folder = new QHBoxLayout;
    folder->addWidget(Label2, 0, Qt::AlignTop);
    folder->addWidget(lblResult, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Frame1, 1);
    bottom->addWidget(Command1, 0, Qt::AlignBottom);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Text1, 1);
    layout->addLayout(folder);
    layout->addLayout(bottom);

    const ReportChoices choices = LoadReportChoices();
    m_next->button(choices.nextMove)->setChecked(true);
    Check1->setChecked(choices.openResultFolder);
    Check2->setChecked(choices.resultAsSource);
    Check1->setEnabled(!runFolder.isEmpty());
    Check2->setEnabled(!runFolder.isEmpty());
    // Remembered the moment they change, whatever the dialog's end.
    connect(m_next, &QButtonGroup::idClicked, this, [](int id) { StoreNextMove(id); });
    connect(Check1, &QCheckBox::clicked, this, [](bool on) { StoreOpenResultFolder(on); });
    connect(Check2, &QCheckBox::clicked, this, [](bool on) { StoreResultAsSource(on); });
    connect(Command1, &QPushButton::clicked, this, &FrmErr::accept);
    Command1->setFocus();
}

// OK: the next source first, then the step to show, then the file manager.
void FrmErr::accept()
{
    if (m_finished)
        return;
    m_finished = true;
    const QString folder = m_runFolder;
    if (Check2->isChecked() && !folder.isEmpty())
        m_wizard.useFolderAsSource(WithTrailingSlash(folder));
    const int move = m_next->checkedId();
    QDialog::accept();
    if (move == 1 || move == 2)
        m_wizard.showStep(move);
    if (Check1->isChecked() && !folder.isEmpty() && !m_wizard.services().openFolder(folder))
        m_wizard.services().inform(nullptr, Wizard::title(),
                                   tr("没有可用的文件管理器来打开结果目录。结果保存在：")
                                           + QStringLiteral("\n") + folder);
    emit answered(move != 1 && move != 2);
}

// The close box and Escape close the report without carrying out any choice.
void FrmErr::reject()
{
    if (m_finished)
        return;
    m_finished = true;
    QDialog::reject();
    emit answered(true);
}

void FrmErr::closeEvent(QCloseEvent *event)
{
    event->ignore();
    reject();
}

} // namespace Pw
