// --trace: every exchange written as text, one line per report.
//   > CC FF LL P0 P1 ...   request: command, format, length, then `length` payload bytes
//   < SS P0 P1 ...         answer: status, then the payload up to its last non-zero byte
//   < link N               the exchange failed with LinkStatus N
#pragma once

#include <ostream>
#include <string>

#include "link/transactor.h"

namespace velacor::cli {

std::string FormatRequestLine(const link::HidReport& request);
std::string FormatAnswerLine(const link::HidReport& answer);

class TracingTransactor final : public link::Transactor {
  public:
    TracingTransactor(link::Transactor& inner, std::ostream* trace)
        : m_inner(inner), m_trace(trace) {}
    int Transact(link::HidReport& report) override;

  private:
    link::Transactor& m_inner;
    std::ostream* m_trace;  // nullptr: tracing off
};

}  // namespace velacor::cli
