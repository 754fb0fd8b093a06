// One request/answer exchange with a sensor. SensorLink is the real one; tests script answers
// through their own implementations, and the command-line tracer wraps another.
#pragma once

#include "link/hid_report.h"

namespace velacor::link {

class Transactor {
  public:
    virtual ~Transactor() = default;
    // On LINK_OK `report` holds the answer; on any other result it is unchanged.
    virtual int Transact(HidReport& report) = 0;
};

}  // namespace velacor::link
