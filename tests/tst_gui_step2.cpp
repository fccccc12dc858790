#include "app/fontcolourdialog.h"
#include "app/frm2.h"
#include "app/frm3.h"
#include "app/step2widgets.h"
#include "app/wizard.h"
#include "platform/apppaths.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "tests/support/fakeguiservices.h"

#include <QAbstractTextDocumentLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace Pw;

namespace {

QString percentCaption(int percent)
{
    return QStringLiteral("5.原图按 %1% 比例(允许5%-5倍)进行缩(放)，不变形，无白边").arg(percent);
}
const QString kCloseFontDialog = QStringLiteral("请先关闭字体对话框");

QString stored(const QString &key)
{
    return ReadIni(Keys::kSectionSelected, key);
}

void store(const QString &key, const QString &value)
{
    QVERIFY(WriteIni(Keys::kSectionSelected, key, value));
}

} // namespace

// Step 2 driven by its controls' names, headless; dialogs answered by the fake services.
class TestStep2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsByName_data();
    void controlsByName();
    void startUp();
    void percentCaptions_data();
    void percentCaptions();
    void modeChange_data();
    void modeChange();
    void edgeChoice();
    void compressOnly();
    void squareSwitchAndCopies();
    void presets();
    void keyboard();
    void digitBoxesRefuseOtherText_data();
    void digitBoxesRefuseOtherText();
    void overlayBoxShowsLinesAsDrawn();
    void captionsDoNotWidenTheWindow();
    void nextValidatesAndSaves();
    void skipAndPrevious();
    void fontDialog();
    void fontDialogBlocksLeaving();
    void overlayTextAndColours();
    void fontColourDialogGivesBackTheChoice();
    void livePreview();
    void summaryCopiesTheShownCaption();
    void desktopFontDialogDoesNotBlock();

private:
    // Step 2 shown, made from the settings file as it stands.
    Frm2 *showStep2()
    {
        m_wizard->showStep(2);
        Frm2 *step2 = m_wizard->frm2();
        // Focus moves are part of the behaviour: the window must be the active one.
        step2->activateWindow();
        if (!QTest::qWaitForWindowActive(step2))
            qWarning("step 2 did not become the active window");
        return step2;
    }

    QTemporaryDir m_dir;
    PwTest::FakeGuiServices *m_services = nullptr;
    Wizard *m_wizard = nullptr;
};

void TestStep2::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(m_dir.filePath(QStringLiteral("Set.ini")));
    SetDefaultSettingsFile(m_dir.filePath(QStringLiteral("Set.ini")));
    SetAppFolder(QStringLiteral(PW_APP_DIR));
    m_services = new PwTest::FakeGuiServices;
    m_wizard = new Wizard(*m_services);
}

void TestStep2::cleanup()
{
    delete m_wizard;
    delete m_services;
    SetDefaultSettingsFile(QString());
}

void TestStep2::controlsByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *name, const char *type, const QString &text = QString()) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(type) << text;
    };
    row("PicL", "QLabel");
    row("lblStep", "QLabel", QStringLiteral("【第2/3步:指定变形方式与压缩体积】"));
    row("PicRT", "QWidget");
    row("OpSYT_0", "QRadioButton",
        QStringLiteral("1.指定图形的宽和高，抛弃超出的部分，不缩放不变形，有白边"));
    row("OpSYT_1", "QRadioButton",
        QStringLiteral("2.指定图形的宽和高，最大化可视原图，缩放而不变形，有白边"));
    row("OpSYT_2", "QRadioButton",
        QStringLiteral("3.指定图形的 长边 ，最大化可视原图，缩放而不变形，无白边"));
    row("OpSYT_3", "QRadioButton",
        QStringLiteral("4.指定图形的宽和高，图形撑满四周边框，缩放后变形，无白边"));
    row("OpSYT_4", "QRadioButton", percentCaption(50));
    row("Label2", "QLabel", QStringLiteral("指定像素值，软件自动判断横版/竖版图："));
    row("PicK2", "QWidget");
    row("lblCDB", "QLabel", QStringLiteral("宽：      像素，高：      像素"));
    row("Text1", "QLineEdit", QStringLiteral("400"));
    row("Text2", "QLineEdit", QStringLiteral("400"));
    row("Check2", "QAbstractButton", QStringLiteral("="));
    row("Line2", "Pw::SizeLink");
    row("Combo1", "QComboBox");
    row("PicK1", "QWidget");
    row("Text_31", "QLineEdit", QStringLiteral("400"));
    row("Op31", "QRadioButton", QStringLiteral("长边"));
    row("op32", "QRadioButton", QStringLiteral("宽"));
    row("Op33", "QRadioButton", QStringLiteral("高"));
    row("lblSX_31", "QLabel", QStringLiteral("像素"));
    row("chkXT", "QCheckBox",
        QStringLiteral("对1/2/3中原图宽和高均小于指定值时的小图，放大而不变形"));
    row("HScroll1", "QScrollBar");
    row("lbl51", "QLabel", QStringLiteral("短边不低于"));
    row("Text51", "QLineEdit", QStringLiteral("2"));
    row("lbl52", "QLabel", QStringLiteral("长边不超过"));
    row("Text52", "QLineEdit", QStringLiteral("16000"));
    row("Label1", "QLabel", QStringLiteral("生成文件占用磁盘空间（文件体积大小）设置："));
    row("ChkYSTJ", "QCheckBox", QStringLiteral("不改变像素值，仅仅压缩体积"));
    row("ChkDWJ", "QCheckBox", QStringLiteral("存盘后文件体积不超限"));
    row("TxtDWJ", "QLineEdit", QStringLiteral("50"));
    row("ComboDWJ", "QComboBox");
    row("Check1", "QCheckBox", QStringLiteral("图上自行加字"));
    row("Text3", "QPlainTextEdit");
    row("Command3", "QPushButton", QStringLiteral("字体/字色/字号"));
    row("Check3", "QCheckBox", QStringLiteral("文字反白"));
    row("PicBJS", "Pw::HueStrip");
    row("PicBJse", "Pw::ColourSwatch");
    row("PicSYT", "Pw::PictureBox");
    row("Label3", "QLabel", QStringLiteral("示意图"));
    row("Command1", "QPushButton", QStringLiteral("下一步(&N)"));
    row("Command2", "QPushButton", QStringLiteral("上一步(&P)"));
    row("Command4", "QPushButton", QStringLiteral("跳过(&S)"));
}

