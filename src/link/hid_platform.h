// The seam below the link: what the link needs from the operating system's HID support.
// HidrawPlatform serves real sensors, emulator::VirtualHidPlatform virtual ones.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/hid_report.h"

namespace velacor::link {

struct HidInterfaceInfo {
    // Hardware-id text in the form "HID\VID_xxxx&PID_yyyy&REV_zzzz" (hex, upper case); the
    // link matches sensors by substring, see HardwareIdMatches.
    std::string hardwareId;
    std::string path;
};

// One open device. Write and Read block; CancelIo may be called from another thread while they
// do. The I/O thread is the only caller of Write, Read and ResetCancel.
class HidDevice {
  public:
    virtual ~HidDevice() = default;  // closes the device

    // Sends one report (byte 0 is the report id). False on failure or cancel.
    virtual bool Write(const HidReport& report) = 0;
    // Waits for one input report; byte 0 receives its report id (0 for unnumbered reports).
    // False on failure or cancel.
    virtual bool Read(HidReport& report) = 0;
    // Ends the Write or Read blocked now, or else the next one to start.
    virtual void CancelIo() = 0;
    // Forgets a cancel that no I/O has consumed, before a new exchange begins.
    virtual void ResetCancel() = 0;
    // Discards input reports that arrived and were not read.
    virtual void FlushInput() = 0;
    // Whether the device declares an input report with id 1; nullopt when its capabilities
    // can't be read.
    virtual std::optional<bool> HasInputReportId1() = 0;
};

class HidPlatform {
  public:
    virtual ~HidPlatform() = default;
    // Every present HID interface, in the platform's enumeration order.
    virtual std::vector<HidInterfaceInfo> ListInterfaces() = 0;
    // Opens the interface for exclusive reading and writing; nullptr when that fails (absent,
    // no permission, or already open anywhere).
    virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
};

}  // namespace velacor::link
