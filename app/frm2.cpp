#include "app/frm2.h"

#include "app/guiservices.h"
#include "app/objectnames.h"
#include "app/scrollpage.h"
#include "app/step2widgets.h"
#include "app/wizard.h"
#include "imaging/pictureservice.h"
#include "options/modecaption.h"
#include "options/presets.h"
#include "platform/apppaths.h"
#include "platform/colour.h"
#include "settings/sourcesettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace Pw {

namespace {

// A number box as wide as seven digits, taking digits only.
QLineEdit *numberBox(QWidget *parent, const char *name, const QString &text)
{
    auto *box = named(new QLineEdit(text, parent), name);
    box->setValidator(new DigitsValidator(box));
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    return box;
}

// A box keeps its place in the layout while hidden, so switching modes does not move the rest.
void keepPlaceWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void setTextIfChanged(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

QString plainToRecord(const QString &text)
{
    QString record = text;
    return record.replace(u'\n', QStringLiteral("\r\n"));
}

QString recordToPlain(const QString &text)
{
    QString plain = text;
    return plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

Frm2::Frm2(Wizard &wizard, QWidget *parent)
    : QWidget(parent)
    , m_wizard(wizard)
{
    setObjectName(QStringLiteral("Frm2"));
    setWindowTitle(Wizard::title());
    setWindowIcon(m_wizard.icon());
    buildControls();

    // Loading: the lists first, then the remembered options (the stored mode is selected and
    // stored again, as a click would).
    Combo1->addItems(PresetListItems());
    ComboDWJ->addItems({QStringLiteral("K"), QStringLiteral("M")});
    m_options = LoadStep2Options();
    m_background = ColourFromBgr(LoadBackgroundColour());
    showOptions();
    applyModeLayout();
    connectControls();
}

Frm2::~Frm2() = default;

void Frm2::buildControls()
{
    PicL = Wizard::makeBanner(this);
    lblStep = named(new QLabel(tr("【第2/3步:指定变形方式与压缩体积】"), this), "lblStep");
    QFont stepFont = lblStep->font();
    stepFont.setBold(true);
    lblStep->setFont(stepFont);

    PicSYT = named(new PictureBox(QSize(200, 120), this), "PicSYT");
    Label3 = named(new QLabel(tr("示意图"), PicSYT), "Label3");
    Label3->setAutoFillBackground(true);
    Label3->move(PicSYT->frameWidth(), PicSYT->frameWidth());
    PicPreview = named(new PictureBox(QSize(200, 150), this), "PicPreview");
    auto *previewCaption = new QLabel(tr("效果预览"), this);

    auto *pictures = new QVBoxLayout;
    pictures->addWidget(PicSYT);
    pictures->addSpacing(6);
    pictures->addWidget(previewCaption);
    pictures->addWidget(PicPreview);
    pictures->addStretch();

    auto *upper = new QHBoxLayout;
    upper->addWidget(buildModePanel(), 1);
    upper->addLayout(pictures);
    // Made before the buttons, so Tab walks the controls top to bottom and then the buttons.
    QWidget *limitAndText = buildLimitAndTextPanel();

    Command2 = named(new QPushButton(tr("上一步(&P)"), this), "Command2");
    Command1 = named(new QPushButton(tr("下一步(&N)"), this), "Command1");
    Command4 = named(new QPushButton(tr("跳过(&S)"), this), "Command4");
    Command4->setToolTip(tr("跳过本步，进入文件名批量修改功能！"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    buttons->addWidget(Command4);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    // The controls scroll when the screen is too small for them; the buttons stay in view.
    auto *page = new QWidget(this);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(lblStep);
    pageLayout->addLayout(upper);
    pageLayout->addWidget(limitAndText);
    pageLayout->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(new ScrollPage(page, this), 1);
    right->addWidget(rule);
    right->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(PicL);
    layout->addLayout(right, 1);
}

QWidget *Frm2::buildModePanel()
{
    PicRT = named(new QFrame(this), "PicRT");
    static_cast<QFrame *>(PicRT)->setFrameShape(QFrame::StyledPanel);
    OpSYTGroup = new QButtonGroup(this);
    static const char *const tips[] = {
            QT_TR_NOOP("原图中心抠取！"),
            QT_TR_NOOP("原图全图缩小或放大"),
            QT_TR_NOOP("原图全图缩小或放大，自动判断未指定的另外一条边！"),
            QT_TR_NOOP("拉伸图片至指定尺寸"),
            QT_TR_NOOP("同比缩小与同比放大,100%时仅压缩体积不牺牲画质"),
    };
    for (int index = 0; index < 5; ++index) {
        OpSYT[size_t(index)] = new QRadioButton(PicRT);
        OpSYT[size_t(index)]->setObjectName(QStringLiteral("OpSYT_%1").arg(index));
        OpSYT[size_t(index)]->setToolTip(tr(tips[index]));
        OpSYTGroup->addButton(OpSYT[size_t(index)], index);
    }
    reserveCaptionWidths();
    Label2 = named(new QLabel(tr("指定像素值，软件自动判断横版/竖版图："), PicRT), "Label2");

    // Width and height (modes 1, 2, 4).
    PicK2 = named(new QWidget(PicRT), "PicK2");
    Text1 = numberBox(PicK2, "Text1", QStringLiteral("400"));
    Text2 = numberBox(PicK2, "Text2", QStringLiteral("400"));
    lblCDB = named(new FieldCaption(PicK2), "lblCDB");
    lblCDB->setFields({Text1, Text2});
    Check2 = named(new QPushButton(QStringLiteral("="), PicK2), "Check2");
    Check2->setCheckable(true);
    Check2->setToolTip(tr("使宽和高相等！长=短时，白边背景会被遮盖！"));
    Check2->setFixedWidth(Check2->fontMetrics().horizontalAdvance(QStringLiteral("==")) + 16);
    Line2 = named(new SizeLink(Text1, Text2, PicK2), "Line2");
    Combo1 = named(new QComboBox(PicK2), "Combo1");
    Combo1->setMaxVisibleItems(16);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->setContentsMargins(0, 0, 0, 0);
    sizeRow->addWidget(lblCDB);
    sizeRow->addWidget(Check2);
    sizeRow->addStretch();
    auto *k2 = new QVBoxLayout(PicK2);
    k2->setContentsMargins(0, 0, 0, 0);
    k2->setSpacing(2);
    k2->addLayout(sizeRow);
    k2->addWidget(Line2);
    k2->addWidget(Combo1, 0, Qt::AlignLeft);

    // The one edge of mode 3.
    PicK1 = named(new QWidget(PicRT), "PicK1");
    Text_31 = numberBox(PicK1, "Text_31", QStringLiteral("400"));
    lblSX_31 = named(new QLabel(tr("像素"), PicK1), "lblSX_31");
    Op31 = named(new QRadioButton(tr("长边"), PicK1), "Op31");
    op32 = named(new QRadioButton(tr("宽"), PicK1), "op32");
    Op33 = named(new QRadioButton(tr("高"), PicK1), "Op33");
    auto *k1 = new QHBoxLayout(PicK1);
    k1->setContentsMargins(0, 0, 0, 0);
    k1->addWidget(Text_31);
    k1->addWidget(lblSX_31);
    k1->addSpacing(12);
    k1->addWidget(Op31);
    k1->addWidget(op32);
    k1->addWidget(Op33);
    k1->addStretch();

    // The percentage of mode 5 and its bounds.
    auto *percentPanel = new QWidget(PicRT);
    HScroll1 = named(new QScrollBar(Qt::Horizontal, percentPanel), "HScroll1");
    HScroll1->setRange(5, 500);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(10);
    lbl51 = named(new QLabel(tr("短边不低于"), percentPanel), "lbl51");
    Text51 = numberBox(percentPanel, "Text51", QStringLiteral("2"));
    lbl52 = named(new QLabel(tr("长边不超过"), percentPanel), "lbl52");
    Text52 = numberBox(percentPanel, "Text52", QStringLiteral("16000"));
    auto *bounds = new QHBoxLayout;
    bounds->addWidget(lbl51);
    bounds->addWidget(Text51);
    bounds->addSpacing(12);
    bounds->addWidget(lbl52);
    bounds->addWidget(Text52);
    bounds->addStretch();
    auto *percent = new QVBoxLayout(percentPanel);
    percent->setContentsMargins(0, 0, 0, 0);
    percent->addWidget(HScroll1);
    percent->addLayout(bounds);
    percent->addStretch();
    for (QWidget *widget : {static_cast<QWidget *>(HScroll1), static_cast<QWidget *>(lbl51),
                            static_cast<QWidget *>(Text51), static_cast<QWidget *>(lbl52),
                            static_cast<QWidget *>(Text52)})
        keepPlaceWhenHidden(widget);
    m_percentPanel = percentPanel;

    // The three panels share one place; the mode decides which one shows.
    auto *sizes = new QGridLayout;
    sizes->setContentsMargins(20, 0, 0, 0);
    for (QWidget *panel : {PicK2, PicK1, percentPanel}) {
        keepPlaceWhenHidden(panel);
        sizes->addWidget(panel, 0, 0, Qt::AlignTop);
    }

    chkXT = named(new QCheckBox(tr("对1/2/3中原图宽和高均小于指定值时的小图，放大而不变形"), PicRT),
                  "chkXT");
    chkXT->setToolTip(tr("允许小图放大？"));
    keepPlaceWhenHidden(chkXT);

    auto *layout = new QVBoxLayout(PicRT);
    for (QRadioButton *option : OpSYT)
        layout->addWidget(option);
    layout->addSpacing(4);
    layout->addWidget(Label2);
    layout->addLayout(sizes);
    layout->addWidget(chkXT);
    layout->addStretch();
    return PicRT;
}

QWidget *Frm2::buildLimitAndTextPanel()
{
    auto *panel = new QWidget(this);
    Label1 = named(new QLabel(tr("生成文件占用磁盘空间（文件体积大小）设置："), panel), "Label1");
    ChkYSTJ = named(new QCheckBox(tr("不改变像素值，仅仅压缩体积"), panel), "ChkYSTJ");
    ChkDWJ = named(new QCheckBox(tr("存盘后文件体积不超限"), panel), "ChkDWJ");
    TxtDWJ = numberBox(panel, "TxtDWJ", QStringLiteral("50"));
    ComboDWJ = named(new QComboBox(panel), "ComboDWJ");
    keepPlaceWhenHidden(TxtDWJ);
    keepPlaceWhenHidden(ComboDWJ);
    auto *limit = new QHBoxLayout;
    limit->addSpacing(20);
    limit->addWidget(ChkYSTJ);
    limit->addSpacing(24);
    limit->addWidget(ChkDWJ);
    limit->addWidget(TxtDWJ);
    limit->addWidget(ComboDWJ);
    limit->addStretch();

    Check1 = named(new QCheckBox(tr("图上自行加字"), panel), "Check1");
    Command3 = named(new QPushButton(tr("字体/字色/字号"), panel), "Command3");
    Check3 = named(new QCheckBox(tr("文字反白"), panel), "Check3");
    Text3 = named(new QPlainTextEdit(panel), "Text3");
    Text3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The picture draws each line as one line, cut off at its edge: the box shows it so.
    Text3->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text3->setFixedHeight(Text3->fontMetrics().height() * 4 + 12);
    PicBJS = named(new HueStrip(panel), "PicBJS");
    PicBJS->setToolTip(tr("点击选择反白背景色"));
    PicBJse = named(new ColourSwatch(panel), "PicBJse");
    PicBJse->setToolTip(tr("已选定的背景色，双击设置为黑色，右键设置为白色"));
    auto *switches = new QVBoxLayout;
    switches->addWidget(Check1);
    switches->addWidget(Command3);
    switches->addWidget(Check3);
    switches->addStretch();
    auto *colours = new QVBoxLayout;
    colours->addWidget(PicBJse);
    colours->addStretch();
    auto *text = new QHBoxLayout;
    text->addLayout(switches);
    text->addWidget(Text3, 1);
    text->addWidget(PicBJS, 0, Qt::AlignTop);
    text->addLayout(colours);

    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->addWidget(Label1);
    layout->addLayout(limit);
    layout->addSpacing(6);
    layout->addLayout(text);
    return panel;
}

void Frm2::connectControls()
{
    connect(OpSYTGroup, &QButtonGroup::idClicked, this, &Frm2::selectMode);
    connect(Op31, &QRadioButton::clicked, this, [this] { chooseEdge(1); });
    connect(op32, &QRadioButton::clicked, this, [this] { chooseEdge(2); });
    connect(Op33, &QRadioButton::clicked, this, [this] { chooseEdge(3); });

    const auto edited = [this](QLineEdit *box, auto apply) {
        connect(box, &QLineEdit::textChanged, this, [this, apply](const QString &text) {
            if (m_showing)
                return;
            apply(text);
            showOptions();
            schedulePreview();
        });
    };
    edited(Text1, [this](const QString &text) { m_options.setTargetWidth(text); });
    edited(Text2, [this](const QString &text) { m_options.targetHeight = text; });
    edited(Text_31, [this](const QString &text) { m_options.edgeLength = text; });
    edited(Text51, [this](const QString &text) { m_options.percentFloor = text; });
    edited(Text52, [this](const QString &text) { m_options.percentCap = text; });
    edited(TxtDWJ, [this](const QString &text) { m_options.sizeLimitValue = text; });
    for (QLineEdit *box : {Text1, Text2, Text_31, Text51, Text52, TxtDWJ})
        box->installEventFilter(this);

    connect(Check2, &QPushButton::clicked, this, [this](bool on) {
        m_options.setSquareOutput(on);
        showOptions();
        QLineEdit *box = on ? Text1 : Text2;
        if (box->isVisible() && box->isEnabled()) {
            box->selectAll();
            box->setFocus();
        }
        schedulePreview();
    });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_showing)
            return;
        m_options.pickPreset(index);
        showOptions();
        if (index < 1 && Text1->isVisible() && Text1->isEnabled()) {
            Text1->selectAll();
            Text1->setFocus();
        }
        schedulePreview();
    });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_showing)
            return;
        m_options.setScalePercent(value);
        showOptions();
        schedulePreview();
    });
    connect(ChkYSTJ, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            selectMode(FitModeIndex(FitMode::Percent));
        m_options.setCompressOnly(on);
        showOptions();
        applyModeLayout();
        schedulePreview();
    });
    connect(chkXT, &QCheckBox::clicked, this, [this](bool on) {
        m_options.enlargeSmall = on;
        drawIllustration();
        focusAtEnd(Text1);
        schedulePreview();
    });
    connect(ChkDWJ, &QCheckBox::clicked, this, [this](bool on) {
        m_options.sizeLimitOn = on;
        applyModeLayout();
        // The value is selected, so that typing replaces it rather than adding to it.
        focusAtEnd(TxtDWJ);
        if (on && TxtDWJ->hasFocus())
            TxtDWJ->selectAll();
    });
    connect(ComboDWJ, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_showing)
            m_options.sizeLimitUnit = index == 1 ? 1 : 0;
    });

    connect(Check1, &QCheckBox::clicked, this, [this](bool on) {
        m_options.addText = on;
        SaveAddText(on);
        schedulePreview();
    });
    connect(Text3, &QPlainTextEdit::textChanged, this, [this] {
        if (m_showing)
            return;
        m_options.overlayText = plainToRecord(Text3->toPlainText());
        SaveOverlayText(m_options.overlayText);
        schedulePreview();
    });
    connect(Check3, &QCheckBox::clicked, this, [this](bool on) {
        m_options.textInverse = on;
        schedulePreview();
    });
    connect(Command3, &QPushButton::clicked, this, &Frm2::chooseFont);
    connect(PicBJS, &HueStrip::colourPicked, this, [this](const QColor &colour) {
        m_options.textBackColour = BgrFromColour(colour);
        SaveTextBackColour(m_options.textBackColour);
        showOptions();
        schedulePreview();
    });
    // Black and white from the swatch are for this run only: the next start shows the last
    // palette colour again.
    connect(PicBJse, &ColourSwatch::colourRequested, this, [this](const QColor &colour) {
        m_options.textBackColour = BgrFromColour(colour);
        showOptions();
        schedulePreview();
    });

    connect(PicSYT, &PictureBox::resized, this, &Frm2::drawIllustration);
    connect(PicPreview, &PictureBox::resized, this, &Frm2::schedulePreview);
    connect(Command1, &QPushButton::clicked, this, &Frm2::next);
    connect(Command2, &QPushButton::clicked, this, &Frm2::previous);
    connect(Command4, &QPushButton::clicked, this, &Frm2::skip);
}