void TestStep2::controlsByName()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, text);
    QWidget *widget = showStep2()->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QVERIFY2(widget->inherits(type.toLatin1()), widget->metaObject()->className());
    if (text.isEmpty())
        return;
    QString shown;
    if (auto *label = qobject_cast<QLabel *>(widget))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        shown = button->text();
    else if (auto *box = qobject_cast<QLineEdit *>(widget))
        shown = box->text();
    QCOMPARE(shown, text);
}

void TestStep2::startUp()
{
    Frm2 *step2 = showStep2();
    // The fixed texts besides captions.
    QCOMPARE(step2->Combo1->count(), 33);
    QCOMPARE(step2->Combo1->itemText(1), QStringLiteral("相片冲印01.一寸照片 3.81cm*2.54cm"));
    QCOMPARE(step2->Combo1->itemText(17), QStringLiteral("相片冲印17.十八寸照片 45.72cm*30.48cm"));
    QCOMPARE(step2->ComboDWJ->count(), 2);
    QCOMPARE(step2->ComboDWJ->currentText(), QStringLiteral("K"));
    QVERIFY(!step2->TxtDWJ->isVisible());
    QVERIFY(!step2->ComboDWJ->isVisible());
    QCOMPARE(step2->HScroll1->minimum(), 5);
    QCOMPARE(step2->HScroll1->maximum(), 500);
    QCOMPARE(step2->PicBJS->size(), QSize(15, 54));
    QCOMPARE(step2->Check2->toolTip(), QStringLiteral("使宽和高相等！长=短时，白边背景会被遮盖！"));
    QCOMPARE(step2->Command4->toolTip(), QStringLiteral("跳过本步，进入文件名批量修改功能！"));
    QCOMPARE(step2->OpSYT[4]->toolTip(),
             QStringLiteral("同比缩小与同比放大,100%时仅压缩体积不牺牲画质"));
    QCOMPARE(step2->OpSYTGroup->id(step2->OpSYT[3]), 3);
    QVERIFY(step2->OpSYT[0]->isChecked());
    QCOMPARE(step2->windowTitle(), Wizard::title());
    // The first start stores the mode it selects.
    QCOMPARE(stored(Keys::kFitMode), QStringLiteral("0"));
    QCOMPARE(step2->modeCaption(), step2->OpSYT[0]->text());
}

void TestStep2::percentCaptions_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("caption");
    QTest::newRow("99") << 99
                        << QStringLiteral(
                                   "5.原图按 99% 比例(允许5%-5倍)进行缩(放)，不变形，无白边");
    QTest::newRow("5") << 5
                       << QStringLiteral("5.原图按 5% 比例(允许5%-5倍)进行缩(放)，不变形，无白边");
    QTest::newRow("100") << 100
                         << QStringLiteral(
                                    "5.原图原样100%复制，不变形，此时不影响画质压缩体积，无白边");
    QTest::newRow("105") << 105
                         << QStringLiteral(
                                    "5.原图按 1.05 倍（允许5%-5倍）进行（缩）放，不变形，无白边");
    QTest::newRow("150") << 150
                         << QStringLiteral(
                                    "5.原图按 1.5 倍（允许5%-5倍）进行（缩）放，不变形，无白边");
    QTest::newRow("500") << 500
                         << QStringLiteral(
                                    "5.原图按 5 倍（允许5%-5倍）进行（缩）放，不变形，无白边");
}

