#pragma once

#include <atomic>

namespace Hypodermic
{
// Process-wide switches. The state lives in a function-local static of this header: a shared
// library that includes it with hidden visibility gets a copy of its own, so the container's
// headers must keep default visibility wherever a library and its host are to agree.
class Behavior
{
public:
    // Runtime registration builds a concrete type nobody registered (on by default).
    static void configureRuntimeRegistration(bool isEnabled) { RuntimeRegistration() = isEnabled; }
    static bool isRuntimeRegistrationEnabled() { return RuntimeRegistration(); }

private:
    static std::atomic<bool>& RuntimeRegistration()
    {
        static std::atomic<bool> enabled{true};
        return enabled;
    }
};

} // namespace Hypodermic
