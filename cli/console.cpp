#include "cli/console.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace Pw {

namespace {

void write(std::FILE *stream, QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

volatile std::sig_atomic_t g_stopPressed = 0;
// Written by the handler, so made before it is installed: no allocation inside a signal.
char g_note[512];
size_t g_noteLength = 0;

extern "C" void onInterrupt(int)
{
    g_stopPressed = 1;
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, g_note, g_noteLength);
}

} // namespace

Console::Console(const QString &command)
    : m_command(command)
{}

void Console::out(const QString &text) const
{
    write(stdout, text);
}

void Console::err(const QString &text) const
{
    std::fflush(stdout); // what was said before stays before
    write(stderr, text);
}

void Console::warn(const QString &text) const
{
    err(QStringLiteral("pixwright %1: ").arg(m_command) + tr("注意：") + text + u'\n');
}

void Console::error(const QString &text) const
{
    err(QStringLiteral("pixwright %1: ").arg(m_command) + text + u'\n');
}

int Console::badArgument(const QString &subject, const QString &problem) const
{
    error(subject + QStringLiteral(": ") + problem);
    err(tr("用法见 pixwright %1 --help").arg(m_command) + u'\n');
    return 2;
}

CommandLine::CommandLine()
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_options << QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                    tr("显示此帮助"));
    m_parser.addOption(m_options.constFirst());
}

void CommandLine::addOptions(const QList<QCommandLineOption> &options)
{
    for (const QCommandLineOption &option : options) {
        m_parser.addOption(option);
        m_options << option;
    }
}

bool CommandLine::parse(const QStringList &args, QString *subject, QString *problem)
{
    const bool parsed = m_parser.parse(QStringList{QStringLiteral("pixwright")} + args);
    // QCommandLineParser's own message names the option without its dashes; say it as typed.
    const auto typed = [](const QString &name) {
        return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    };
    const QStringList unknown = m_parser.unknownOptionNames();
    if (!parsed && !unknown.isEmpty()) {
        *subject = typed(unknown.constFirst());
        *problem = tr("未知的选项");
        return false;
    }
    // "--select --yes" forgot the name rather than naming a file "--yes" (that one can be
    // given as --select=--yes); the parser would take it as the value.
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &word = args.at(i);
        if (word == u"--")
            break;
        if (!word.startsWith(u'-') || word.size() < 2)
            continue;
        const QString bare = word.mid(word.startsWith(QStringLiteral("--")) ? 2 : 1);
        const QString name = bare.section(u'=', 0, 0);
        for (const QCommandLineOption &option : std::as_const(m_options)) {
            if (!option.names().contains(name))
                continue;
            const bool takesValue = !option.valueName().isEmpty();
            if (!takesValue && bare.contains(u'=')) {
                *subject = typed(name);
                *problem = tr("不接受值");
                return false;
            }
            if (takesValue && !bare.contains(u'=')
                && (i + 1 == args.size() || args.at(i + 1).startsWith(QStringLiteral("--")))) {
                *subject = typed(name);
                *problem = tr("缺少值");
                return false;
            }
            if (takesValue && !bare.contains(u'='))
                ++i; // its value, whatever it looks like
            break;
        }
    }
    if (parsed)
        return true;
    *subject = QStringLiteral("pixwright");
    *problem = m_parser.errorText();
    return false;
}

QString CommandLine::optionTable() const
{
    // A name longer than the column gets its description on the next line.
    constexpr qsizetype kColumn = 26;
    QString table;
    for (const QCommandLineOption &option : m_options) {
        QStringList names;
        for (const QString &name : option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString left = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            left += u' ' + option.valueName();
        const QString indent(kColumn, u' ');
        left = left.size() < kColumn ? left.leftJustified(kColumn) : left + u'\n' + indent;
        QString description = option.description();
        description.replace(u'\n', u'\n' + indent);
        table += left + description + u'\n';
    }
    return table;
}

InterruptAsStop::InterruptAsStop()
{
    const QByteArray note = (u'\n' + tr("pixwright：处理完当前文件后停止（再按 Ctrl+C 立即退出）")
                             + u'\n')
                                    .toUtf8();
    g_noteLength = std::min(size_t(note.size()), sizeof g_note);
    std::memcpy(g_note, note.constData(), g_noteLength);
    g_stopPressed = 0;
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &m_previous);
    // SIGTERM (a session ending, `kill`) stops the same way: the file in hand is finished and
    // the report printed.
    sigaction(SIGTERM, &action, &m_previousTerminate);
}

InterruptAsStop::~InterruptAsStop()
{
    sigaction(SIGINT, &m_previous, nullptr);
    sigaction(SIGTERM, &m_previousTerminate, nullptr);
}

bool InterruptAsStop::pressed()
{
    return g_stopPressed != 0;
}

void InterruptAsStop::clear()
{
    g_stopPressed = 0;
}

CommandHost::CommandHost(const Console &console, bool showProgress)
    : m_console(console)
    , m_show(showProgress)
    , m_live(::isatty(STDERR_FILENO) == 1)
{}

CommandHost::~CommandHost()
{
    endLine();
}

void CommandHost::progress(int ordinal, int total, const QString &text)
{
    if (!m_show)
        return;
    if (!m_live) {
        m_console.err(text + u'\n');
        return;
    }
    const int width = 30;
    const int done = total > 0 ? width * std::min(ordinal, total) / total : width;
    const QString bar = QString(done, u'#') + QString(width - done, u'-');
    m_console.err(QStringLiteral("\r\033[K[%1] %2").arg(bar, text));
    m_open = true;
}

void CommandHost::endLine()
{
    if (m_open)
        m_console.err(QStringLiteral("\n"));
    m_open = false;
}

} // namespace Pw