void TestStep2::percentCaptions()
{
    QFETCH(int, percent);
    QFETCH(QString, caption);
    // A restored percentage reads as the bar shows it, from the start.
    store(Keys::kFitMode, QStringLiteral("4"));
    store(Keys::kScalePercent, QString::number(percent));
    Frm2 *step2 = showStep2();
    QCOMPARE(step2->HScroll1->value(), percent);
    QCOMPARE(step2->OpSYT[4]->text(), caption);
    QCOMPARE(step2->modeCaption(), caption);

    // Moved away and back, the bar gives the same caption.
    step2->HScroll1->setValue(percent == 80 ? 81 : 80);
    QCOMPARE(step2->OpSYT[4]->text(), percentCaption(step2->HScroll1->value()));
    step2->HScroll1->setValue(percent);
    QCOMPARE(step2->OpSYT[4]->text(), caption);
    QCOMPARE(step2->options().scalePercent, percent);
    QCOMPARE(step2->modeCaption(), caption);
}

void TestStep2::modeChange_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("sizes");   // PicK2
    QTest::addColumn<bool>("edge");    // Text_31, lblSX_31, Op31..Op33
    QTest::addColumn<bool>("percent"); // HScroll1, lbl51, Text51, lbl52, Text52
    QTest::addColumn<bool>("enlarge"); // chkXT
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("caption"); // lblCDB
    QTest::addColumn<QString>("illustration");
    const QString both = QStringLiteral("宽：      像素，高：      像素");
    const QString width = QStringLiteral("宽：      像素");
    QTest::newRow("1") << 0 << true << false << false << true << "Text1" << both << "01.jpg";
    QTest::newRow("2") << 1 << true << false << false << true << "Text1" << both << "02.jpg";
    QTest::newRow("3") << 2 << false << true << false << true << "Text_31" << width << "03.jpg";
    QTest::newRow("4") << 3 << true << false << false << false << "Text1" << both << "4.jpg";
    // ChkYSTJ stays ticked in mode 5, and with it the percentage stays hidden; the focus stays
    // on the clicked option.
    QTest::newRow("5") << 4 << false << false << false << false << "OpSYT_4" << both << "5.jpg";
}

void TestStep2::modeChange()
{
    QFETCH(int, index);
    QFETCH(bool, sizes);
    QFETCH(bool, edge);
    QFETCH(bool, percent);
    QFETCH(bool, enlarge);
    QFETCH(QString, focus);
    QFETCH(QString, caption);
    QFETCH(QString, illustration);
    Frm2 *step2 = showStep2();
    QTest::mouseClick(step2->ChkYSTJ, Qt::LeftButton); // cleared by modes 1..4 only
    step2->Combo1->setCurrentIndex(7);
    QVERIFY(!step2->Text1->isEnabled());
    QTest::mouseClick(step2->OpSYT[size_t(index)], Qt::LeftButton);

    QVERIFY(step2->OpSYT[size_t(index)]->isChecked());
    QCOMPARE(step2->PicK2->isVisible(), sizes);
    for (QWidget *w : std::initializer_list<QWidget *>{step2->Text_31, step2->lblSX_31, step2->Op31,
                                                       step2->op32, step2->Op33})
        QCOMPARE(w->isVisible(), edge);
    for (QWidget *w : std::initializer_list<QWidget *>{step2->HScroll1, step2->lbl51, step2->Text51,
                                                       step2->lbl52, step2->Text52})
        QCOMPARE(w->isVisible(), percent);
    QCOMPARE(step2->chkXT->isVisible(), enlarge);
    QCOMPARE(step2->ChkYSTJ->isChecked(), index == 4);
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(step2->lblCDB->text(), caption);
    QCOMPARE(step2->PicSYT->property("illustration").toString(), illustration);
    QVERIFY(!step2->PicSYT->picture().isNull());
    // The mode is stored, the preset list is back at item 0 with the boxes unlocked.
    QCOMPARE(stored(Keys::kFitMode), QString::number(index));
    QCOMPARE(step2->Combo1->currentIndex(), 0);
    QVERIFY(step2->Text1->isEnabled());
    QCOMPARE(step2->Text1->text(), QStringLiteral("1200"));
    QCOMPARE(step2->options().fitMode, FitModeFromIndex(index));
}

void TestStep2::edgeChoice()
{
    store(Keys::kFitMode, QStringLiteral("2"));
    store(Keys::kEdgeChoice, QStringLiteral("3"));
    store(Keys::kEdgeLength, QStringLiteral("640"));
    Frm2 *step2 = showStep2();
    QVERIFY(step2->Op33->isChecked());
    QCOMPARE(step2->Text_31->text(), QStringLiteral("640"));
    QCOMPARE(step2->OpSYT[2]->text(),
             QStringLiteral("3.指定图形的  高  ，最大化可视原图，缩放而不变形，无白边"));

    QTest::mouseClick(step2->op32, Qt::LeftButton);
    QCOMPARE(stored(Keys::kEdgeChoice), QStringLiteral("2"));
    QCOMPARE(step2->OpSYT[2]->text(),
             QStringLiteral("3.指定图形的  宽  ，最大化可视原图，缩放而不变形，无白边"));
    QCOMPARE(QApplication::focusWidget(), step2->Text_31);
    QTest::mouseClick(step2->Op31, Qt::LeftButton);
    QCOMPARE(step2->OpSYT[2]->text(),
             QStringLiteral("3.指定图形的 长边 ，最大化可视原图，缩放而不变形，无白边"));
    QCOMPARE(step2->modeCaption(), step2->OpSYT[2]->text());
}

