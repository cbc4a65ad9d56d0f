// Dialogs answered from a script, recording what was shown.
#pragma once

#include <QStringList>
#include <deque>
#include <functional>

#include "editor/dialogs.h"

namespace lintrel::testing {

class ScriptedDialogs : public Dialogs {
public:
    std::deque<bool> yesNoAnswers;       // next answers to ask; No when empty
    int dismissals = 0;                  // the next questions closed without an answer
    std::deque<QString> openAnswers;     // next chosen files; cancel when empty
    std::deque<QString> saveAnswers;

    QStringList questions, errors, informations, messages;
    QStringList openStartFolders, saveStartFolders, saveProposedNames;
    std::function<void()> whileMessageShown;  // runs while a plain message box would be open
    std::function<void()> whileInformationShown;

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

private:
    static QString next(std::deque<QString>& answers) {
        if (answers.empty()) return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace lintrel::testing
