#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

#if defined(__GNUG__)
#include <cxxabi.h>
#endif

namespace Hypodermic::detail
{
// Messages name a type as its source spells it, with "." for "::".
inline std::string PrettyTypeName(const std::type_info& type)
{
    std::string name = type.name();
#if defined(__GNUG__)
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    if (status == 0 && demangled)
        name = demangled.get();
#endif
    for (auto at = name.find("::"); at != std::string::npos; at = name.find("::", at + 1))
        name.replace(at, 2, ".");
    return name;
}

template <class T>
std::string TypeName()
{
    return PrettyTypeName(typeid(T));
}

} // namespace Hypodermic::detail