void TestStep2::compressOnly()
{
    Frm2 *step2 = showStep2();
    QTest::mouseClick(step2->OpSYT[1], Qt::LeftButton);
    QTest::mouseClick(step2->ChkYSTJ, Qt::LeftButton);
    QVERIFY(step2->OpSYT[4]->isChecked());
    QCOMPARE(step2->HScroll1->value(), 100);
    QCOMPARE(step2->OpSYT[4]->text(),
             QStringLiteral("5.原图原样100%复制，不变形，此时不影响画质压缩体积，无白边"));
    for (QWidget *w : std::initializer_list<QWidget *>{step2->HScroll1, step2->lbl51, step2->Text51,
                                                       step2->lbl52, step2->Text52})
        QVERIFY(!w->isVisible());
    QCOMPARE(stored(Keys::kFitMode), QStringLiteral("4"));

    QTest::mouseClick(step2->ChkYSTJ, Qt::LeftButton); // unticked in mode 5: shown again
    QVERIFY(step2->HScroll1->isVisible());
    QCOMPARE(step2->options().scalePercent, 100);

    QTest::mouseClick(step2->ChkYSTJ, Qt::LeftButton);
    QTest::mouseClick(step2->OpSYT[0], Qt::LeftButton);
    QVERIFY(!step2->ChkYSTJ->isChecked());
    QVERIFY(!step2->options().compressOnly);
}

void TestStep2::squareSwitchAndCopies()
{
    Frm2 *step2 = showStep2();
    QVERIFY(!step2->Line2->isSolid());
    QTest::mouseClick(step2->Check2, Qt::LeftButton);
    QVERIFY(step2->Line2->isSolid());
    QVERIFY(!step2->Text2->isEnabled());
    QCOMPARE(QApplication::focusWidget(), step2->Text1);
    QCOMPARE(step2->Text1->selectedText(), QStringLiteral("400"));

    QTest::keyClicks(step2->Text1, QStringLiteral("720"));
    QCOMPARE(step2->Text1->text(), QStringLiteral("720"));
    QCOMPARE(step2->Text2->text(), QStringLiteral("720"));
    QCOMPARE(step2->Text_31->text(), QStringLiteral("720"));

    QTest::mouseClick(step2->Check2, Qt::LeftButton);
    QVERIFY(!step2->Line2->isSolid());
    QVERIFY(step2->Text2->isEnabled());
    QCOMPARE(QApplication::focusWidget(), step2->Text2);
    QTest::keyClicks(step2->Text1, QStringLiteral("1"));
    QCOMPARE(step2->Text2->text(), QStringLiteral("720"));
    QCOMPARE(step2->Text_31->text(), QStringLiteral("7201"));

    // The enlarge switch redraws the illustration and returns to the width.
    QTest::mouseClick(step2->OpSYT[1], Qt::LeftButton);
    QCOMPARE(step2->PicSYT->property("illustration").toString(), QStringLiteral("02.jpg"));
    QTest::mouseClick(step2->chkXT, Qt::LeftButton);
    QCOMPARE(step2->PicSYT->property("illustration").toString(), QStringLiteral("12.jpg"));
    QCOMPARE(QApplication::focusWidget(), step2->Text1);
    QTest::mouseClick(step2->chkXT, Qt::LeftButton);
    QCOMPARE(step2->PicSYT->property("illustration").toString(), QStringLiteral("02.jpg"));
}

void TestStep2::presets()
{
    // A stored preset fills the boxes; the restored mode then puts the list back to item 0.
    store(Keys::kPresetIndex, QStringLiteral("9"));
    Frm2 *step2 = showStep2();
    QCOMPARE(step2->Combo1->currentIndex(), 0);
    QCOMPARE(step2->Text1->text(), QStringLiteral("1800"));
    QCOMPARE(step2->Text2->text(), QStringLiteral("1200"));
    QVERIFY(step2->Text1->isEnabled());

    step2->Combo1->setCurrentIndex(24);
    QCOMPARE(step2->Text1->text(), QStringLiteral("378"));
    QCOMPARE(step2->Text2->text(), QStringLiteral("307"));
    QVERIFY(!step2->Text1->isEnabled());
    QVERIFY(!step2->Text2->isEnabled());
    step2->Combo1->setCurrentIndex(0);
    QVERIFY(step2->Text1->isEnabled());
    QVERIFY(step2->Text2->isEnabled());
    QCOMPARE(step2->Text1->text(), QStringLiteral("378"));

    QTest::mouseClick(step2->Check2, Qt::LeftButton);
    step2->Combo1->setCurrentIndex(1);
    QCOMPARE(step2->Text1->text(), QStringLiteral("450"));
    QCOMPARE(step2->Text2->text(), QStringLiteral("300"));
    step2->Combo1->setCurrentIndex(17);
    QCOMPARE(step2->Text1->text(), QStringLiteral("5400"));
    QCOMPARE(step2->Text2->text(), QStringLiteral("3600"));
}