// Every option control from the record; their signals are not taken for edits meanwhile.
void Frm2::showOptions()
{
    m_showing = true;
    const ProcessingOptions &o = m_options;
    OpSYT[size_t(FitModeIndex(o.fitMode))]->setChecked(true);
    for (int index = 0; index < 5; ++index) {
        ProcessingOptions shown = o;
        shown.fitMode = FitModeFromIndex(index);
        OpSYT[size_t(index)]->setText(ModeCaption(shown));
    }
    lblCDB->setText(o.fitMode == FitMode::OneEdge ? tr("宽：      像素")
                                                  : tr("宽：      像素，高：      像素"));
    setTextIfChanged(Text1, o.targetWidth);
    setTextIfChanged(Text2, o.targetHeight);
    Text1->setEnabled(!o.sizeBoxesLocked);
    // While the height follows the width it is not typed into.
    Text2->setEnabled(!o.sizeBoxesLocked && !o.squareOutput);
    Check2->setChecked(o.squareOutput);
    Line2->setSolid(o.squareOutput);
    Combo1->setCurrentIndex(o.presetIndex);
    setTextIfChanged(Text_31, o.edgeLength);
    Op31->setChecked(o.edgeChoice == 1);
    op32->setChecked(o.edgeChoice == 2);
    Op33->setChecked(o.edgeChoice == 3);
    HScroll1->setValue(o.scalePercent);
    setTextIfChanged(Text51, o.percentFloor);
    setTextIfChanged(Text52, o.percentCap);
    chkXT->setChecked(o.enlargeSmall);
    ChkYSTJ->setChecked(o.compressOnly);
    ChkDWJ->setChecked(o.sizeLimitOn);
    setTextIfChanged(TxtDWJ, o.sizeLimitValue);
    ComboDWJ->setCurrentIndex(o.sizeLimitUnit);
    Check1->setChecked(o.addText);
    if (plainToRecord(Text3->toPlainText()) != o.overlayText)
        Text3->setPlainText(recordToPlain(o.overlayText));
    Check3->setChecked(o.textInverse);
    // Text3 is the live sample of the overlay: its font, colour and box colour.
    if (Text3->font() != o.textFont)
        Text3->setFont(o.textFont);
    QPalette palette = Text3->palette();
    palette.setColor(QPalette::Text, ColourFromBgr(o.textColour));
    palette.setColor(QPalette::Base, ColourFromBgr(o.textBackColour));
    if (palette != Text3->palette())
        Text3->setPalette(palette);
    PicBJse->setColour(ColourFromBgr(o.textBackColour));
    m_showing = false;
}

