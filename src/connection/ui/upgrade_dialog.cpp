#include "connection/ui/upgrade_dialog.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/post.h"
#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::connection::ui {

UpgradeDialog::UpgradeDialog(link::Transactor& link, widgets::Prompter& prompter,
                             std::uint32_t mode, QWidget* parent)
    : QDialog(parent), m_link(link), m_prompter(prompter), m_mode(mode) {
    setModal(true);
    setMinimumWidth(380);
    m_status = new QLabel;
    m_progress = new QProgressBar;
    m_progress->setTextVisible(false);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_cancel, &QPushButton::clicked, this, &UpgradeDialog::OnCancel);
}

void UpgradeDialog::Run() {
    QString imagePath;
    if (m_mode == 2) {
        if (!m_prompter.AskYesNo(QString::fromUtf8(UPGRADE_BOOTLOADER_TITLE),
                                 QString::fromUtf8(UPGRADE_BOOTLOADER_QUESTION))) {
            return;
        }
        setWindowTitle(QString::fromUtf8(UPGRADE_BOOTLOADER_TITLE));
        imagePath = m_prompter.ChooseOpenFile(QString::fromUtf8(BOOTLOADER_FILE_TITLE),
                                              QString::fromUtf8(BOOTLOADER_FILE_FILTER));
        m_imageBase = protocol::BOOTLOADER_IMAGE_BASE;
    } else if (m_mode == 1) {
        setWindowTitle(QString::fromUtf8(UPGRADE_FIRMWARE_TITLE));
        imagePath = m_prompter.ChooseOpenFile(QString::fromUtf8(FIRMWARE_FILE_TITLE),
                                              QString::fromUtf8(FIRMWARE_FILE_FILTER));
        m_imageBase = protocol::FIRMWARE_IMAGE_BASE;
    } else {
        return;
    }
    if (imagePath.isEmpty())
        return;

    m_progress->setRange(0, static_cast<int>(std::max<qint64>(1, QFileInfo(imagePath).size())));
    m_progress->setValue(0);
    m_started = m_worker.Start(
        m_link, imagePath.toStdString(), m_imageBase,
        [this](std::uint32_t bytes) {
            widgets::PostTo(this, [this, bytes] { OnProgress(bytes); });
        },
        [this](UpgradeResult result) {
            widgets::PostTo(this, [this, result] { OnDone(result); });
        });
    if (!m_started) {
        m_prompter.Inform(QString::fromUtf8(UPGRADE_TITLE),
                          QString::fromUtf8(UPGRADE_START_FAILED_TEXT));
        return;
    }
    exec();
    m_worker.Stop();
}

QString UpgradeDialog::StatusText() const {
    return m_status->text();
}

void UpgradeDialog::OnProgress(std::uint32_t bytes) {
    m_status->setText(widgets::FromUtf8(UpgradeProgressText(bytes)));
    m_progress->setValue(static_cast<int>(
        std::min<std::uint32_t>(bytes, static_cast<std::uint32_t>(m_progress->maximum()))));
}

void UpgradeDialog::OnDone(UpgradeResult result) {
    const QString text = widgets::FromUtf8(UpgradeDoneText(result));
    m_status->setText(text);
    m_prompter.Inform(QString::fromUtf8(UPGRADE_TITLE), text);
    QDialog::accept();
}

void UpgradeDialog::OnCancel() {
    if (!m_worker.Running()) {
        QDialog::reject();
        return;
    }
    if (m_imageBase == protocol::BOOTLOADER_IMAGE_BASE) {
        // A half-written bootloader leaves the sensor unable to start: never stop it.
        m_prompter.Inform(QString::fromUtf8(CANCEL_TITLE),
                          QString::fromUtf8(BOOTLOADER_CANCEL_REFUSED_TEXT));
        return;
    }
    if (!m_prompter.AskYesNo(QString::fromUtf8(CANCEL_TITLE),
                             QString::fromUtf8(FIRMWARE_CANCEL_QUESTION))) {
        return;
    }
    m_status->setText(QString::fromUtf8(UPGRADE_STOPPING_TEXT));
    m_worker.Cancel();
    QDialog::reject();
}

void UpgradeDialog::reject() {
    OnCancel();
}

}  // namespace velacor::connection::ui
