// The port that tells steady time: a monotonic clock for measuring gaps,
// which never jumps when the wall clock is set. Tests drive a fake one.
#pragma once

#include <chrono>

namespace qb {

using SteadyTime = std::chrono::steady_clock::time_point;

class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual SteadyTime Now() const = 0;
};

// The system's steady clock.
class SystemSteadyClock : public SteadyClock {
public:
    SteadyTime Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace qb
