#include "cli/toplevel.h"

#include "cli/console.h"

#include <QCoreApplication>

namespace Pw {

namespace {

// The translation context of the top level's texts.
struct TopLevel
{
    Q_DECLARE_TR_FUNCTIONS(Pw::TopLevel)
};

QString commandList()
{
    return TopLevel::tr("用法：pixwright [命令] [参数]\n"
                        "  run [FOLDER] [选项]      把 FOLDER 中的图片处理后存入桌面上的新文件夹\n"
                        "  rename [FOLDER] [...]    按命名规则就地给 FOLDER 中的图片改名\n"
                        "  info FILE...             显示图片中记录的数码相机信息\n"
                        "  --version                显示版本\n"
                        "  FOLDER | FILE...         在向导窗口中打开这个文件夹，或选中这些图片\n"
                        "没有命令时打开向导窗口。每个命令的详情见 pixwright 命令 --help。\n");
}

} // namespace

int PrintCommandList()
{
    Console(QStringLiteral("--help")).out(commandList());
    return 0;
}

int UnknownCommand(const QString &word)
{
    const Console console(word);
    console.err(TopLevel::tr("pixwright：没有“%1”这个命令").arg(word) + u'\n' + commandList());
    return 2;
}

int SayNoDisplayForWizard()
{
    Console(QString()).err(TopLevel::tr("pixwright：没有显示器，无法在向导窗口中打开所给的图片"
                                        "（可用 pixwright run FOLDER 处理）")
                           + u'\n');
    return 2;
}

void SayNoDisplay()
{
    Console(QString()).err(TopLevel::tr("pixwright：没有显示器，所以对演示图片运行批处理"
                                        "（详见 pixwright run --help）")
                           + u'\n');
}

} // namespace Pw
