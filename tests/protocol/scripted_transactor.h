// A Transactor for protocol tests: records every request and answers from a script, without
// threads or devices.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <utility>
#include <vector>

#include "base/byte_io.h"
#include "link/link_status.h"
#include "link/transactor.h"
#include "protocol/frame.h"

namespace velacor::protocol::testing {

struct ScriptedAnswer {
    int linkStatus = link::LINK_OK;     // non-zero: the exchange fails, nothing is answered
    std::uint8_t status = 0;            // answer byte 4
    std::vector<std::uint8_t> payload;  // answer bytes 6...
};

inline ScriptedAnswer Answer(std::uint8_t status, std::vector<std::uint8_t> payload = {}) {
    return ScriptedAnswer{link::LINK_OK, status, std::move(payload)};
}
inline ScriptedAnswer LinkFailure(int linkStatus = link::LINK_TIMEOUT) {
    return ScriptedAnswer{linkStatus, 0, {}};
}

// `count` reproducible, well-mixed bytes; different seeds give different sequences.
inline std::vector<std::uint8_t> PatternBytes(std::size_t count, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t x = seed * 2654435761u + 0x9e3779b9u;
    for (auto& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return bytes;
}

class ScriptedTransactor final : public link::Transactor {
  public:
    ScriptedTransactor() = default;
    ScriptedTransactor(std::initializer_list<ScriptedAnswer> answers) : m_answers(answers) {}

    void Then(ScriptedAnswer answer) {
        std::lock_guard lock(m_mutex);
        m_answers.push_back(std::move(answer));
    }

    // With no scripted answer left, the exchange fails as if the sensor were silent.
    int Transact(link::HidReport& report) override {
        std::lock_guard lock(m_mutex);  // a poller's thread may be the caller
        m_requests.push_back(report);
        if (m_answers.empty())
            return link::LINK_TIMEOUT;
        ScriptedAnswer answer = std::move(m_answers.front());
        m_answers.pop_front();
        if (answer.linkStatus != link::LINK_OK)
            return answer.linkStatus;
        link::HidReport reply{};
        reply[link::SEQUENCE_OFFSET] = report[link::SEQUENCE_OFFSET];
        reply[STATUS_OFFSET] = answer.status;
        for (std::size_t i = 0; i < answer.payload.size() && i < MAX_PAYLOAD; ++i) {
            reply[PAYLOAD_OFFSET + i] = answer.payload[i];
        }
        report = reply;
        return link::LINK_OK;
    }

    const std::vector<link::HidReport>& Requests() const { return m_requests; }
    std::size_t Remaining() const {
        std::lock_guard lock(m_mutex);
        return m_answers.size();
    }

    // Command, format, length and payload of request i, as the wire trace shows them.
    std::uint8_t Command(std::size_t i) const { return m_requests.at(i)[COMMAND_OFFSET]; }
    std::uint8_t Format(std::size_t i) const { return m_requests.at(i)[FORMAT_OFFSET]; }
    std::uint8_t Length(std::size_t i) const { return m_requests.at(i)[LENGTH_OFFSET]; }
    std::vector<std::uint8_t> Payload(std::size_t i) const {
        const auto& r = m_requests.at(i);
        return {r.begin() + PAYLOAD_OFFSET, r.begin() + PAYLOAD_OFFSET + r[LENGTH_OFFSET]};
    }

  private:
    mutable std::mutex m_mutex;
    std::deque<ScriptedAnswer> m_answers;
    std::vector<link::HidReport> m_requests;
};

template <class R>
std::vector<std::uint8_t> Encoded(const R& record) {
    const auto bytes = base::Encode(record);
    return {bytes.begin(), bytes.end()};
}

// Request i went out as `command` in `format` with exactly `payload`.
inline void ExpectRequest(const ScriptedTransactor& t, std::size_t i, std::uint8_t command,
                          const std::vector<std::uint8_t>& payload,
                          std::uint8_t format = FORMAT_1) {
    EXPECT_EQ(t.Command(i), command) << "request " << i;
    EXPECT_EQ(t.Format(i), format) << "request " << i;
    EXPECT_EQ(std::size_t{t.Length(i)}, payload.size()) << "request " << i;
    EXPECT_EQ(t.Payload(i), payload) << "request " << i;
}

}  // namespace velacor::protocol::testing
