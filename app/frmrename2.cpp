#include "app/frmrename2.h"

#include "app/objectnames.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace Pw {

FrmRename2::FrmRename2(const QStringList &lines, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmRename2"));
    setWindowTitle(tr("文件批量改名"));
    setWindowModality(Qt::ApplicationModal);

    List1 = named(new QListWidget(this), "List1");
    List1->addItems(lines);
    List1->setMinimumSize(List1->fontMetrics().averageCharWidth() * 70,
                          List1->fontMetrics().height() * 20);
    Command1 = named(new QPushButton(tr("确定(&O)"), this), "Command1");
    Command1->setDefault(true);
    // Cancel renames nothing, as the close box.
    Command2 = named(new QPushButton(tr("取消"), this), "Command2");
    lblgai = named(new QLabel(QStringLiteral("0"), this), "lblgai");
    lblgai->hide();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List1);
    layout->addLayout(buttons);
    connect(Command1, &QPushButton::clicked, this, &FrmRename2::accept);
    connect(Command2, &QPushButton::clicked, this, &FrmRename2::reject);
}

bool FrmRename2::confirmed() const
{
    return lblgai->text() == u"1";
}

void FrmRename2::accept()
{
    answer(true);
}

void FrmRename2::reject()
{
    answer(false);
}

void FrmRename2::closeEvent(QCloseEvent *event)
{
    event->ignore();
    answer(false);
}

void FrmRename2::answer(bool confirmed)
{
    if (!isVisible())
        return;
    lblgai->setText(confirmed ? QStringLiteral("1") : QStringLiteral("0"));
    hide();
    emit answered(confirmed);
}

} // namespace Pw
