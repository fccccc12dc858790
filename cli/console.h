#pragma once

#include "platform/runhost.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <csignal>

namespace Pw {

// How the commands talk to the terminal, the same way for all three: the report and listings on
// standard output; progress, questions, warnings and errors on standard error; every line ends
// in LF alone; a warning or error starts with "pixwright COMMAND: ".
class Console
{
    Q_DECLARE_TR_FUNCTIONS(Pw::Console)

public:
    explicit Console(const QString &command); // "run", "rename" or "info"

    QString command() const { return m_command; }
    // Text as given, CR LF turned into LF.
    void out(const QString &text) const;
    void err(const QString &text) const;
    // One line: "pixwright COMMAND: 注意：TEXT".
    void warn(const QString &text) const;
    // One line: "pixwright COMMAND: TEXT".
    void error(const QString &text) const;
    // "pixwright COMMAND: SUBJECT: PROBLEM" and a line pointing at --help; answers exit status 2.
    int badArgument(const QString &subject, const QString &problem) const;

private:
    QString m_command;
};

// A command's options, parsed by QCommandLineParser, with the messages of a failed parse naming
// the option as typed ("--width: 缺少值").
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(Pw::CommandLine)

public:
    CommandLine();
    // Adds the options; --help and -h are always there.
    void addOptions(const QList<QCommandLineOption> &options);
    // Parses the words after the command. On failure answers false and fills subject/problem.
    bool parse(const QStringList &args, QString *subject, QString *problem);

    bool isSet(const QString &name) const { return m_parser.isSet(name); }
    QString value(const QString &name) const { return m_parser.value(name); }
    QStringList values(const QString &name) const { return m_parser.values(name); }
    QStringList positional() const { return m_parser.positionalArguments(); }
    bool helpWanted() const { return m_parser.isSet(QStringLiteral("help")); }
    // The option table of --help: names, value, description, aligned.
    QString optionTable() const;

private:
    QCommandLineParser m_parser;
    QList<QCommandLineOption> m_options;
};

// Ctrl+C (or SIGTERM) as the stop button while it lives: the first press asks the run to stop after
// the file in hand (and says so on standard error), a second press ends the program the usual way.
class InterruptAsStop
{
    Q_DECLARE_TR_FUNCTIONS(Pw::InterruptAsStop)

public:
    InterruptAsStop();
    ~InterruptAsStop();
    InterruptAsStop(const InterruptAsStop &) = delete;
    InterruptAsStop &operator=(const InterruptAsStop &) = delete;

    static bool pressed();
    static void clear();

private:
    struct sigaction m_previous = {};
    struct sigaction m_previousTerminate = {};
};

// The command line as a run's host: progress on standard error (a bar redrawn in place on a
// terminal, one line per file otherwise), Ctrl+C as the stop press.
class CommandHost : public RunHost
{
public:
    explicit CommandHost(const Console &console, bool showProgress = true);
    ~CommandHost() override;

    void progress(int ordinal, int total, const QString &text) override;
    void yield() override {}
    bool stopRequested() const override { return InterruptAsStop::pressed(); }
    void clearStopRequest() override { InterruptAsStop::clear(); }
    // Ends a progress bar line, so that what follows starts on a line of its own.
    void endLine();

private:
    const Console &m_console;
    bool m_show = true;
    bool m_live = false;
    bool m_open = false;
};

} // namespace Pw