// The captions of modes 3 and 5 change with the edge and the percentage: each option keeps
// the width of its widest caption, so moving the bar never widens the window.
void Frm2::reserveCaptionWidths()
{
    const auto widest = [](QRadioButton *option, auto &&captionOf, int first, int last) {
        int width = 0;
        for (int value = first; value <= last; ++value) {
            option->setText(captionOf(value));
            width = std::max(width, option->sizeHint().width());
        }
        option->setMinimumWidth(width);
    };
    widest(
            OpSYT[2],
            [](int edge) {
                ProcessingOptions shown;
                shown.chooseEdge(edge);
                return ModeCaption(shown);
            },
            1, 3);
    widest(
            OpSYT[4],
            [](int percent) {
                ProcessingOptions shown;
                shown.selectMode(FitMode::Percent);
                shown.setScalePercent(percent);
                return ModeCaption(shown);
            },
            5, 500);
}

// What the mode shows and hides; compress-only hides the percentage, the size limit its box.
void Frm2::applyModeLayout()
{
    const FitMode mode = m_options.fitMode;
    PicK2->setVisible(mode == FitMode::CentreCut || mode == FitMode::FitInside
                      || mode == FitMode::Stretch);
    PicK1->setVisible(mode == FitMode::OneEdge);
    const bool percent = mode == FitMode::Percent;
    m_percentPanel->setVisible(percent);
    for (QWidget *widget : {static_cast<QWidget *>(HScroll1), static_cast<QWidget *>(lbl51),
                            static_cast<QWidget *>(Text51), static_cast<QWidget *>(lbl52),
                            static_cast<QWidget *>(Text52)})
        widget->setVisible(percent && !m_options.compressOnly);
    chkXT->setVisible(mode != FitMode::Stretch && mode != FitMode::Percent);
    TxtDWJ->setVisible(m_options.sizeLimitOn);
    ComboDWJ->setVisible(TxtDWJ->isVisibleTo(this));
    drawIllustration();
}

