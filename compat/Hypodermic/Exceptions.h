#pragma once

#include <exception>
#include <string>
#include <utility>

namespace Hypodermic
{
namespace detail
{
// The container's exceptions carry a finished message; what() points into it.
class MessageException : public std::exception
{
public:
    explicit MessageException(std::string message) : m_message(std::move(message)) {}

    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};
} // namespace detail

// A type that is neither registered nor buildable on the fly.
class ResolutionException : public detail::MessageException
{
public:
    explicit ResolutionException(std::string message) : MessageException(std::move(message)) {}
};

// Building a component failed; the reason (a missing dependency further down, or what its
// constructor threw) is kept in the text so the whole chain reads in one message.
class ActivationException : public detail::MessageException
{
public:
    ActivationException(const std::string& typeName, const std::string& reason)
        : MessageException("Unable to activate instance of type " + typeName + ": " + reason)
    {
    }
};

} // namespace Hypodermic
