#include "app/frm3.h"

#include "app/frmerr.h"
#include "app/frmrename.h"
#include "app/frmrename2.h"
#include "app/guiservices.h"
#include "app/objectnames.h"
#include "app/scrollpage.h"
#include "app/wizard.h"
#include "imaging/pictureservice.h"
#include "naming/renamejournal.h"
#include "naming/renamerun.h"
#include "naming/renamerunner.h"
#include "platform/apppaths.h"
#include "platform/colour.h"
#include "platform/fileutils.h"
#include "run/batchsetup.h"
#include "run/sizetime.h"
#include "run/step3choices.h"
#include "run/summarytext.h"
#include "settings/sourcesettings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyleHints>
#include <QToolButton>
#include <QVBoxLayout>

namespace Pw {

namespace {

// Hues across, from white through the full colour to black downwards, and a grey ramp below.
QImage makePalette(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int greyRows = size.height() / 6;
    const int colourRows = size.height() - greyRows;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            QColor colour;
            if (y < colourRows) {
                const int hue = x * 359 / std::max(1, size.width() - 1);
                const double t = double(y) / std::max(1, colourRows - 1); // 0 top, 1 bottom
                const int lightness = int(255 * (1.0 - t));
                colour = QColor::fromHsl(hue, 255, lightness);
            } else {
                const int grey = x * 255 / std::max(1, size.width() - 1);
                colour = QColor(grey, grey, grey);
            }
            line[x] = colour.rgb();
        }
    }
    return image;
}

// A line that never wraps or widens its window: what does not fit is elided in the middle (the
// count at the start and the file's end stay); text() keeps the whole line.
class OneLineLabel : public QLabel
{
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override
    {
        return {fontMetrics().averageCharWidth() * 8, QLabel::minimumSizeHint().height()};
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

void keepPlaceWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// The summary can outgrow a small window (large fonts, 200 %): it scrolls rather than being cut.
QScrollArea *scrolled(QLabel *label, int minimumWidth)
{
    auto *area = new QScrollArea;
    area->setWidget(label);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setMinimumWidth(minimumWidth);
    area->setMinimumHeight(label->fontMetrics().lineSpacing() * 20);
    label->setBackgroundRole(QPalette::Window);
    return area;
}

} // namespace

Frm3::Frm3(Wizard &wizard, QWidget *parent)
    : QWidget(parent)
    , m_wizard(wizard)
{
    setObjectName(QStringLiteral("Frm3"));
    setWindowTitle(Wizard::title());
    setWindowIcon(wizard.icon());

    PicL = Wizard::makeBanner(this);

    lblStep = named(new QLabel(tr("【第3/3步:指定底图背景图或背景色】"), this), "lblStep");
    QFont stepFont = lblStep->font();
    stepFont.setBold(true);
    lblStep->setFont(stepFont);

    // The background page: palette and swatch, background picture, and the summary beside.
    m_backgroundPage = new QWidget(this);
    PicBJS = named(new QLabel(m_backgroundPage), "PicBJS");
    PicBJS->setToolTip(tr("点击选择背景色"));
    const int unit = fontMetrics().height();
    const QImage palette = makePalette(QSize(unit * 10, unit * 5));
    PicBJS->setPixmap(QPixmap::fromImage(palette));
    PicBJS->setFixedSize(palette.size());
    PicBJS->setCursor(Qt::CrossCursor);
    PicBJS->installEventFilter(this);
    PicBJse = named(new QLabel(m_backgroundPage), "PicBJse");
    PicBJse->setToolTip(tr("已选定的背景色，双击设置为黑色，右键设置为白色"));
    PicBJse->setFrameStyle(QFrame::Box | QFrame::Plain);
    PicBJse->setAutoFillBackground(true);
    PicBJse->setFixedSize(unit * 3, unit * 5);
    PicBJse->installEventFilter(this);

    Label3 = named(new QLabel(tr("背景图："), m_backgroundPage), "Label3");
    lblBJT = named(new QLabel(m_backgroundPage), "lblBJT");
    lblBJT->setWordWrap(true);
    lblBJT->setMinimumWidth(unit * 13);
    lblBJT->installEventFilter(this);
    PicBJ = named(new QLabel(m_backgroundPage), "PicBJ");
    PicBJ->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PicBJ->setFixedSize(unit * 8, unit * 6);
    PicBJ->setAlignment(Qt::AlignCenter);
    PicBJ->installEventFilter(this);
    CmdStartPic = named(new QPushButton(tr("选择背景图(&G)..."), m_backgroundPage), "CmdStartPic");
    TxtPic = named(new QLineEdit(m_backgroundPage), "TxtPic");
    TxtPic->hide();

    lbl12 = named(new QLabel(m_backgroundPage), "lbl12");
    lbl12->setWordWrap(true);
    lbl12->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl12->setMargin(unit / 2);

    auto *colours = new QHBoxLayout;
    colours->addWidget(PicBJS);
    colours->addWidget(PicBJse);
    colours->addStretch(1);
    auto *pictureHint = new QHBoxLayout;
    pictureHint->addWidget(Label3, 0, Qt::AlignTop);
    pictureHint->addWidget(lblBJT, 1);
    auto *picture = new QHBoxLayout;
    picture->addWidget(PicBJ);
    picture->addWidget(CmdStartPic, 0, Qt::AlignBottom);
    picture->addStretch(1);
    auto *backgroundColumn = new QVBoxLayout;
    backgroundColumn->addLayout(colours);
    backgroundColumn->addLayout(pictureHint);
    backgroundColumn->addLayout(picture);
    backgroundColumn->addStretch(1);
    auto *page = new QHBoxLayout(m_backgroundPage);
    page->setContentsMargins(0, 0, 0, 0);
    page->addLayout(backgroundColumn);
    page->addWidget(scrolled(lbl12, unit * 17), 1);

    // The panel that covers the background page in modes 3, 4, 5 and in rename-only mode.
    Pic34 = named(new QFrame(this), "Pic34");
    lbl34 = named(new QLabel, "lbl34");
    lbl34->setWordWrap(true);
    lbl34->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl34->setMargin(unit / 2);
    auto *panel = new QVBoxLayout(Pic34);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addWidget(scrolled(lbl34, unit * 17));
    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_backgroundPage);
    m_stack->addWidget(Pic34);