void Frm2::selectMode(int index)
{
    m_options.selectMode(FitModeFromIndex(index));
    SaveFitMode(m_options.fitMode);
    showOptions();
    applyModeLayout();
    switch (m_options.fitMode) {
    case FitMode::OneEdge:
        focusAtEnd(Text_31);
        break;
    case FitMode::Percent:
        break;
    default:
        focusAtEnd(Text1);
    }
    schedulePreview();
}

void Frm2::chooseEdge(int choice)
{
    selectMode(FitModeIndex(FitMode::OneEdge));
    m_options.chooseEdge(choice);
    SaveEdgeChoice(m_options.edgeChoice);
    showOptions();
    focusAtEnd(Text_31);
    schedulePreview();
}

// pic/<digit of enlargeSmall><mode>.jpg for modes 1..3, pic/4.jpg and pic/5.jpg, stretched over
// the box; a missing file leaves it empty.
void Frm2::drawIllustration()
{
    const int mode = ModeNumber(m_options.fitMode);
    QString name = QString::number(mode);
    if (mode <= 3)
        name.prepend(m_options.enlargeSmall ? u'1' : u'0');
    const QSize size = PicSYT->pixelSize();
    Canvas canvas;
    canvas.resize(size.width(), size.height());
    if (canvas.image.isNull()
        || !DrawStretched(canvas, IllustrationFolder() + name + QStringLiteral(".jpg")).isEmpty()) {
        PicSYT->setPicture(QImage());
        PicSYT->setProperty("illustration", QString());
        return;
    }
    canvas.image.setDevicePixelRatio(PicSYT->devicePixelRatioF());
    PicSYT->setPicture(canvas.image);
    PicSYT->setProperty("illustration", name + QStringLiteral(".jpg"));
}

