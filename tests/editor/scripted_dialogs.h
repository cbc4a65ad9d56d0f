// Dialogs answered from a script, recording what was shown.
#pragma once

#include <QStringList>
#include <deque>
#include <functional>

#include "editor/dialogs.h"

namespace lintrel::testing {

class ScriptedDialogs : public Dialogs {
public:
    std::deque<bool> yesNoAnswers;       // next answers to ask and askYesNoCancel; No when empty
    int dismissals = 0;                  // the next questions closed without an answer (Cancel where offered)
    std::deque<CommandAnswer> commandAnswers;          // Don't run when empty
    std::deque<ChangedFileAnswer> changedFileAnswers;  // Cancel when empty
    std::deque<QString> openAnswers;     // next chosen files; cancel when empty
    std::deque<QString> saveAnswers;
    std::deque<QString> itemAnswers;     // next chosen items; cancel when empty
    QList<QStringList> itemsOffered;     // the lists chooseItem showed
    std::deque<DiskChangeAnswer> diskChangeAnswers;      // Keep mine when empty
    std::deque<QString> textAnswers;     // next texts typed and accepted; cancel when empty

    QStringList questions, errors, informations, messages;
    QStringList openStartFolders, saveStartFolders, saveProposedNames;
    QStringList commandsAsked;
    int changedFileQuestions = 0;
    QStringList diskChanges;             // texts of the questions about a file changed on disk
    QStringList textQuestions;           // labels of the text questions
    QList<int> progress;  // every percent shown; -1 where the progress window went away
    std::function<void()> whileMessageShown;  // runs while a plain message box would be open
    std::function<void()> whileInformationShown;
    QStringList texts;                   // shown in the scrollable text window
    std::function<void()> whileTextShown;
    QStringList progresses;              // texts of the progress windows
    qint64 cancelProgressAt = -1;        // Cancel is pressed once this much is done; never when negative

    Answer ask(QWidget*, const QString& text) override {
        questions << text;
        if (dismissals > 0) {
            --dismissals;
            return Answer::Dismissed;
        }
        if (yesNoAnswers.empty()) return Answer::No;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer ? Answer::Yes : Answer::No;
    }
    void showError(QWidget*, const QString& text) override { errors << text; }
    void showInformation(QWidget*, const QString& text) override {
        informations << text;
        if (whileInformationShown) whileInformationShown();
    }
    void showMessage(QWidget*, const QString& text) override {
        messages << text;
        if (whileMessageShown) whileMessageShown();
    }
    QString chooseOpenFile(QWidget*, const QString& startFolder, const QString&) override {
        openStartFolders << startFolder;
        return next(openAnswers);
    }
    QString chooseSaveFile(QWidget*, const QString& startFolder, const QString& proposedName, const QString&,
                           const QString&) override {
        saveStartFolders << startFolder;
        saveProposedNames << proposedName;
        return next(saveAnswers);
    }

    void showText(QWidget*, const QString&, const QString& text) override {
        texts << text;
        if (whileTextShown) whileTextShown();
    }
    std::unique_ptr<Progress> showProgress(QWidget*, const QString& text, std::function<void()> cancel) override {
        progresses << text;
        return std::make_unique<ScriptedProgress>(cancelProgressAt, std::move(cancel), progress);
    }

    struct ScriptedProgress : Progress {
        ScriptedProgress(qint64 at, std::function<void()> cancel, QList<int>& shown)
            : at(at), cancel(std::move(cancel)), shown(shown) {}
        ~ScriptedProgress() override { shown << -1; }
        void update(qint64 done, qint64 total) override {
            shown << (total > 0 ? int(done * 100 / total) : 0);
            if (at < 0 || done < at) return;
            at = -1;
            cancel();
        }
        qint64 at;
        std::function<void()> cancel;
        QList<int>& shown;
    };

    Answer askYesNoCancel(QWidget*, const QString& text) override {
        questions << text;
        if (dismissals > 0) {
            --dismissals;
            return Answer::Cancel;
        }
        if (yesNoAnswers.empty()) return Answer::No;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer ? Answer::Yes : Answer::No;
    }
    CommandAnswer askToRunCommand(QWidget*, const QString& command) override {
        commandsAsked << command;
        return next(commandAnswers, CommandAnswer{});
    }
    QString chooseItem(QWidget*, const QString& text, const QStringList& items) override {
        questions << text;
        itemsOffered << items;
        return next(itemAnswers);
    }
    ChangedFileAnswer askAboutChangedFile(QWidget*) override {
        ++changedFileQuestions;
        return next(changedFileAnswers, ChangedFileAnswer::Cancel);
    }

    DiskChangeAnswer askAboutDiskChange(QWidget*, const QString& text) override {
        diskChanges << text;
        return next(diskChangeAnswers, DiskChangeAnswer::Keep);
    }
    std::optional<QString> askText(QWidget*, const QString&, const QString& label, const QString&) override {
        textQuestions << label;
        if (textAnswers.empty()) return std::nullopt;
        return next(textAnswers);
    }

private:
    template <typename T>
    static T next(std::deque<T>& answers, T whenEmpty) {
        if (answers.empty()) return whenEmpty;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
    static QString next(std::deque<QString>& answers) {
        if (answers.empty()) return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace lintrel::testing
