// The upgrade dialog: chooses the image, writes it into the sensor on a worker thread, shows
// the progress and the outcome, and guards Cancel.
#pragma once

#include <QDialog>

#include <cstdint>

#include "connection/upgrade.h"
#include "protocol/upgrade_records.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace velacor::widgets {
class Prompter;
}

namespace velacor::connection::ui {

class UpgradeDialog final : public QDialog {
    Q_OBJECT
  public:
    // `mode` is the sensor's identity mode: 1 (bootloader) takes a firmware image, 2 (firmware)
    // a bootloader image; any other mode ends the dialog at once.
    UpgradeDialog(link::Transactor& link, widgets::Prompter& prompter, std::uint32_t mode,
                  QWidget* parent = nullptr);

    // Asks, chooses the file, and runs the upgrade to its end. Returns when the dialog ends.
    void Run();

    QString StatusText() const;
    QPushButton* CancelButton() const { return m_cancel; }
    bool UpgradeRunning() const { return m_worker.Running(); }

  private:
    void OnProgress(std::uint32_t bytes);
    void OnDone(UpgradeResult result);
    void OnCancel();
    void reject() override;  // Escape and the window's close button act as Cancel

    link::Transactor& m_link;
    widgets::Prompter& m_prompter;
    std::uint32_t m_mode;
    std::uint32_t m_imageBase = protocol::FIRMWARE_IMAGE_BASE;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_started = false;
    UpgradeWorker m_worker;  // last: stopped before the widgets it reports to go
};

}  // namespace velacor::connection::ui
