#pragma once

#include "Container.h"
#include "RegistrationDescriptor.h"
#include "detail/Autowiring.h"
#include "detail/Registration.h"

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace Hypodermic
{
class ContainerBuilder
{
public:
    // Transient unless singleInstance() is chained; the constructor is chosen at compile time.
    template <class T>
    RegistrationDescriptor<T>& registerType()
    {
        static_assert(!std::is_abstract<T>::value, "Hypodermic: an abstract type cannot be built");
        return Describe<T>(detail::MakeAutowiredRegistration<T, ComponentContext>());
    }

    template <class T>
    RegistrationDescriptor<T>& registerInstance(const std::shared_ptr<T>& instance)
    {
        return Describe<T>(detail::MakeRegistration<T>(
            [instance](ComponentContext&, const detail::Registration&) -> detail::AnyPtr { return instance; }));
    }

    // The factory is called as std::shared_ptr<T>(ComponentContext&) at every resolve.
    template <class TFactory>
    auto& registerInstanceFactory(TFactory factory)
    {
        using Made = typename std::invoke_result_t<TFactory&, ComponentContext&>::element_type;
        return Describe<Made>(detail::MakeRegistration<Made>(
            [factory = std::move(factory)](ComponentContext& context, const detail::Registration&) mutable
            -> detail::AnyPtr { return factory(context); }));
    }

    // How a host takes a library's registrations in: after its own, so the library's win.
    void addRegistrations(const ContainerBuilder& other)
    {
        m_registrations.insert(m_registrations.end(), other.m_registrations.begin(), other.m_registrations.end());
    }

    std::shared_ptr<Container> build() const
    {
        std::shared_ptr<Container> container(new Container());
        // Weak: a container that owned itself would never be freed.
        const std::weak_ptr<Container> self = container;
        container->Add(detail::MakeRegistration<Container>(
            [self](ComponentContext&, const detail::Registration&) -> detail::AnyPtr { return self.lock(); }));
        // Copies, so that single instances belong to one container and later fluent calls on
        // this builder do not change containers already built.
        for (const auto& registration : m_registrations)
            container->Add(std::make_shared<const detail::Registration>(*registration));
        return container;
    }

private:
    template <class T>
    RegistrationDescriptor<T>& Describe(std::shared_ptr<detail::Registration> registration)
    {
        m_registrations.push_back(registration);
        auto descriptor = std::make_shared<RegistrationDescriptor<T>>(std::move(registration));
        m_descriptors.push_back(descriptor);
        return *descriptor;
    }

    std::vector<std::shared_ptr<detail::Registration>> m_registrations;
    // The descriptors handed out by reference live as long as the builder.
    std::vector<std::shared_ptr<void>> m_descriptors;
};

} // namespace Hypodermic
