#pragma once

#include <exception>
#include <string>
#include <utility>

namespace Hypodermic
{
// What every exception of the container offers: the message, the place that threw it, and a
// what() that reads "MESSAGE - Throw location: FUNCTION in FILE(LINE)". A wrapping exception's
// message ends with the wrapped one's what(), so each wrap adds one throw location.
template <class TException>
class ExceptionBase : public std::exception
{
public:
    explicit ExceptionBase(std::string message = std::string(), std::string function = std::string(),
                           std::string file = std::string(), int line = -1)
        : m_message(std::move(message)), m_function(std::move(function)), m_file(std::move(file)), m_line(line)
    {
        m_what = m_message;
        if (m_line != -1)
            m_what += " - Throw location: " + m_function + " in " + m_file + "(" + std::to_string(m_line) + ")";
    }

    const char* what() const noexcept override { return m_what.c_str(); }

    const std::string& message() const { return m_message; }
    const std::string& function() const { return m_function; }
    const std::string& file() const { return m_file; }
    int line() const { return m_line; }
    // Offered for compatibility and always empty: a wrapped exception's text is in message().
    const std::exception& innerException() const { return m_innerException; }

private:
    std::string m_message;
    std::string m_function;
    std::string m_file;
    int m_line;
    std::string m_what;
    std::exception m_innerException;
};

// A type that is neither registered nor buildable on the fly.
class ResolutionException : public ExceptionBase<ResolutionException>
{
public:
    using ExceptionBase::ExceptionBase;
};

// Building a component failed: one of its direct dependencies could not be resolved, its
// constructor threw, or it came out empty.
class ActivationException : public ExceptionBase<ActivationException>
{
public:
    using ExceptionBase::ExceptionBase;
};

// A component that, further down, needs itself.
class CircularDependencyException : public ExceptionBase<CircularDependencyException>
{
public:
    using ExceptionBase::ExceptionBase;
};

// Raised where a cycle closes; the level above turns it into a CircularDependencyException.
class InstanceAlreadyActivatingException : public ExceptionBase<InstanceAlreadyActivatingException>
{
public:
    using ExceptionBase::ExceptionBase;
};

} // namespace Hypodermic

#define RQ_HYPODERMIC_THROW(ExceptionType, text) throw ExceptionType((text), __FUNCTION__, __FILE__, __LINE__)