    PicJD = named(new QFrame(this), "PicJD");
    PicJD->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PicJD->setFixedHeight(unit + 4);
    PicJD->installEventFilter(this);
    lblJD = named(new QLabel(PicJD), "lblJD");
    lblJD->setAutoFillBackground(true);
    // The bar and its line have their place before a run starts, so starting one moves nothing.
    keepPlaceWhenHidden(PicJD);
    lblJDT = named(new OneLineLabel(this), "lblJDT");

    Combo1 = named(new QComboBox(this), "Combo1");
    for (int i = 0; i < kQualityIndexCount; ++i)
        Combo1->addItem(tr("保存质量：") + QString::number(QualityOfIndex(i)));
    PicRename = named(new QToolButton(this), "PicRename");
    PicRename->setText(tr("命名规则(&R)..."));
    PicRename->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    PicRename->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    Command2 = named(new QPushButton(tr("上一步(&P)"), this), "Command2");
    CmdUndo = named(new QPushButton(tr("撤销改名"), this), "CmdUndo");
    CmdUndo->setToolTip(tr("上一次批量改名后未动过的文件恢复原名"));
    CmdUndo->hide();
    Command1 = named(new QPushButton(tr("完成(&F)"), this), "Command1");
    Command1->setDefault(true);

    // Where the results go: the desktop unless the user chose a place, remembered.
    m_outputRow = new QWidget(this);
    lblOut = named(new QLabel(tr("结果位置："), m_outputRow), "lblOut");
    TxtOut = named(new QLineEdit(m_outputRow), "TxtOut");
    TxtOut->setReadOnly(true);
    TxtOut->setToolTip(tr("每次处理的结果放在此处的“程序名_新图”文件夹中"));
    lblOut->setBuddy(TxtOut);
    CmdOut = named(new QPushButton(tr("更改位置(&L)..."), m_outputRow), "CmdOut");
    auto *outputRow = new QHBoxLayout(m_outputRow);
    outputRow->setContentsMargins(0, 0, 0, 0);
    outputRow->addWidget(lblOut);
    outputRow->addWidget(TxtOut, 1);
    outputRow->addWidget(CmdOut);
    keepPlaceWhenHidden(m_outputRow); // the window keeps its size in every mode

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Combo1);
    buttons->addWidget(PicRename);
    buttons->addStretch(1);
    buttons->addWidget(CmdUndo);
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    // The controls scroll when the screen is too small for them; the buttons stay in view.
    auto *controls = new QWidget(this);
    auto *pageLayout = new QVBoxLayout(controls);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(lblStep);
    pageLayout->addWidget(m_stack, 1);
    pageLayout->addWidget(PicJD);
    pageLayout->addWidget(lblJDT);
    pageLayout->addWidget(m_outputRow);
    auto *right = new QVBoxLayout;
    right->addWidget(new ScrollPage(controls, this), 1);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(PicL);
    layout->addLayout(right, 1);

    // Load: the quality list, the swatch, the hint, the progress frame, the naming rule.
    const Step3Choices stored = LoadStep3Choices();
    Combo1->setCurrentIndex(stored.qualityIndex);
    SetBackgroundColour(stored.backgroundColour, false);
    m_outputFolder = stored.outputFolder;
    showOutputFolder();
    lblBJT->setText(backgroundHint());
    hideProgress();
    m_frmRename = new FrmRename(
            wizard.services(), [this] { return m_inputs.selection.keepCamera; },
            [this] { return m_inputs.renameOnly; }, this);
    m_frmRename->setWindowIcon(wizard.icon());

    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int index) {
        ShowSummary();
        StoreQualityIndex(index);
    });
    connect(CmdStartPic, &QPushButton::clicked, this, &Frm3::ChooseBackgroundPicture);
    connect(PicRename, &QToolButton::clicked, m_frmRename, &FrmRename::showModal);
    connect(m_frmRename, &FrmRename::closed, this, &Frm3::becomeActive);
    connect(Command2, &QPushButton::clicked, this, [this] { m_wizard.showStep(2); });
    connect(Command1, &QPushButton::clicked, this, &Frm3::RunOrStop);
    connect(CmdUndo, &QPushButton::clicked, this, &Frm3::undoLastRename);
    connect(CmdOut, &QPushButton::clicked, this, &Frm3::chooseOutputFolder);

    m_runner = new BatchRunner(this);
    connect(m_runner, &BatchRunner::progress, this, &Frm3::setProgress);
    connect(m_runner, &BatchRunner::finished, this, &Frm3::onBatchFinished);
    m_renameRunner = new RenameRunner(this);
    connect(m_renameRunner, &RenameRunner::progress, this, &Frm3::setProgress);
    connect(m_renameRunner, &RenameRunner::finished, this, &Frm3::onRenameFinished);
}

