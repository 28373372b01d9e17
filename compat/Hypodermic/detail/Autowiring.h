#pragma once

#include "Registration.h"

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

// Autowiring: which constructor to call and how its parameters are filled. Templated on the
// context type only so that this header need not see the container's definition.
namespace Hypodermic::detail
{
constexpr std::size_t MaxAutowiredParameters = 20;

// Passed for every constructor parameter; converts to whichever std::shared_ptr<X> the
// parameter asks for by resolving X. Overload resolution therefore picks the constructor and
// tells us X, without any registration of the constructor's signature.
template <class TContext>
class DependencyArgument
{
public:
    DependencyArgument(TContext& context, const Registration& registration)
        : m_context(&context), m_registration(&registration)
    {
    }

    template <class TDependency>
    operator std::shared_ptr<TDependency>() const
    {
        const auto& overrides = m_registration->dependencyOverrides;
        const auto substitute = overrides.find(typeid(TDependency));
        if (substitute != overrides.end())
            return std::static_pointer_cast<TDependency>(substitute->second(*m_context));
        return m_context->template resolve<TDependency>();
    }

private:
    TContext* m_context;
    const Registration* m_registration;
};

template <std::size_t, class TArgument>
struct Repeat
{
    using Type = TArgument;
};

template <class T, class TArgument, std::size_t... I>
constexpr bool IsConstructibleFromN(std::index_sequence<I...>)
{
    return std::is_constructible<T, typename Repeat<I, TArgument>::Type...>::value;
}

template <class T, class TArgument, std::size_t N>
constexpr int ShortestArity()
{
    if constexpr (N > MaxAutowiredParameters)
        return -1;
    else if constexpr (IsConstructibleFromN<T, TArgument>(std::make_index_sequence<N>()))
        return static_cast<int>(N);
    else
        return ShortestArity<T, TArgument, N + 1>();
}

// 0 for the default constructor (always preferred), N for the shortest constructor whose N
// parameters are all shared pointers, -1 when T cannot be built by the container.
template <class T, class TContext>
constexpr int AutowiredArity()
{
    if constexpr (!std::is_class<T>::value || std::is_abstract<T>::value)
        return -1;
    else if constexpr (std::is_default_constructible<T>::value)
        return 0;
    else
        return ShortestArity<T, DependencyArgument<TContext>, 1>();
}

template <class T, class TContext>
constexpr bool CanAutowire()
{
    return AutowiredArity<T, TContext>() >= 0;
}

template <class T, class TContext, std::size_t... I>
std::shared_ptr<T> ConstructWith(TContext& context, const Registration& registration, std::index_sequence<I...>)
{
    // Braces resolve the parameters left to right here; the original goes right to left, so
    // nobody may rely on the order.
    return std::shared_ptr<T>(
        new T{typename Repeat<I, DependencyArgument<TContext>>::Type(context, registration)...});
}

template <class T, class TContext>
std::shared_ptr<Registration> MakeAutowiredRegistration()
{
    constexpr int arity = AutowiredArity<T, TContext>();
    static_assert(arity >= 0,
                  "Hypodermic: the type needs a default constructor or one whose 1 to 20 parameters "
                  "are all std::shared_ptr (by value or const reference)");
    return MakeRegistration<T>(
        []([[maybe_unused]] TContext& context, [[maybe_unused]] const Registration& registration) -> AnyPtr {
            if constexpr (arity == 0)
                return std::make_shared<T>();
            else
                return ConstructWith<T>(context, registration, std::make_index_sequence<arity>());
        });
}

} // namespace Hypodermic::detail