void Frm2::focusAtEnd(QLineEdit *box)
{
    // A box that is hidden or locked cannot take the focus; that is no error.
    if (!box->isVisible() || !box->isEnabled())
        return;
    box->setFocus();
    box->setCursorPosition(int(box->text().size()));
}

bool Frm2::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (box == Text1)
            focusAtEnd(Text2);
        else if (box == Text51)
            focusAtEnd(Text52);
        else
            next();
        return true;
    }
    if (key->key() == Qt::Key_Backspace)
        return false;
    // Digits only; keys that type nothing (arrows, Home, Delete, Tab, shortcuts) act as usual.
    const QString text = key->text();
    if (!text.isEmpty() && text.at(0).isPrint())
        return !(text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9');
    return false;
}

void Frm2::chooseFont()
{
    if (m_fontDialogOpen)
        return;
    m_fontDialogOpen = true;
    const FontChoice initial{m_options.textFont, ColourFromBgr(m_options.textColour)};
    m_wizard.services().chooseFont(this, initial, [this](std::optional<FontChoice> chosen) {
        if (chosen) {
            m_options.textFont = chosen->font;
            m_options.textColour = BgrFromColour(chosen->colour);
            SaveTextColour(m_options.textColour);
            showOptions();
            schedulePreview();
        }
        m_fontDialogOpen = false;
    });
}