Frm3::~Frm3() = default;

void Frm3::handOver(const Step3Inputs &inputs)
{
    if (m_running)
        return; // a run keeps what it took at its start
    m_inputs = inputs;
    becomeActive();
}

void Frm3::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        becomeActive();
}

void Frm3::becomeActive()
{
    if (m_running || !isVisible())
        return;
    showUndo();
    m_outputRow->setVisible(!m_inputs.renameOnly); // renaming writes nothing new
    if (m_inputs.renameOnly) {
        showPanel(true);
        lblStep->setText(tr("【第3/3步:确认完成】"));
        PicRename->setToolTip(tr("文件重新命名..."));
        Command1->setText(tr("批量改名(&B)"));
        Combo1->hide();
        lbl34->setText(RenameModeText(m_frmRename->rule(), m_inputs.selection.selectedCount()));
        return;
    }
    PicRename->setToolTip(tr("生成新图片的文件重新命名..."));
    Combo1->setVisible(!m_inputs.options.sizeLimitOn);
    Command1->setText(tr("完成(&F)"));
    ShowSummary();
}

void Frm3::ShowSummary()
{
    lbl12->setText(SummaryHeading(m_inputs.selection.selectedCount()) + QStringLiteral("\r\n\r\n"));
    SummaryInputs in;
    in.keepCamera = m_inputs.selection.keepCamera;
    in.options = m_inputs.options;
    in.rule = m_frmRename->rule();
    in.qualityIndex = Combo1->currentIndex();
    in.selectedCount = m_inputs.selection.selectedCount();
    in.backgroundPicture = TxtPic->text();
    const bool border = hasBorder(in.options.fitMode);
    showPanel(!border);
    lblStep->setText(border ? tr("【第3/3步:指定底图背景图或背景色】")
                            : tr("【第3/3步:确认完成】"));
    const QString hint = SummaryHint(SummaryText(in));
    lbl12->setText(hint);
    lbl34->setText(hint);
}