void TestStep2::keyboard()
{
    Frm2 *step2 = showStep2();
    step2->Text1->clear();
    QTest::keyClicks(step2->Text1, QStringLiteral("1a2-3 ."));
    QCOMPARE(step2->Text1->text(), QStringLiteral("123"));
    QTest::keyClick(step2->Text1, Qt::Key_Backspace);
    QCOMPARE(step2->Text1->text(), QStringLiteral("12"));
    QTest::keyClick(step2->Text1, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), step2->Text2);
    QCOMPARE(step2->Text2->cursorPosition(), 3);

    QTest::mouseClick(step2->OpSYT[4], Qt::LeftButton);
    QTest::keyClicks(step2->Text51, QStringLiteral("x5"));
    QCOMPARE(step2->Text51->text(), QStringLiteral("25"));
    QTest::keyClick(step2->Text51, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), step2->Text52);

    QTest::mouseClick(step2->ChkDWJ, Qt::LeftButton);
    QVERIFY(step2->TxtDWJ->isVisible());
    QVERIFY(step2->ComboDWJ->isVisible());
    QCOMPARE(QApplication::focusWidget(), step2->TxtDWJ);
    // The value appears selected: typing replaces it.
    QCOMPARE(step2->TxtDWJ->selectedText(), QStringLiteral("50"));
    QTest::keyClicks(step2->TxtDWJ, QStringLiteral("300"));
    QCOMPARE(step2->options().sizeLimitValue, QStringLiteral("300"));
    QTest::mouseClick(step2->ChkDWJ, Qt::LeftButton);
    QVERIFY(!step2->TxtDWJ->isVisible());
    QVERIFY(!step2->ComboDWJ->isVisible());
}

void TestStep2::digitBoxesRefuseOtherText_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("how"); // paste or drop, into the emptied box
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    for (const char *box : {"Text1", "Text2", "Text_31", "Text51", "Text52", "TxtDWJ"}) {
        const auto row = [box](const char *how, const QString &text, const QString &result) {
            QTest::addRow("%s %s %s", box, how, qPrintable(text))
                    << QString::fromLatin1(box) << QString::fromLatin1(how) << text << result;
        };
        row("paste", QStringLiteral("12ab"), QString());
        row("paste", QStringLiteral(" 300"), QString());
        row("paste", QStringLiteral("３0０"), QStringLiteral("300"));
        row("drop", QStringLiteral("-5"), QString());
        row("drop", QStringLiteral("1920"), QStringLiteral("1920"));
    }
}

void TestStep2::digitBoxesRefuseOtherText()
{
    QFETCH(QString, box);
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QString, result);
    Frm2 *step2 = showStep2();
    auto *edit = step2->findChild<QLineEdit *>(box);
    QVERIFY(edit);
    edit->clear();
    if (how == u"paste") {
        QApplication::clipboard()->setText(text);
        edit->paste();
    } else {
        QMimeData mime;
        mime.setText(text);
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
    }
    QCOMPARE(edit->text(), result);
}

void TestStep2::overlayBoxShowsLinesAsDrawn()
{
    Frm2 *step2 = showStep2();
    const QString longLine(400, u'字');
    step2->Text3->setPlainText(longLine + QStringLiteral("\n二"));
    QTRY_VERIFY(step2->Text3->document()->firstBlock().layout()->lineCount() > 0);
    // Two lines written, two lines shown: a long line is not wrapped into several.
    for (QTextBlock block = step2->Text3->document()->firstBlock(); block.isValid();
         block = block.next())
        QCOMPARE(block.layout()->lineCount(), 1);
}

void TestStep2::captionsDoNotWidenTheWindow()
{
    Frm2 *step2 = showStep2();
    QTest::mouseClick(step2->OpSYT[4], Qt::LeftButton);
    const int width = step2->sizeHint().width();
    for (int percent : {5, 99, 100, 105, 150, 500}) {
        step2->HScroll1->setValue(percent);
        QCOMPARE(step2->sizeHint().width(), width);
    }
    QTest::mouseClick(step2->ChkYSTJ, Qt::LeftButton);
    QCOMPARE(step2->sizeHint().width(), width);
    for (QRadioButton *edge : {step2->Op31, step2->op32, step2->Op33}) {
        QTest::mouseClick(edge, Qt::LeftButton);
        QCOMPARE(step2->sizeHint().width(), width);
    }
}

