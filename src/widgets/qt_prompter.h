// The Prompter of the running program: Qt's message boxes and file dialogs.
#pragma once

#include <QPointer>
#include <QWidget>

#include "widgets/prompter.h"

namespace velacor::widgets {

class QtPrompter final : public Prompter {
  public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Inform(const QString& title, const QString& text) override;
    void Warn(const QString& title, const QString& text) override;
    bool AskYesNo(const QString& title, const QString& text) override;
    Answer AskYesNoCancel(const QString& title, const QString& text) override;
    QString ChooseOpenFile(const QString& title, const QString& filter) override;
    QStringList ChooseOpenFiles(const QString& title, const QString& filter) override;
    QString ChooseSaveFile(const QString& title, const QString& filter,
                           const QString& defaultSuffix, const QString& suggestedName) override;

  private:
    QPointer<QWidget> m_parent;
};

}  // namespace velacor::widgets
