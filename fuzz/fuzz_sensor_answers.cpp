// A sensor that answers every request with whatever bytes the fuzzer chooses: each wrapper and
// fallback must cope, whatever status and payload come back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/link_status.h"
#include "protocol/chemistry_commands.h"
#include "protocol/device_type.h"
#include "protocol/identity_commands.h"
#include "protocol/optics_commands.h"
#include "protocol/sensor_control.h"
#include "protocol/settings_commands.h"

namespace {

using namespace velacor;

// Each exchange takes the next 1 + 123 bytes of input: a first byte that picks the link result
// and the status, then the payload.
class FuzzedSensor final : public link::Transactor {
  public:
    explicit FuzzedSensor(std::span<const std::uint8_t> input) : m_input(input) {}
    int Transact(link::HidReport& report) override {
        if (m_input.empty())
            return link::LINK_TIMEOUT;
        const std::uint8_t head = m_input[0];
        m_input = m_input.subspan(1);
        if ((head & 0xC0) == 0xC0)
            return link::LINK_BUSY;
        report[protocol::STATUS_OFFSET] = static_cast<std::uint8_t>(head & 0x0F);
        const std::size_t n = std::min<std::size_t>(m_input.size(), protocol::MAX_PAYLOAD);
        std::fill(report.begin() + protocol::PAYLOAD_OFFSET, report.end(), 0);
        std::copy_n(m_input.begin(), n, report.begin() + protocol::PAYLOAD_OFFSET);
        m_input = m_input.subspan(n);
        return link::LINK_OK;
    }

  private:
    std::span<const std::uint8_t> m_input;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedSensor sensor({data, size});
    protocol::DeviceInfo info;
    (void)protocol::ReadDeviceInfo(sensor, info);
    (void)protocol::WriteDeviceInfo(sensor, info);
    protocol::SensorIdentity identity;
    (void)protocol::ReadIdentity(sensor, identity);
    (void)protocol::DeviceTypeName(identity.deviceType);
    protocol::FirmwareVersionText version;
    (void)protocol::ReadFirmwareVersion(sensor, version);
    (void)version.Text();
    for (std::uint8_t type = 0; type <= 10; ++type) {
        protocol::NutrientProcessing nutrient;
        (void)protocol::ReadProcessing(sensor, type, nutrient);
        (void)protocol::WriteProcessing(sensor, type, nutrient);
    }
    (void)protocol::StartOptics(sensor, protocol::OpticsStart{});
    protocol::ThermistorConfig thermistor;
    (void)protocol::ReadThermistor(sensor, 1, thermistor);
    (void)protocol::StartSensor(sensor, 3);
    (void)protocol::StopSensor(sensor);
    return 0;
}
