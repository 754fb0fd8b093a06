#include "connection/upgrade.h"

#include <cstdio>
#include <memory>

#include "base/str_printf.h"
#include "protocol/frame.h"
#include "protocol/identity_records.h"
#include "protocol/upgrade_commands.h"

namespace velacor::connection {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Reads the next up to 64 bytes into the block. The bytes past the count keep what an earlier
// read left there; the sensor ignores them.
void ReadNext(std::FILE* file, protocol::UpgradeBlock& block) {
    block.byteCount =
        static_cast<std::uint32_t>(std::fread(block.data.data(), 1, block.data.size(), file));
}

}  // namespace

std::optional<std::uint32_t> UpgradeImageBase(std::uint32_t identityMode) {
    switch (identityMode) {
        case protocol::IDENTITY_MODE_BOOTLOADER:
            return protocol::FIRMWARE_IMAGE_BASE;
        case protocol::IDENTITY_MODE_FIRMWARE:
            return protocol::BOOTLOADER_IMAGE_BASE;
        default:
            return std::nullopt;
    }
}

UpgradeResult RunUpgrade(link::Transactor& link, const std::string& imagePath,
                         std::uint32_t imageBase, const std::function<bool()>& cancel,
                         std::function<void(std::uint32_t bytes)> onProgress) {
    const File file(std::fopen(imagePath.c_str(), "rb"));
    if (!file)
        return {UPGRADE_FAILED, 0};

    protocol::UpgradeBlock block;
    block.imageBase = imageBase;
    block.blockIndex = 0;
    std::uint32_t bytes = 0;  // the last number reported to onProgress
    ReadNext(file.get(), block);
    while (block.byteCount > 0) {
        if (cancel && cancel())
            return {UPGRADE_FAILED, bytes};
        const int status = protocol::SendUpgradeBlock(link, block);
        if (status != protocol::STATUS_OK)
            return {status, bytes};
        bytes = block.blockIndex * static_cast<std::uint32_t>(block.data.size()) + block.byteCount;
        if (onProgress)
            onProgress(bytes);
        ++block.blockIndex;
        ReadNext(file.get(), block);
    }
    // A read error also ends the loop. The image is then incomplete, and the final block would
    // have the sensor take it as whole.
    if (std::ferror(file.get()))
        return {UPGRADE_FAILED, bytes};

    block.byteCount = 0;
    // Every data block went through, but until the sensor acknowledges the final block with 0
    // it has not taken the image: anything else fails with 1, a lost answer included.
    const bool taken = protocol::SendUpgradeBlock(link, block) == protocol::STATUS_OK;
    return {taken ? protocol::STATUS_OK : UPGRADE_FAILED, bytes};
}

bool UpgradeWorker::Start(link::Transactor& link, std::string imagePath, std::uint32_t imageBase,
                          ProgressFn onProgress, DoneFn onDone) {
    if (Running())
        return false;
    m_finished = false;
    return m_worker.Start([this, &link, path = std::move(imagePath), imageBase,
                           progress = std::move(onProgress), done = std::move(onDone)] {
        const UpgradeResult result = RunUpgrade(
            link, path, imageBase, [this] { return m_worker.StopRequested(); }, progress);
        if (done)
            done(result);
        m_finished = true;
    });
}

std::string UpgradeProgressText(std::uint32_t bytes) {
    return base::StrPrintf("Upgrade running, %u bytes written", bytes);
}

std::string UpgradeDoneText(const UpgradeResult& result) {
    if (result.status == protocol::STATUS_OK)
        return base::StrPrintf("Upgrade complete, %u bytes written", result.bytes);
    return base::StrPrintf("Upgrade failed after %u bytes (%d)", result.bytes, result.status);
}

}  // namespace velacor::connection
