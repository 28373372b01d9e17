#pragma once

// Switches the container's process-wide runtime registration for one test and
// puts it back on (its default) when the test ends, however it ends.

#include <Hypodermic/Hypodermic.h>

namespace TestSupport {

class ScopedRuntimeRegistration
{
public:
    explicit ScopedRuntimeRegistration(bool enabled) { Hypodermic::Behavior::configureRuntimeRegistration(enabled); }
    ~ScopedRuntimeRegistration() { Hypodermic::Behavior::configureRuntimeRegistration(true); }

    ScopedRuntimeRegistration(const ScopedRuntimeRegistration&) = delete;
    ScopedRuntimeRegistration& operator=(const ScopedRuntimeRegistration&) = delete;
};

} // namespace TestSupport