void Frm3::showPanel(bool panel)
{
    m_stack->setCurrentWidget(panel ? static_cast<QWidget *>(Pic34) : m_backgroundPage);
}

QString Frm3::backgroundHint() const
{
    return backgroundPictureExists() ? tr("背景图将拉伸为上步指定的宽和高，双击清除背景图")
                                     : tr("背景图将拉伸为上步指定的宽和高，双击选择背景图");
}

bool Frm3::backgroundPictureExists() const
{
    const QString path = TxtPic->text().trimmed();
    return !path.isEmpty() && QFileInfo::exists(path);
}

void Frm3::ChooseBackgroundPicture()
{
    const QString file = m_wizard.services().chooseFile(
            this, SpecialFolder(0), tr("选取一个背景图片"),
            tr("图片文件") + QStringLiteral(" (*.jpg *.bmp *.JPG *.BMP)"));
    if (file.isEmpty())
        return;
    TxtPic->setText(file);
    Canvas canvas;
    canvas.resize(PicBJ->contentsRect().width(), PicBJ->contentsRect().height());
    DrawStretched(canvas, file);
    PicBJ->setPixmap(QPixmap::fromImage(canvas.image));
    lblBJT->setText(tr("背景图将拉伸为上步指定的宽和高，双击清除背景图"));
    becomeActive(); // the summary names the picture
}

void Frm3::ClearBackgroundPicture()
{
    PicBJ->clear();
    TxtPic->clear();
    lblBJT->setText(tr("背景图将拉伸为上步指定的宽和高，双击选择背景图"));
    becomeActive();
}

void Frm3::SetBackgroundColour(qint32 bgr, bool store)
{
    m_background = bgr;
    QPalette palette = PicBJse->palette();
    palette.setColor(QPalette::Window, ColourFromBgr(bgr));
    PicBJse->setPalette(palette);
    if (store)
        StoreBackgroundColour(bgr);
}

