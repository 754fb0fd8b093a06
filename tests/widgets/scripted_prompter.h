// A Prompter for widget tests: records every box and answers from a script, never blocking.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

#include "widgets/prompter.h"

namespace velacor::widgets::testing {

struct Shown {
    QString title;
    QString text;
    bool operator==(const Shown&) const = default;
};

class ScriptedPrompter final : public Prompter {
  public:
    std::vector<Shown> informed;
    std::vector<Shown> asked;
    std::vector<Shown> warned;
    std::deque<bool> yesNoAnswers;               // missing answers are No
    std::deque<QString> filesToOpen;             // missing answers are a cancelled chooser
    std::deque<QStringList> fileListsToOpen;     // for several files; else one of filesToOpen
    std::function<void(const Shown&)> onInform;  // runs after an Inform is recorded

    void Inform(const QString& title, const QString& text) override {
        informed.push_back({title, text});
        if (onInform)
            onInform(informed.back());
    }
    void Warn(const QString& title, const QString& text) override {
        warned.push_back({title, text});
    }
    bool AskYesNo(const QString& title, const QString& text) override {
        asked.push_back({title, text});
        return Next(yesNoAnswers, false);
    }
    Answer AskYesNoCancel(const QString& title, const QString& text) override {
        asked.push_back({title, text});
        return Next(yesNoAnswers, false) ? Answer::Yes : Answer::Cancel;
    }
    QString ChooseOpenFile(const QString& title, const QString&) override {
        asked.push_back({title, {}});
        return Next(filesToOpen, QString());
    }
    QStringList ChooseOpenFiles(const QString& title, const QString& filter) override {
        if (!fileListsToOpen.empty()) {
            asked.push_back({title, {}});
            return Next(fileListsToOpen, QStringList());
        }
        const QString one = ChooseOpenFile(title, filter);
        return one.isEmpty() ? QStringList{} : QStringList{one};
    }
    QString ChooseSaveFile(const QString& title, const QString&, const QString&,
                           const QString&) override {
        asked.push_back({title, {}});
        return Next(filesToOpen, QString());
    }

  private:
    template <class T>
    static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

}  // namespace velacor::widgets::testing
