// Writing a firmware or bootloader image into a sensor's flash, 64 bytes per block, and the
// worker thread the upgrade dialog runs it on.
//
// Which image a sensor takes depends on what it runs: in its bootloader (identity mode 1) a
// firmware image at FIRMWARE_IMAGE_BASE, in its firmware (mode 2) a bootloader image at
// BOOTLOADER_IMAGE_BASE. The image file is sent unchanged, whatever its size or content.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/worker.h"
#include "link/transactor.h"

namespace velacor::connection {

// Result of an upgrade that failed in this program rather than in the sensor: the image could
// not be read, the sensor did not acknowledge the final block with 0, or it was cancelled.
inline constexpr int UPGRADE_FAILED = 1;

struct UpgradeResult {
    int status = 0;           // 0, UPGRADE_FAILED, 14 (transport failure) or the sensor's status
    std::uint32_t bytes = 0;  // bytes acknowledged by the sensor
};

// The image base for a sensor's identity mode; nullopt for a mode that can't be upgraded.
std::optional<std::uint32_t> UpgradeImageBase(std::uint32_t identityMode);

// Sends the file at `imagePath` as blocks 0, 1, ... of up to 64 bytes each, then a final block
// with byteCount 0. `cancel` is read before every data block (true stops the upgrade); `onProgress`
// is called after every acknowledged data block with the bytes written so far. Stops at the first
// failure. The result is 0 only when the sensor acknowledged the final block with status 0. Runs on
// the calling thread; `onProgress` may be empty.
UpgradeResult RunUpgrade(link::Transactor& link, const std::string& imagePath,
                         std::uint32_t imageBase, const std::function<bool()>& cancel,
                         std::function<void(std::uint32_t bytes)> onProgress);

// Runs one RunUpgrade on its own thread. The callbacks are called on that thread, onProgress
// after each block and onDone exactly once at the end (also after a cancel); a GUI queues them
// to its own thread. They must not wait for the thread that calls Stop or the destructor.
//
// Threads: Start, Cancel, Stop and the destructor are called from one thread (the dialog's).
// The link must outlive the worker, or Stop must have returned before it goes; the worker is
// then the only sender of requests on it.
class UpgradeWorker {
  public:
    using ProgressFn = std::function<void(std::uint32_t bytes)>;
    using DoneFn = std::function<void(UpgradeResult result)>;

    UpgradeWorker() = default;
    ~UpgradeWorker() { Stop(); }
    UpgradeWorker(const UpgradeWorker&) = delete;
    UpgradeWorker& operator=(const UpgradeWorker&) = delete;

    // Starts the thread. False when a thread could not be started or an upgrade started
    // before has not yet reported its result.
    [[nodiscard]] bool Start(link::Transactor& link, std::string imagePath, std::uint32_t imageBase,
                             ProgressFn onProgress, DoneFn onDone);
    // Asks the upgrade to stop before its next block; returns at once.
    void Cancel() { m_worker.RequestStop(); }
    // Cancels and waits for the thread to end, at most one block exchange. Safe to repeat.
    void Stop() { m_worker.Stop(); }
    // Whether a started upgrade has not yet reported its result.
    bool Running() const { return m_worker.Running() && !m_finished; }

  private:
    std::atomic<bool> m_finished{false};
    base::Worker m_worker;  // last: the thread ends before the flag it writes goes
};

// Status texts of the upgrade dialog.
std::string UpgradeProgressText(std::uint32_t bytes);  // "Upgrade running, %u bytes written"
// "Upgrade complete, %u bytes written" for status 0, else "Upgrade failed after %u bytes (%d)".
std::string UpgradeDoneText(const UpgradeResult& result);

inline constexpr const char* UPGRADE_TITLE = "Upgrade";
inline constexpr const char* UPGRADE_FIRMWARE_TITLE = "Upgrade Firmware";
inline constexpr const char* UPGRADE_BOOTLOADER_TITLE = "Upgrade Bootloader";
inline constexpr const char* UPGRADE_BOOTLOADER_QUESTION =
    "A bootloader upgrade must be allowed to complete or the sensor will need to be returned to "
    "Brenmoor Sensors for repair. Are you sure you want to do this?";
inline constexpr const char* FIRMWARE_FILE_FILTER = "Firmware Binary Files (*.bin)";
inline constexpr const char* FIRMWARE_FILE_TITLE = "Firmware Binary File";
inline constexpr const char* BOOTLOADER_FILE_FILTER = "Bootloader Binary Files (*.bin)";
inline constexpr const char* BOOTLOADER_FILE_TITLE = "Bootloader Binary File";
inline constexpr const char* IMAGE_FILE_EXTENSION = "bin";
inline constexpr const char* UPGRADE_START_FAILED_TEXT = "Failed to start upgrade";
inline constexpr const char* CANCEL_TITLE = "Cancel";
inline constexpr const char* BOOTLOADER_CANCEL_REFUSED_TEXT =
    "You must let this operation complete or you will have to return the sensor to Brenmoor "
    "Sensors for repair.";
inline constexpr const char* FIRMWARE_CANCEL_QUESTION =
    "If you interrupt the upgrade now you will need to re-do it later to be able to use the "
    "sensor again.\nStop the upgrade now?";
inline constexpr const char* UPGRADE_STOPPING_TEXT = "Stopping...";

}  // namespace velacor::connection
