// Every message box and file chooser of the program goes through a Prompter, so that widget
// tests answer them from a script and never block on a modal box.
#pragma once

#include <QString>
#include <QStringList>

namespace velacor::widgets {

class Prompter {
  public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompter() = default;
    // A box with an OK button.
    virtual void Inform(const QString& title, const QString& text) = 0;
    // A box with an OK button and the exclamation icon.
    virtual void Warn(const QString& title, const QString& text) = 0;
    // Yes/No; true for Yes.
    virtual bool AskYesNo(const QString& title, const QString& text) = 0;
    virtual Answer AskYesNoCancel(const QString& title, const QString& text) = 0;
    // An existing file to open; empty when the operator cancels. `filter` as Qt writes it,
    // e.g. "Firmware Binary Files (*.bin)".
    virtual QString ChooseOpenFile(const QString& title, const QString& filter) = 0;
    virtual QStringList ChooseOpenFiles(const QString& title, const QString& filter) = 0;
    // A file to save to; `defaultSuffix` is added when the name typed has none.
    virtual QString ChooseSaveFile(const QString& title, const QString& filter,
                                   const QString& defaultSuffix, const QString& suggestedName) = 0;
};

}  // namespace velacor::widgets