bool Frm3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PicJD && event->type() == QEvent::Resize) {
        updateBar();
    } else if (m_running) {
        // The choices a run took stay as they are until it ends.
    } else if (watched == PicBJS && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QImage palette = PicBJS->pixmap().toImage();
        const QPoint at = mouse->position().toPoint();
        if ((mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton)
            && palette.rect().contains(at)) {
            SetBackgroundColour(BgrFromColour(palette.pixelColor(at)), true);
            return true;
        }
    } else if (watched == PicBJse && event->type() == QEvent::MouseButtonDblClick) {
        SetBackgroundColour(0, false);
        return true;
    } else if (watched == PicBJse && event->type() == QEvent::MouseButtonPress
               && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        SetBackgroundColour(0xFFFFFF, false);
        return true;
    } else if ((watched == lblBJT || watched == PicBJ)
               && event->type() == QEvent::MouseButtonDblClick) {
        if (backgroundPictureExists())
            ClearBackgroundPicture();
        else
            ChooseBackgroundPicture();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Frm3::RunOrStop()
{
    if (m_running) {
        // The second click of a double-click on the finish button is part of the start.
        if (m_runClock.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval())
            return;
        m_runner->requestStop();
        m_renameRunner->requestStop();
        return;
    }
    const bool renameOnly = m_inputs.renameOnly;
    const SourceSelection &selection = m_inputs.selection;
    const StartCheck check = CheckBeforeRun(selection, renameOnly);
    if (check.askDemo
        && !m_wizard.services().askYesNo(this, DemoQuestionTitle(), DemoQuestion(selection.folder)))
        return;
    if (check.nothingSelected) {
        m_wizard.services().warn(this, ProductName(), NothingSelectedWarning());
        return;
    }
    if (GivesHiddenNames(m_frmRename->rule(), renameOnly)) {
        m_wizard.services().warn(this, ProductName(), HiddenNamesWarning());
        return;
    }
    if (renameOnly)
        startRenameOnly();
    else
        startBatch();
}

void Frm3::setChoicesEnabled(bool on)
{
    for (QWidget *control : {static_cast<QWidget *>(Combo1), static_cast<QWidget *>(PicRename),
                             static_cast<QWidget *>(CmdStartPic), static_cast<QWidget *>(CmdOut)})
        control->setEnabled(on);
}

void Frm3::startBatch()
{
    BatchChoices choices;
    choices.selection = m_inputs.selection;
    choices.options = m_inputs.options;
    choices.rule = m_frmRename->rule();
    choices.step3.backgroundColour = m_background;
    choices.step3.backgroundPicture = TxtPic->text();
    choices.step3.qualityIndex = Combo1->currentIndex();
    choices.step3.outputFolder = m_outputFolder;
    BatchInputs in = MakeBatchInputs(std::move(choices)).inputs;
    in.started = QDateTime::currentDateTime();

    enterRunningState(true);
    m_runner->start(in);
}

// Progress shown, Previous hidden, the finish button stops, the choices the run took locked.
// The batch run also shows its hint where the summary was.
void Frm3::enterRunningState(bool batch)
{
    m_running = true;
    m_ordinal = 0;
    m_total = 0;
    QPalette bar = lblJD->palette();
    bar.setColor(QPalette::Window, ColourFromBgr(m_background));
    lblJD->setPalette(bar);
    PicJD->show();
    updateBar();
    Command2->hide();
    CmdUndo->hide();
    Command1->setText(tr("终止(&C)"));
    if (batch) {
        // Modes without a border show no background controls, not even during the run.
        const bool border = hasBorder(m_inputs.options.fitMode);
        showPanel(!border);
        (border ? lbl12 : lbl34)->setText(RunningHint());
    }
    setChoicesEnabled(false);
    m_runClock.start();
}

void Frm3::leaveRunningState(bool keepProgress)
{
    if (!keepProgress)
        hideProgress();
    lblBJT->setText(backgroundHint());
    Command2->show();
    Command1->setText(m_inputs.renameOnly ? tr("批量改名(&B)") : tr("完成(&F)"));
    m_running = false;
    setChoicesEnabled(true);
    showUndo();
    updateTitle();
}

void Frm3::setProgress(int ordinal, int total, const QString &text)
{
    m_ordinal = ordinal;
    m_total = total;
    QString line = text;
    const QString left = TimeLeftText(m_runClock.elapsed(), ordinal - 1, total);
    if (!left.isEmpty() && m_running)
        line += QStringLiteral("  ") + left;
    lblJDT->setText(line);
    updateBar();
    updateTitle();
}

void Frm3::updateBar()
{
    const int width = m_total > 0 ? int(qint64(PicJD->width()) * m_ordinal / m_total) : 0;
    lblJD->setGeometry(0, 0, width, PicJD->height());
}

void Frm3::hideProgress()
{
    PicJD->hide();
    lblJDT->clear();
    m_ordinal = 0;
    updateBar();
}

void Frm3::updateTitle()
{
    if (m_running && isMinimized() && m_total > 0)
        setWindowTitle(QStringLiteral("%1% - ").arg(100 * m_ordinal / m_total) + Wizard::title());
    else
        setWindowTitle(Wizard::title());
}

void Frm3::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        updateTitle();
}