bool Frm2::refuseWhileFontDialogOpen()
{
    if (!m_fontDialogOpen)
        return false;
    m_wizard.services().warn(this, ProductName(), tr("请先关闭字体对话框"));
    return true;
}

void Frm2::next()
{
    const OptionsCheck check = ValidateOptions(m_options, m_fontDialogOpen);
    if (!check.valid) {
        showOptions();
        if (check.field == OptionsField::TargetWidth)
            focusAtEnd(Text1);
        else if (check.field == OptionsField::TargetHeight)
            focusAtEnd(Text2);
        m_wizard.services().warn(this, check.title, check.message);
        return;
    }
    SaveOptionsAtNext(m_options);
    showOptions();
    m_wizard.setRenameOnlyMode(false);
    m_wizard.showStep(3);
}

void Frm2::previous()
{
    if (refuseWhileFontDialogOpen())
        return;
    m_wizard.showStep(1);
}

void Frm2::skip()
{
    m_wizard.setRenameOnlyMode(true);
    m_wizard.showStep(3);
}

void Frm2::closeEvent(QCloseEvent *event)
{
    if (refuseWhileFontDialogOpen()) {
        event->ignore();
        return;
    }
    event->accept();
    m_wizard.quit();
}

ProcessingOptions Frm2::options() const
{
    return m_options;
}

