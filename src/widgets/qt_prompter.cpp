#include "widgets/qt_prompter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace velacor::widgets {

void QtPrompter::Inform(const QString& title, const QString& text) {
    QMessageBox::information(m_parent, title, text);
}

void QtPrompter::Warn(const QString& title, const QString& text) {
    QMessageBox::warning(m_parent, title, text);
}

bool QtPrompter::AskYesNo(const QString& title, const QString& text) {
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

Prompter::Answer QtPrompter::AskYesNoCancel(const QString& title, const QString& text) {
    const auto button = QMessageBox::question(
        m_parent, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Cancel);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

QString QtPrompter::ChooseOpenFile(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, title, QString(), filter);
}

QStringList QtPrompter::ChooseOpenFiles(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileNames(m_parent, title, QString(), filter);
}

QString QtPrompter::ChooseSaveFile(const QString& title, const QString& filter,
                                   const QString& defaultSuffix, const QString& suggestedName) {
    QFileDialog dialog(m_parent, title, suggestedName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

}  // namespace velacor::widgets
