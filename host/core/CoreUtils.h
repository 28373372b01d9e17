#pragma once

// Core utilities of the host: paths, the not-null holder, the host's exception,
// reference counting for intrusive pointers, observer lists, the instance
// registry and a few formatting and widget helpers.

#include <QString>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

class QWidget;

namespace Tavrix {

// The host's exception type; everything the host throws on purpose is one.
class Exception : public std::runtime_error
{
public:
    explicit Exception(const std::string& what);
};

// A file-system path held as UTF-8 bytes on every platform.
class ioPath
{
public:
    ioPath() = default;
    ioPath(const std::string& utf8);
    ioPath(const char* utf8);

    ioPath operator/(const ioPath& other) const;
    bool operator==(const ioPath& other) const;
    bool operator!=(const ioPath& other) const { return !(*this == other); }

    bool empty() const;
    // The file name without its last extension, as UTF-8.
    std::string stem() const;
    std::string filename() const;
    std::string extension() const;
    ioPath parent_path() const;
    bool exists() const;
    // Removes the file; false when nothing was removed.
    bool remove() const;
    std::string utf8string() const;

    const std::filesystem::path& native() const { return m_path; }
    static ioPath fromNative(const std::filesystem::path& path);

private:
    std::filesystem::path m_path;
};

std::ostream& operator<<(std::ostream& out, const ioPath& path);

// Holds a shared pointer that must never be empty: an empty one is refused
// at construction, so a class that keeps its services this way fails before
// doing any work.
template <class T>
class NotNull
{
public:
    template <class U>
    NotNull(const std::shared_ptr<U>& pointer) // NOLINT: implicit on purpose, like the pointer it holds
        : m_pointer(pointer)
    {
        if (!m_pointer)
            throw std::logic_error("NotNull can not initialized by null");
    }

    T* operator->() const { return m_pointer.get(); }
    T& operator*() const { return *m_pointer; }
    T* get() const { return m_pointer.get(); }
    const std::shared_ptr<T>& shared() const { return m_pointer; }
    operator const std::shared_ptr<T>&() const { return m_pointer; }

private:
    std::shared_ptr<T> m_pointer;
};

namespace Core {

// Base of the host's reference-counted objects held by boost::intrusive_ptr.
class RefCounted
{
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) : m_count(0) {}
    RefCounted& operator=(const RefCounted&) { return *this; }

protected:
    virtual ~RefCounted() = default;

private:
    friend void intrusive_ptr_add_ref(const RefCounted* object);
    friend void intrusive_ptr_release(const RefCounted* object);
    mutable std::atomic<int> m_count{0};
};

inline void intrusive_ptr_add_ref(const RefCounted* object)
{
    object->m_count.fetch_add(1, std::memory_order_relaxed);
}

inline void intrusive_ptr_release(const RefCounted* object)
{
    if (object->m_count.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete object;
}

// Notifies the handlers on the caller's thread, in registration order.
struct SyncExecutePolicy
{
    template <class F>
    static void Execute(F&& call) { call(); }
};

// A list of observers. A handler may unregister itself, or register another,
// while it is being notified: notification runs over a snapshot.
template <class THandler, class TPolicy = SyncExecutePolicy>
class EventHandlerList
{
public:
    void RegisterEventHandler(THandler* handler)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (THandler* known : m_handlers)
            if (known == handler)
                return;
        m_handlers.push_back(handler);
    }

    void UnregisterEventHandler(THandler* handler)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_handlers.begin(); it != m_handlers.end(); ++it)
        {
            if (*it == handler)
            {
                m_handlers.erase(it);
                return;
            }
        }
    }

    template <class TMethod, class... TArgs>
    void Notify(TMethod method, const TArgs&... args)
    {
        std::vector<THandler*> snapshot;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            snapshot = m_handlers;
        }
        for (THandler* handler : snapshot)
        {
            if (!IsRegistered(handler))
                continue;
            TPolicy::Execute([&] { (handler->*method)(args...); });
        }
    }

    std::size_t Size() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_handlers.size();
    }

private:
    bool IsRegistered(THandler* handler) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (THandler* known : m_handlers)
            if (known == handler)
                return true;
        return false;
    }

    mutable std::mutex m_mutex;
    std::vector<THandler*> m_handlers;
};

} // namespace Core

namespace Util {

// Gives the widget a named style variant under a dynamic property and polishes
// it again, so style sheet rules such as QLabel[SubStyle="LoggedIn"] apply.
void ApplyWidgetStyle(QWidget* widget, const QString& variant, const char* property);

enum class SizeUnit
{
    Auto = 0,
    Bytes,
    KiloBytes,
    MegaBytes,
    GigaBytes,
};

enum class KiloSize
{
    Decimal = 1000,
    Binary = 1024,
};

// "1.5 MB" style text. precision -1 picks one that keeps about three
// significant digits; SizeUnit::Auto picks the largest unit that keeps the
// number at least 1.
QString FormatFileSize(std::uint64_t size, int precision, SizeUnit unit, KiloSize kilo);

} // namespace Util

namespace RQ {

// "hh:mm:ss", or "mm:ss" when under an hour; the flags add the milliseconds
// and force the hours.
QString msecsToString(int milliseconds, bool withMilliseconds, bool alwaysHours);

// Keeps pointers to the host's singletons under their demangled type names.
class InstanceRegistry
{
public:
    static InstanceRegistry* Instance();
    // Installs the registry that Instance() answers; null removes it.
    static void SetInstance(InstanceRegistry* registry);
    static std::string Demangle(const std::string& typeName);

    virtual ~InstanceRegistry();
    virtual void DoRegister(const std::string& name, void* instance);
    virtual void DoUnregister(const std::string& name, void* instance);
    void* Find(const std::string& name) const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<std::string, void*>> m_entries;
};

// Tells the user why a folder cannot be used. The default shows a warning
// message box under the parent; tests and hosts without one install their own.
using PathProblemPresenter = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
// An empty presenter restores the message box.
void SetPathProblemPresenter(PathProblemPresenter presenter);

// True when the folder exists, or could be created, and a file can really be
// written in it; otherwise tells the user why through the presenter and
// answers false.
bool CheckPathAndAnnoyUserIfInvalid(const QString& folder, QWidget* parent);

} // namespace RQ

} // namespace Tavrix