QString Frm2::modeCaption() const
{
    return ModeCaption(m_options);
}

// ---- live preview ----

void Frm2::setPreviewSource(const QString &file)
{
    if (file == m_previewFile)
        return;
    m_previewFile = file;
    schedulePreview();
}

void Frm2::setBackgroundPicture(const QString &file)
{
    if (file == m_backgroundPicture)
        return;
    m_backgroundPicture = file;
    schedulePreview();
}

void Frm2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Step 3 may have changed the background colour since step 2 was shown last.
    m_background = ColourFromBgr(LoadBackgroundColour());
    drawIllustration();
    schedulePreview();
}

void Frm2::schedulePreview()
{
    if (!isVisible())
        return; // drawn when the window shows
    m_previews.request(
            [file = m_previewFile, options = m_options, background = m_background,
             picture = m_backgroundPicture, box = PicPreview->pixelSize()] {
                return DrawResultPreview(file, options, background, box, picture);
            },
            [this](const ResultPreview &preview) { previewDrawn(preview); });
}

void Frm2::previewDrawn(const ResultPreview &preview)
{
    PicPreview->setPicture(preview.image);
    PicPreview->setNote(preview.message);
    PicPreview->setToolTip(preview.fullSize.isValid() ? tr("%1 × %2 像素")
                                                                .arg(preview.fullSize.width())
                                                                .arg(preview.fullSize.height())
                                                      : QString());
    emit previewShown();
}

} // namespace Pw
