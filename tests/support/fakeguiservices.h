#pragma once

#include "app/guiservices.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>

namespace PwTest {

// Stands in for the desktop's dialogs: every message is recorded, every question and chooser is
// answered from what the test queued (No, cancel and "no choice" when nothing was queued).
class FakeGuiServices : public Pw::GuiServices
{
public:
    struct Message
    {
        QString kind; // "warn", "inform" or "ask"
        QString title;
        QString text;
    };

    struct FileRequest
    {
        QString folder; // where the chooser starts
        QString title;
        QString filter;
    };

    QList<Message> messages;
    std::deque<bool> answers;        // for askYesNo
    std::deque<QString> folders;     // for chooseFolder
    std::deque<QString> files;       // for chooseFile
    QStringList folderPrompts;       // what chooseFolder was asked with
    QStringList folderStarts;        // where chooseFolder was asked to open
    QList<FileRequest> fileRequests; // what chooseFile was asked with
    QStringList openedFolders;       // openFolder calls
    bool fileManager = true;         // what openFolder answers
    int fontDialogsOpened = 0;       // chooseFont calls
    // The pending font dialog: the test calls it with a choice, or with nothing for Cancel.
    std::function<void(std::optional<Pw::FontChoice>)> pendingFont;
    Pw::FontChoice fontShown; // the initial choice the dialog was opened with

    void warn(QWidget *, const QString &title, const QString &text) override
    {
        messages.append({QStringLiteral("warn"), title, text});
    }
    void inform(QWidget *, const QString &title, const QString &text) override
    {
        messages.append({QStringLiteral("inform"), title, text});
    }
    bool askYesNo(QWidget *, const QString &title, const QString &text) override
    {
        messages.append({QStringLiteral("ask"), title, text});
        return take(answers, false);
    }
    QString chooseFolder(QWidget *, const QString &start, const QString &prompt) override
    {
        folderPrompts << prompt;
        folderStarts << start;
        return take(folders, QString());
    }
    QString chooseFile(QWidget *, const QString &folder, const QString &title,
                       const QString &filter) override
    {
        fileRequests.append({folder, title, filter});
        return take(files, QString());
    }
    void chooseFont(QWidget *, const Pw::FontChoice &initial,
                    std::function<void(std::optional<Pw::FontChoice>)> done) override
    {
        ++fontDialogsOpened;
        fontShown = initial;
        pendingFont = std::move(done);
    }
    bool openFolder(const QString &folder) override
    {
        openedFolders << folder;
        return fileManager;
    }

    // The texts of the recorded messages of one kind, in order.
    QStringList texts(const QString &kind) const
    {
        QStringList out;
        for (const Message &m : messages)
            if (m.kind == kind)
                out << m.text;
        return out;
    }

private:
    template<typename T>
    static T take(std::deque<T> &queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace PwTest
