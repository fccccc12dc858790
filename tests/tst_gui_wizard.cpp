#include "app/frm1.h"
#include "app/frm2.h"
#include "app/frm3.h"
#include "app/wizard.h"
#include "settings/inistore.h"
#include "tests/support/fakeguiservices.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Pw;

// The hand-over between the three steps and the closing rules that do not depend on one step.
class TestWizard : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        SetDefaultSettingsFile(m_dir.filePath(QStringLiteral("Set.ini")));
    }
    void cleanup() { SetDefaultSettingsFile(QString()); }

    void stepsHandOverAndKeepOneVisible()
    {
        PwTest::FakeGuiServices services;
        Wizard wizard(services);
        wizard.start();
        QCOMPARE(wizard.visibleStep(), 1);
        QCOMPARE(wizard.frm1()->windowTitle(),
                 QStringLiteral("Pixwright(Ver %1)").arg(QStringLiteral(PIXWRIGHT_VERSION)));

        wizard.showStep(2);
        QCOMPARE(wizard.visibleStep(), 2);
        QVERIFY(!wizard.frm1()->isVisible());

        auto *skip = wizard.frm2()->findChild<QPushButton *>(QStringLiteral("Command4"));
        QVERIFY(skip);
        QTest::mouseClick(skip, Qt::LeftButton);
        QCOMPARE(wizard.visibleStep(), 3);
        QVERIFY(wizard.renameOnlyMode());
        QVERIFY(!wizard.frm2()->isVisible());

        auto *back = wizard.frm3()->findChild<QPushButton *>(QStringLiteral("Command2"));
        QVERIFY(back);
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(wizard.visibleStep(), 2);
    }

    void closingStepOneEndsTheProgram()
    {
        PwTest::FakeGuiServices services;
        Wizard wizard(services);
        QSignalSpy ended(&wizard, &Wizard::ended);
        wizard.start();
        QVERIFY(wizard.frm1()->close());
        QCOMPARE(ended.count(), 1);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestWizard)
#include "tst_gui_wizard.moc"
