#include "protocol/optics_commands.h"

#include <span>

namespace velacor::protocol {

int StartOptics(Transactor& link, const OpticsStart& request) {
    const auto bytes = base::Encode(request);
    HidReport answer{};
    const int status = Exchange(link, CMD_START_OPTICS, FORMAT_2, bytes, answer);
    if (status != STATUS_FORMAT_UNSUPPORTED)
        return status;
    return Exchange(link, CMD_START_OPTICS, FORMAT_1,
                    std::span(bytes).first(OpticsStart::FORMAT_1_SIZE), answer);
}

}  // namespace velacor::protocol