void Frm3::onBatchFinished(const BatchResult &result)
{
    leaveRunningState();
    auto *report = new FrmErr(m_wizard, result.runFolder, result.report, result.reportColour, this);
    connect(report, &FrmErr::answered, this, [this, report](bool stay) {
        report->deleteLater();
        if (stay)
            becomeActive();
    });
    report->show();
    emit reportShown(report);
}

// The rename-only run: the preview pass, the user's answer, then the rename pass; both passes
// run off the window's thread with the finish button as their stop button.
void Frm3::startRenameOnly()
{
    m_renameSelection = m_inputs.selection;
    m_renameRule = m_frmRename->rule();
    m_renamePass = false;
    enterRunningState(false);
    m_renameRunner->start(m_renameSelection.folder, false, m_renameSelection, m_renameRule);
}

void Frm3::onRenameFinished(const RenameOutcome &outcome)
{
    // While the preview is open the status line keeps what the preview pass went through.
    leaveRunningState(!m_renamePass && !outcome.stopped);
    if (!m_renamePass) {
        if (outcome.stopped) {
            becomeActive();
            return;
        }
        auto *dialog = new FrmRename2(outcome.previewLines, this);
        dialog->setWindowIcon(m_wizard.icon());
        connect(dialog, &FrmRename2::answered, this, [this, dialog](bool confirmed) {
            dialog->deleteLater();
            if (!confirmed) {
                hideProgress();
                becomeActive();
                return;
            }
            m_renamePass = true;
            enterRunningState(false);
            m_renameRunner->start(m_renameSelection.folder, true, m_renameSelection, m_renameRule);
        });
        dialog->show();
        emit previewShown(dialog);
        return;
    }
    QString journalProblem;
    if (!outcome.renamed.isEmpty())
        journalProblem = WriteRenameJournal(
                JournalOfRenames(m_renameSelection.folder, outcome.renamed), RenameJournalPath());
    emit filesRenamed(); // the wizard hands the new names back over
    becomeActive();
    if (!journalProblem.isEmpty())
        m_wizard.services().warn(
                this, ProductName(),
                tr("无法保存撤销记录（%1），这次改名不能撤销。").arg(journalProblem));
    if (outcome.refused)
        m_wizard.services().warn(this, ProductName(), outcome.refusalText());
    else if (outcome.stopped)
        m_wizard.services().inform(this, ProductName(),
                                   tr("批量改名已终止：已改名 %1 个文件，其余文件保持原名。")
                                           .arg(outcome.renamed.size()));
    else
        m_wizard.services().inform(this, ProductName(), tr("文件批量改名已经完成！"));
}

void Frm3::showOutputFolder()
{
    TxtOut->setText(m_outputFolder.isEmpty() ? SpecialFolder(0) : m_outputFolder);
    TxtOut->setCursorPosition(0);
}

void Frm3::chooseOutputFolder()
{
    const QString folder = m_wizard.services().chooseFolder(this, TxtOut->text(),
                                                            tr("选择存放处理结果的位置"));
    if (folder.isEmpty())
        return;
    m_outputFolder = WithTrailingSlash(folder);
    StoreOutputFolder(m_outputFolder);
    showOutputFolder();
}

// Offered in rename-only mode while the last rename is kept (also after a restart).
void Frm3::showUndo()
{
    CmdUndo->setVisible(m_inputs.renameOnly && !m_running
                        && !ReadRenameJournal(RenameJournalPath()).isEmpty());
}

void Frm3::undoLastRename()
{
    if (m_running)
        return;
    const UndoOutcome outcome = UndoLastRename(RenameJournalPath());
    emit filesRenamed(); // step 1 lists the names as they are now
    showUndo();
    if (outcome.refused.isEmpty())
        m_wizard.services().inform(this, ProductName(), outcome.text());
    else
        m_wizard.services().warn(this, ProductName(), outcome.text());
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