void TestStep2::nextValidatesAndSaves()
{
    Frm2 *step2 = showStep2();
    step2->Text1->setText(QStringLiteral("abc")); // pasted, not typed
    QTest::mouseClick(step2->Command1, Qt::LeftButton);
    QCOMPARE(m_wizard->visibleStep(), 2);
    QCOMPARE(m_services->messages.size(), 1);
    QCOMPARE(m_services->messages.at(0).title, QStringLiteral("注意"));
    QCOMPARE(m_services->messages.at(0).text, QStringLiteral("请填入长边数字"));
    QCOMPARE(step2->Text1->text(), QStringLiteral("480"));
    QCOMPARE(step2->Text_31->text(), QStringLiteral("480"));
    QCOMPARE(QApplication::focusWidget(), step2->Text1);
    QCOMPARE(step2->Text1->cursorPosition(), 3);

    // An empty height stops the wizard in mode 3 as well.
    step2->Text2->clear();
    QTest::mouseClick(step2->OpSYT[2], Qt::LeftButton);
    step2->Text_31->setText(QStringLiteral("300"));
    QTest::mouseClick(step2->Command1, Qt::LeftButton);
    QCOMPARE(m_services->texts(QStringLiteral("warn")).last(), QStringLiteral("请填入短边数字"));
    QCOMPARE(step2->Text2->text(), QStringLiteral("480"));
    QCOMPARE(m_wizard->visibleStep(), 2);

    // Enter in Text_31 is Next: the edge goes back into the width and the keys are written.
    m_wizard->setRenameOnlyMode(true);
    QTest::keyClick(step2->Text_31, Qt::Key_Return);
    QCOMPARE(m_wizard->visibleStep(), 3);
    QVERIFY(!m_wizard->renameOnlyMode());
    QCOMPARE(step2->Text1->text(), QStringLiteral("300"));
    QCOMPARE(stored(Keys::kEdgeLength), QStringLiteral("300"));
    QCOMPARE(stored(Keys::kScalePercent), QStringLiteral("50"));
    QCOMPARE(stored(Keys::kPercentFloor), QStringLiteral("2"));
    QCOMPARE(stored(Keys::kPercentCap), QStringLiteral("16000"));
    QCOMPARE(m_services->messages.size(), 2);

    // Enter in Text2 behaves exactly like Next.
    m_wizard->showStep(2);
    QTest::mouseClick(step2->OpSYT[0], Qt::LeftButton);
    QTest::keyClick(step2->Text2, Qt::Key_Return);
    QCOMPARE(m_wizard->visibleStep(), 3);
    QCOMPARE(m_services->messages.size(), 2);

    // The height edge chosen once, then mode 2 with 1600 x 1200: Next keeps both sizes.
    m_wizard->showStep(2);
    QTest::mouseClick(step2->Op33, Qt::LeftButton);
    QTest::mouseClick(step2->OpSYT[1], Qt::LeftButton);
    step2->Text1->setText(QStringLiteral("1600"));
    step2->Text2->setText(QStringLiteral("1200"));
    QTest::mouseClick(step2->Command1, Qt::LeftButton);
    QCOMPARE(m_wizard->visibleStep(), 3);
    QCOMPARE(step2->Text2->text(), QStringLiteral("1200"));
    QCOMPARE(step2->options().targetHeight, QStringLiteral("1200"));
}

void TestStep2::skipAndPrevious()
{
    Frm2 *step2 = showStep2();
    step2->Text1->clear();
    QTest::mouseClick(step2->Command4, Qt::LeftButton);
    QCOMPARE(m_wizard->visibleStep(), 3);
    QVERIFY(m_wizard->renameOnlyMode());
    QVERIFY(m_services->messages.isEmpty());
    QCOMPARE(stored(Keys::kScalePercent), QString()); // nothing validated or stored

    m_wizard->showStep(2);
    QTest::mouseClick(step2->Command2, Qt::LeftButton);
    QCOMPARE(m_wizard->visibleStep(), 1);
    QVERIFY(m_services->messages.isEmpty());
}

void TestStep2::fontDialog()
{
    store(Keys::kTextColour, QStringLiteral("255"));
    Frm2 *step2 = showStep2();
    QCOMPARE(step2->Text3->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(step2->Text3->font().family(), QStringLiteral("宋体"));
    QCOMPARE(step2->Text3->font().pointSizeF(), 10.5);

    // Cancelled: nothing changes, nothing is written.
    QTest::mouseClick(step2->Command3, Qt::LeftButton);
    QCOMPARE(m_services->fontDialogsOpened, 1);
    QVERIFY(step2->fontDialogOpen());
    QCOMPARE(m_services->fontShown.colour, QColor(255, 0, 0));
    QFile::remove(m_dir.filePath(QStringLiteral("Set.ini")));
    m_services->pendingFont(std::nullopt);
    QVERIFY(!step2->fontDialogOpen());
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("Set.ini"))));
    QCOMPARE(step2->Text3->font().pointSizeF(), 10.5);

    // OK with another face, 12 points, bold, blue: the sample and the record take it.
    QTest::mouseClick(step2->Command3, Qt::LeftButton);
    QFont chosen(QStringLiteral("Noto Sans CJK SC"));
    chosen.setPointSize(12);
    chosen.setBold(true);
    chosen.setUnderline(true);
    m_services->pendingFont(FontChoice{chosen, QColor(0, 0, 255)});
    QVERIFY(!step2->fontDialogOpen());
    QCOMPARE(stored(Keys::kTextColour), QString::number(0xFF0000));
    QCOMPARE(step2->Text3->font().pointSize(), 12);
    QVERIFY(step2->Text3->font().bold());
    QVERIFY(step2->Text3->font().underline());
    QCOMPARE(step2->options().textFont.pointSize(), 12);
    QCOMPARE(step2->options().textColour, 0xFF0000);
    QCOMPARE(step2->Text3->palette().color(QPalette::Text), QColor(0, 0, 255));
}

