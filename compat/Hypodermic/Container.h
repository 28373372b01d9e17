#pragma once

#include "Behavior.h"
#include "Exceptions.h"
#include "detail/Autowiring.h"
#include "detail/Registration.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <vector>

namespace Hypodermic
{
class Container;
class ContainerBuilder;

// Made for each resolve call on a container and handed to factories. It remembers which
// registrations are being built right now, so that a dependency cycle is reported instead of
// recursing until the stack runs out.
class ComponentContext
{
public:
    ComponentContext(const ComponentContext&) = delete;
    ComponentContext& operator=(const ComponentContext&) = delete;

    template <class T>
    std::shared_ptr<T> resolve();

private:
    friend class Container;

    explicit ComponentContext(Container& container) : m_container(container) {}

    detail::AnyPtr InstanceOf(const detail::Registration& registration);
    detail::AnyPtr Activate(const detail::Registration& registration);

    Container& m_container;
    std::vector<const detail::Registration*> m_activating;
};

class Container
{
public:
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    template <class T>
    std::shared_ptr<T> resolve()
    {
        ComponentContext context(*this);
        return context.resolve<T>();
    }

private:
    friend class ComponentContext;
    friend class ContainerBuilder;

    struct Entry
    {
        std::shared_ptr<const detail::Registration> registration;
        detail::Upcast upcast;
    };

    Container() = default;

    // Later registrations replace earlier ones under every name they share.
    void Add(const std::shared_ptr<const detail::Registration>& registration)
    {
        for (const auto& [type, upcast] : registration->exposedAs)
            m_entries.insert_or_assign(type, Entry{registration, upcast});
    }

    // A concrete type nobody registered is registered here on first use (transient, autowired),
    // unless runtime registration is switched off.
    template <class T>
    const Entry* Find()
    {
        const auto found = m_entries.find(typeid(T));
        if (found != m_entries.end())
            return &found->second;
        if constexpr (detail::CanAutowire<T, ComponentContext>())
        {
            if (!Behavior::isRuntimeRegistrationEnabled())
                return nullptr;
            Add(detail::MakeAutowiredRegistration<T, ComponentContext>());
            return &m_entries.at(typeid(T));
        }
        return nullptr;
    }

    std::map<std::type_index, Entry> m_entries;
    std::map<const detail::Registration*, detail::AnyPtr> m_singleInstances;
    // Recursive: building one object resolves its dependencies through the same lock.
    std::recursive_mutex m_mutex;
};

template <class T>
std::shared_ptr<T> ComponentContext::resolve()
{
    const std::lock_guard<std::recursive_mutex> lock(m_container.m_mutex);
    const Container::Entry* entry = m_container.Find<T>();
    if (!entry)
        RQ_HYPODERMIC_THROW(ResolutionException, "Unable to resolve " + detail::TypeName<T>());
    // Keep the registration alive on our side: the entry may be replaced while we build.
    const auto registration = entry->registration;
    const auto upcast = entry->upcast;
    return std::static_pointer_cast<T>(upcast(InstanceOf(*registration)));
}

inline detail::AnyPtr ComponentContext::InstanceOf(const detail::Registration& registration)
{
    if (!registration.singleInstance)
        return Activate(registration);
    const auto made = m_container.m_singleInstances.find(&registration);
    if (made != m_container.m_singleInstances.end())
        return made->second;
    // Stored only once built: a failed construction is tried again by the next resolve.
    auto instance = Activate(registration);
    m_container.m_singleInstances.emplace(&registration, instance);
    return instance;
}

// A failure is wrapped once, by the level that builds the failing part's direct consumer; the
// levels above pass the wrapped exception on unchanged.
inline detail::AnyPtr ComponentContext::Activate(const detail::Registration& registration)
{
    const std::string& name = registration.activatedName;
    if (std::find(m_activating.begin(), m_activating.end(), &registration) != m_activating.end())
        RQ_HYPODERMIC_THROW(InstanceAlreadyActivatingException, "Already activating " + name);

    struct Activating
    {
        std::vector<const detail::Registration*>& stack;
        ~Activating() { stack.pop_back(); }
    };
    m_activating.push_back(&registration);
    const Activating activating{m_activating};

    detail::AnyPtr instance;
    try
    {
        instance = registration.activate(*this, registration);
    }
    catch (const ActivationException&)
    {
        throw;
    }
    catch (const CircularDependencyException&)
    {
        throw;
    }
    catch (const InstanceAlreadyActivatingException& error)
    {
        RQ_HYPODERMIC_THROW(CircularDependencyException,
                            "Circular dependency detected while activating " + name + ": " + error.what());
    }
    catch (const std::exception& error)
    {
        RQ_HYPODERMIC_THROW(ActivationException, "Unable to activate instance of type " + name + ": " + error.what());
    }
    // An empty instance is never handed out, whether registered so or returned by a factory.
    if (!instance)
        RQ_HYPODERMIC_THROW(ActivationException, "Unable to activate instance of type " + name);
    return instance;
}

} // namespace Hypodermic
