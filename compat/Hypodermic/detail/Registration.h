#pragma once

#include "TypeName.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <utility>

namespace Hypodermic
{
class ComponentContext;

namespace detail
{
// Objects travel type-erased as a pointer to the exact type they were made as; each name a
// registration answers to has an upcast from that type, so multiple inheritance stays correct.
using AnyPtr = std::shared_ptr<void>;
using Upcast = std::function<AnyPtr(const AnyPtr&)>;
using Activator = std::function<AnyPtr(ComponentContext&, const struct Registration&)>;

struct Registration
{
    Registration(std::string name, Activator activator)
        : activatedName(std::move(name)), activate(std::move(activator))
    {
    }

    // The first explicit name replaces the implicit one: after as<Base>() the type itself
    // is only reachable through asSelf().
    void ExposeAs(std::type_index type, Upcast upcast)
    {
        if (!exposedExplicitly)
            exposedAs.clear();
        exposedExplicitly = true;
        exposedAs[type] = std::move(upcast);
    }

    std::string activatedName;
    Activator activate;
    std::map<std::type_index, Upcast> exposedAs;
    bool exposedExplicitly = false;
    bool singleInstance = false;
    // with<TDependency, TProvided>(): a constructor parameter of type TDependency is made by these.
    std::map<std::type_index, std::function<AnyPtr(ComponentContext&)>> dependencyOverrides;
};

template <class T>
std::shared_ptr<Registration> MakeRegistration(Activator activator)
{
    auto registration = std::make_shared<Registration>(TypeName<T>(), std::move(activator));
    registration->exposedAs.emplace(typeid(T), [](const AnyPtr& instance) { return instance; });
    return registration;
}

} // namespace detail
} // namespace Hypodermic