void TestStep2::fontDialogBlocksLeaving()
{
    Frm2 *step2 = showStep2();
    QTest::mouseClick(step2->Command3, Qt::LeftButton);
    QSignalSpy ended(m_wizard, &Wizard::ended);
    QTest::mouseClick(step2->Command1, Qt::LeftButton);
    QTest::mouseClick(step2->Command2, Qt::LeftButton);
    QVERIFY(!step2->close());
    QCOMPARE(m_wizard->visibleStep(), 2);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(m_services->texts(QStringLiteral("warn")),
             QStringList({kCloseFontDialog, kCloseFontDialog, kCloseFontDialog}));
    for (const auto &message : std::as_const(m_services->messages))
        QCOMPARE(message.title, QStringLiteral("Pixwright"));
    QCOMPARE(stored(Keys::kScalePercent), QString());

    m_services->pendingFont(std::nullopt);
    QVERIFY(step2->close());
    QCOMPARE(ended.count(), 1);
}

void TestStep2::overlayTextAndColours()
{
    store(Keys::kOverlayText, QStringLiteral("甲`^`乙"));
    store(Keys::kAddText, QStringLiteral("1"));
    store(Keys::kTextBackColour, QString::number(0x00FF00));
    Frm2 *step2 = showStep2();
    QCOMPARE(step2->Text3->toPlainText(), QStringLiteral("甲\n乙"));
    QVERIFY(step2->Check1->isChecked());
    QCOMPARE(step2->PicBJse->colour(), QColor(0, 255, 0));
    QCOMPARE(step2->Text3->palette().color(QPalette::Base), QColor(0, 255, 0));

    step2->Text3->setPlainText(QStringLiteral("一\n二\n三"));
    QCOMPARE(stored(Keys::kOverlayText), QStringLiteral("一`^`二`^`三"));
    QCOMPARE(step2->options().overlayText, QStringLiteral("一\r\n二\r\n三"));
    QTest::mouseClick(step2->Check1, Qt::LeftButton);
    QCOMPARE(stored(Keys::kAddText), QStringLiteral("0"));

    // A palette press stores the colour under the pointer: red at the top.
    QTest::mouseClick(step2->PicBJS, Qt::LeftButton, {}, QPoint(7, 0));
    QCOMPARE(step2->PicBJse->colour(), QColor(255, 0, 0));
    QCOMPARE(stored(Keys::kTextBackColour), QStringLiteral("255"));
    QTest::mouseClick(step2->PicBJS, Qt::RightButton, {}, QPoint(7, 53));
    QCOMPARE(step2->PicBJse->colour(), QColor(255, 0, 255));
    QCOMPARE(stored(Keys::kTextBackColour), QString::number(0xFF00FF));

    // Right press white, double-click black: shown and used, not stored.
    QTest::mouseClick(step2->PicBJse, Qt::RightButton);
    QCOMPARE(step2->PicBJse->colour(), QColor(255, 255, 255));
    QCOMPARE(step2->Text3->palette().color(QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(step2->options().textBackColour, 0xFFFFFF);
    QTest::mouseDClick(step2->PicBJse, Qt::LeftButton);
    QCOMPARE(step2->PicBJse->colour(), QColor(0, 0, 0));
    QCOMPARE(stored(Keys::kTextBackColour), QString::number(0xFF00FF));
}

void TestStep2::fontColourDialogGivesBackTheChoice()
{
    QFont initial(QStringLiteral("宋体"));
    initial.setPointSizeF(10.5);
    FontColourDialog dialog(FontChoice{initial, QColor(0x80, 0, 0)});
    QCOMPARE(dialog.faceEdit->text(), QStringLiteral("宋体"));
    QCOMPARE(dialog.sizeBox->value(), 10.5);
    QCOMPARE(dialog.sizeBox->minimum(), 8.0);
    QCOMPARE(dialog.sizeBox->maximum(), 72.0);
    QCOMPARE(dialog.colourBox->currentText(), QStringLiteral("褐红色"));
    QCOMPARE(dialog.colourBox->count(), 17); // 16 colours and "custom"
    QCOMPARE(dialog.choice().font.pointSizeF(), 10.5);

    const QList<QListWidgetItem *> sizes = dialog.sizeList->findItems(QStringLiteral("12"),
                                                                      Qt::MatchExactly);
    QCOMPARE(sizes.size(), 1);
    dialog.sizeList->setCurrentItem(sizes.first());
    dialog.styleList->setCurrentRow(2); // bold
    dialog.strikeOutBox->setChecked(true);
    dialog.colourBox->setCurrentIndex(9);
    emit dialog.colourBox->activated(9);
    const FontChoice choice = dialog.choice();
    QCOMPARE(choice.font.pointSizeF(), 12.0);
    QCOMPARE(choice.font.weight(), QFont::Bold);
    QVERIFY(!choice.font.italic());
    QVERIFY(choice.font.strikeOut());
    QCOMPARE(choice.colour, QColor(255, 0, 0));

    // A colour outside the 16 comes back as it went in.
    FontColourDialog custom(FontChoice{initial, QColor(1, 2, 3)});
    QCOMPARE(custom.choice().colour, QColor(1, 2, 3));
    QCOMPARE(custom.colourBox->currentText(), QStringLiteral("自定义"));
}

void TestStep2::livePreview()
{
    // A 300 x 200 picture (green) as step 1's preview; mode 2 fits it into 400 x 400 on the
    // step-3 background (black here).
    const QString file = m_dir.filePath(QStringLiteral("green.png"));
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(QColor(0, 200, 0));
    QVERIFY(picture.save(file));
    store(Keys::kFitMode, QStringLiteral("1"));
    Frm2 *step2 = showStep2();
    QSignalSpy shown(step2, &Frm2::previewShown);
    step2->setPreviewSource(file);
    QTRY_VERIFY(!step2->PicPreview->picture().isNull()
                && step2->PicPreview->toolTip() == QStringLiteral("400 × 400 像素"));
    QImage image = step2->PicPreview->picture();
    QCOMPARE(image.width(), image.height());
    QCOMPARE(QColor(image.pixel(image.width() / 2, 2)), QColor(Qt::black)); // border
    const QColor middle = image.pixel(image.width() / 2, image.height() / 2);
    QVERIFY(middle.green() > 150 && middle.red() < 50);

    // Step 3's background picture shows under the border, as the run draws it.
    const QString backdrop = m_dir.filePath(QStringLiteral("red.png"));
    QImage red(40, 40, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(backdrop));
    m_wizard->frm3()->TxtPic->setText(backdrop);
    m_wizard->showStep(2);
    QTRY_COMPARE(QColor(step2->PicPreview->picture().pixel(image.width() / 2, 2)), QColor(Qt::red));
    QVERIFY(QColor(step2->PicPreview->picture().pixel(image.width() / 2, image.height() / 2))
                    .green()
            > 150);
    m_wizard->frm3()->TxtPic->clear();
    m_wizard->showStep(2);
    QTRY_COMPARE(QColor(step2->PicPreview->picture().pixel(image.width() / 2, 2)),
                 QColor(Qt::black));

    // Typing changes it; the latest request wins.
    QTest::keyClick(step2->Text2, Qt::Key_Backspace);
    QTest::keyClick(step2->Text2, Qt::Key_Backspace);
    QTRY_COMPARE(step2->PicPreview->toolTip(), QStringLiteral("400 × 4 像素"));
    QTest::keyClicks(step2->Text2, QStringLiteral("00"));
    QTRY_COMPARE(step2->PicPreview->toolTip(), QStringLiteral("400 × 400 像素"));
    // Mode 5 at 50 %: the picture alone at half its size.
    QTest::mouseClick(step2->OpSYT[4], Qt::LeftButton);
    QTRY_COMPARE(step2->PicPreview->toolTip(), QStringLiteral("150 × 100 像素"));
    image = step2->PicPreview->picture();
    QCOMPARE(image.width() * 2, image.height() * 3);

    step2->setPreviewSource(QString());
    QTRY_VERIFY(step2->PicPreview->picture().isNull());
    QVERIFY(!step2->PicPreview->note().isEmpty());
}

void TestStep2::summaryCopiesTheShownCaption()
{
    store(Keys::kFitMode, QStringLiteral("4"));
    store(Keys::kScalePercent, QStringLiteral("80"));
    Frm2 *step2 = showStep2();
    QTest::mouseClick(step2->Command1, Qt::LeftButton);
    QCOMPARE(m_wizard->visibleStep(), 3);
    QVERIFY2(m_wizard->frm3()->lbl12->text().contains(percentCaption(80)),
             qPrintable(m_wizard->frm3()->lbl12->text()));

    m_wizard->showStep(2);
    step2->HScroll1->setValue(150);
    QTest::mouseClick(step2->Command1, Qt::LeftButton);
    QVERIFY(m_wizard->frm3()->lbl12->text().contains(
            QStringLiteral("5.原图按 1.5 倍（允许5%-5倍）进行（缩）放，不变形，无白边")));
    QCOMPARE(stored(Keys::kScalePercent), QStringLiteral("150"));
}

void TestStep2::desktopFontDialogDoesNotBlock()
{
    DesktopServices desktop;
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    std::optional<std::optional<FontChoice>> answer;
    desktop.chooseFont(nullptr, FontChoice{font, Qt::black},
                       [&answer](std::optional<FontChoice> chosen) { answer = chosen; });
    QVERIFY(!answer); // returned before anyone answered
    FontColourDialog *dialog = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<FontColourDialog *>(top); found && found->isVisible())
            dialog = found;
    QVERIFY(dialog);
    QVERIFY(!dialog->isModal());
    dialog->sizeBox->setValue(16);
    dialog->accept();
    QVERIFY(answer && *answer);
    QCOMPARE((*answer)->font.pointSizeF(), 16.0);
    QCOMPARE((*answer)->font.family(), QStringLiteral("宋体"));
}

QTEST_MAIN(TestStep2)
#include "tst_gui_step2.moc"
