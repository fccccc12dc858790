#include "app/fontcolourdialog.h"

#include "app/objectnames.h"

#include "platform/fonts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace Pw {

namespace {

constexpr double kSmallestSize = 8;
constexpr double kLargestSize = 72;
const double kListedSizes[] = {8, 9, 10, 10.5, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

enum Style { Regular, Italic, Bold, BoldItalic };

QIcon colourIcon(const QColor &colour, int side)
{
    QPixmap pixmap(side * 2, side);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

QString sizeText(double size)
{
    return QString::number(size);
}

} // namespace

QList<QPair<QColor, QString>> FontColourDialog::classicColours()
{
    return {
            {QColor(0x00, 0x00, 0x00), tr("黑色")},   {QColor(0x80, 0x00, 0x00), tr("褐红色")},
            {QColor(0x00, 0x80, 0x00), tr("绿色")},   {QColor(0x80, 0x80, 0x00), tr("橄榄色")},
            {QColor(0x00, 0x00, 0x80), tr("深蓝色")}, {QColor(0x80, 0x00, 0x80), tr("紫色")},
            {QColor(0x00, 0x80, 0x80), tr("深青色")}, {QColor(0x80, 0x80, 0x80), tr("灰色")},
            {QColor(0xC0, 0xC0, 0xC0), tr("银色")},   {QColor(0xFF, 0x00, 0x00), tr("红色")},
            {QColor(0x00, 0xFF, 0x00), tr("酸橙色")}, {QColor(0xFF, 0xFF, 0x00), tr("黄色")},
            {QColor(0x00, 0x00, 0xFF), tr("蓝色")},   {QColor(0xFF, 0x00, 0xFF), tr("紫红色")},
            {QColor(0x00, 0xFF, 0xFF), tr("水绿色")}, {QColor(0xFF, 0xFF, 0xFF), tr("白色")},
    };
}

FontColourDialog::FontColourDialog(const FontChoice &initial, QWidget *parent)
    : QDialog(parent)
    , m_colour(initial.colour)
{
    setObjectName(QStringLiteral("FontColourDialog"));
    setWindowTitle(tr("字体"));
    const int listHeight = fontMetrics().height() * 7;

    faceEdit = named(new QLineEdit(this), "faceEdit");
    faceEdit->setReadOnly(true);
    faceList = named(new QListWidget(this), "faceList");
    QStringList faces = QFontDatabase::families();
    // "宋体" draws through its substitute, so it is offered under its own name.
    if (!faces.contains(kSongTiFamily))
        faces.prepend(kSongTiFamily);
    faceList->addItems(faces);
    faceList->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);

    styleList = named(new QListWidget(this), "styleList");
    styleList->addItems({tr("常规"), tr("倾斜"), tr("粗体"), tr("粗偏斜体")});

    sizeBox = named(new QDoubleSpinBox(this), "sizeBox");
    sizeBox->setRange(kSmallestSize, kLargestSize);
    sizeBox->setDecimals(1);
    sizeBox->setSingleStep(0.5);
    sizeList = named(new QListWidget(this), "sizeList");
    for (double size : kListedSizes)
        sizeList->addItem(sizeText(size));

    for (QListWidget *list : {faceList, styleList, sizeList})
        list->setMinimumHeight(listHeight);

    strikeOutBox = named(new QCheckBox(tr("删除线(&K)"), this), "strikeOutBox");
    underlineBox = named(new QCheckBox(tr("下划线(&U)"), this), "underlineBox");
    colourBox = named(new QComboBox(this), "colourBox");
    const int iconSide = fontMetrics().height() * 2 / 3;
    colourBox->setIconSize(QSize(iconSide * 2, iconSide));
    for (const auto &[colour, name] : classicColours())
        colourBox->addItem(colourIcon(colour, iconSide), name, colour);
    colourBox->addItem(tr("自定义…"));

    sample = named(new QLabel(tr("AaBbYyZz 汉字示例"), this), "sample");
    sample->setAlignment(Qt::AlignCenter);
    sample->setMinimumHeight(fontMetrics().height() * 4);
    sample->setMinimumWidth(fontMetrics().horizontalAdvance(sample->text()) * 2);

    // Three columns as in the desktop's font dialogs: face, style, size.
    auto *columns = new QGridLayout;
    auto *faceLabel = new QLabel(tr("字体(&F):"), this);
    faceLabel->setBuddy(faceList);
    auto *styleLabel = new QLabel(tr("字形(&Y):"), this);
    styleLabel->setBuddy(styleList);
    auto *sizeLabel = new QLabel(tr("大小(&S):"), this);
    sizeLabel->setBuddy(sizeBox);
    columns->addWidget(faceLabel, 0, 0);
    columns->addWidget(styleLabel, 0, 1);
    columns->addWidget(sizeLabel, 0, 2);
    columns->addWidget(faceEdit, 1, 0);
    auto *styleShown = new QLineEdit(this);
    styleShown->setReadOnly(true);
    columns->addWidget(styleShown, 1, 1);
    columns->addWidget(sizeBox, 1, 2);
    columns->addWidget(faceList, 2, 0);
    columns->addWidget(styleList, 2, 1);
    columns->addWidget(sizeList, 2, 2);
    columns->setColumnStretch(0, 3);
    columns->setColumnStretch(1, 2);
    columns->setColumnStretch(2, 1);

    auto *effects = new QGroupBox(tr("效果"), this);
    auto *effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(strikeOutBox);
    effectsLayout->addWidget(underlineBox);
    auto *colourLabel = new QLabel(tr("颜色(&C):"), effects);
    colourLabel->setBuddy(colourBox);
    effectsLayout->addWidget(colourLabel);
    effectsLayout->addWidget(colourBox);
    effectsLayout->addStretch();

    auto *sampleGroup = new QGroupBox(tr("示例"), this);
    auto *sampleLayout = new QVBoxLayout(sampleGroup);
    sampleLayout->addWidget(sample);

    auto *lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sampleGroup, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    // The initial choice.
    const QFont &font = initial.font;
    const QString family = font.family().isEmpty() ? kSongTiFamily : font.family();
    QList<QListWidgetItem *> found = faceList->findItems(family, Qt::MatchFixedString);
    if (found.isEmpty()) {
        faceList->insertItem(0, family);
        found = faceList->findItems(family, Qt::MatchFixedString);
    }
    faceList->setCurrentItem(found.first());
    faceEdit->setText(family);
    const bool bold = font.weight() >= QFont::DemiBold;
    styleList->setCurrentRow(bold ? (font.italic() ? BoldItalic : Bold)
                                  : (font.italic() ? Italic : Regular));
    styleShown->setText(styleList->currentItem()->text());
    sizeBox->setValue(font.pointSizeF() > 0 ? font.pointSizeF() : 10.5);
    strikeOutBox->setChecked(font.strikeOut());
    underlineBox->setChecked(font.underline());
    int colourRow = -1;
    const QList<QPair<QColor, QString>> classic = classicColours();
    for (int row = 0; row < classic.size(); ++row)
        if (classic.at(row).first.rgb() == m_colour.rgb())
            colourRow = row;
    if (colourRow < 0)
        setCustomColour(m_colour);
    else
        colourBox->setCurrentIndex(colourRow);
    m_lastColourRow = colourBox->currentIndex();
    for (const QList<QListWidgetItem *> sizes = sizeList->findItems(sizeText(sizeBox->value()),
                                                                    Qt::MatchExactly);
         QListWidgetItem * item : sizes)
        sizeList->setCurrentItem(item);

    connect(faceList, &QListWidget::currentTextChanged, this, [this](const QString &face) {
        faceEdit->setText(face);
        updateSample();
    });
    connect(styleList, &QListWidget::currentTextChanged, this,
            [this, styleShown](const QString &style) {
                styleShown->setText(style);
                updateSample();
            });
    connect(sizeList, &QListWidget::currentTextChanged, this, [this](const QString &size) {
        if (!size.isEmpty())
            sizeBox->setValue(size.toDouble());
    });
    connect(sizeBox, &QDoubleSpinBox::valueChanged, this, &FontColourDialog::updateSample);
    connect(strikeOutBox, &QCheckBox::toggled, this, &FontColourDialog::updateSample);
    connect(underlineBox, &QCheckBox::toggled, this, &FontColourDialog::updateSample);
    connect(colourBox, &QComboBox::activated, this, [this](int row) {
        if (row == colourBox->count() - 1) {
            chooseCustomColour();
            return;
        }
        if (colourBox->itemData(row).isValid())
            m_colour = colourBox->itemData(row).value<QColor>();
        m_lastColourRow = row;
        updateSample();
    });
    updateSample();
}

void FontColourDialog::chooseCustomColour()
{
    const QColor colour = QColorDialog::getColor(m_colour, this, tr("颜色"));
    if (colour.isValid()) {
        setCustomColour(colour);
    } else {
        const QSignalBlocker blocker(colourBox);
        colourBox->setCurrentIndex(m_lastColourRow);
    }
    updateSample();
}

// A colour outside the 16 shows as one more row just before "自定义…".
void FontColourDialog::setCustomColour(const QColor &colour)
{
    m_colour = colour;
    const int customRow = int(classicColours().size());
    const int iconSide = colourBox->iconSize().height();
    if (colourBox->count() > customRow + 1)
        colourBox->removeItem(customRow);
    colourBox->insertItem(customRow, colourIcon(colour, iconSide), tr("自定义"), colour);
    colourBox->setCurrentIndex(customRow);
    m_lastColourRow = customRow;
}

FontChoice FontColourDialog::choice() const
{
    QFont font(faceEdit->text());
    font.setPointSizeF(sizeBox->value());
    const int style = styleList->currentRow();
    font.setWeight(style == Bold || style == BoldItalic ? QFont::Bold : QFont::Normal);
    font.setItalic(style == Italic || style == BoldItalic);
    font.setUnderline(underlineBox->isChecked());
    font.setStrikeOut(strikeOutBox->isChecked());
    return FontChoice{font, m_colour};
}

void FontColourDialog::updateSample()
{
    const FontChoice chosen = choice();
    QFont shown = chosen.font;
    // The sample stays readable in the dialog whatever the size.
    shown.setPointSizeF(std::min(chosen.font.pointSizeF(), 28.0));
    sample->setFont(shown);
    QPalette palette = sample->palette();
    palette.setColor(QPalette::WindowText, chosen.colour);
    sample->setPalette(palette);
}

} // namespace Pw
