#pragma once

#include "Container.h"
#include "detail/Registration.h"

#include <memory>
#include <type_traits>
#include <utility>

namespace Hypodermic
{
// Fluent view on one registration. The substituted dependencies travel in the type so that
// substituting the same dependency twice is caught by the compiler.
template <class T, class... TSubstituted>
class RegistrationDescriptor
{
public:
    explicit RegistrationDescriptor(std::shared_ptr<detail::Registration> registration)
        : m_registration(std::move(registration))
    {
    }

    template <class TBase>
    RegistrationDescriptor as()
    {
        static_assert(std::is_base_of<TBase, T>::value, "Hypodermic: as<TBase>() needs a base of the registered type");
        m_registration->ExposeAs(typeid(TBase), [](const detail::AnyPtr& instance) -> detail::AnyPtr {
            return std::static_pointer_cast<TBase>(std::static_pointer_cast<T>(instance));
        });
        return *this;
    }

    RegistrationDescriptor asSelf()
    {
        m_registration->ExposeAs(typeid(T), [](const detail::AnyPtr& instance) { return instance; });
        return *this;
    }

    RegistrationDescriptor singleInstance()
    {
        m_registration->singleInstance = true;
        return *this;
    }

    template <class TDependency, class TProvided>
    RegistrationDescriptor<T, TSubstituted..., TDependency> with()
    {
        static_assert(std::is_base_of<TDependency, TProvided>::value,
                      "Hypodermic: with<TDependency, TProvided>() needs TProvided derived from TDependency");
        static_assert(!(std::is_same<TDependency, TSubstituted>::value || ...),
                      "Hypodermic: a dependency may be substituted only once");
        m_registration->dependencyOverrides[typeid(TDependency)] = [](ComponentContext& context) -> detail::AnyPtr {
            return std::static_pointer_cast<TDependency>(context.resolve<TProvided>());
        };
        return RegistrationDescriptor<T, TSubstituted..., TDependency>(m_registration);
    }

private:
    std::shared_ptr<detail::Registration> m_registration;
};

} // namespace Hypodermic
