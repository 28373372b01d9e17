#include "CoreUtils.h"

#include <QStyle>
#include <QVariant>
#include <QWidget>

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace Tavrix {

Exception::Exception(const std::string& what)
    : std::runtime_error(what)
{
}

ioPath::ioPath(const std::string& utf8)
    : m_path(std::filesystem::u8path(utf8))
{
}

ioPath::ioPath(const char* utf8)
    : ioPath(std::string(utf8 ? utf8 : ""))
{
}

ioPath ioPath::fromNative(const std::filesystem::path& path)
{
    ioPath result;
    result.m_path = path;
    return result;
}

ioPath ioPath::operator/(const ioPath& other) const
{
    return fromNative(m_path / other.m_path);
}

bool ioPath::operator==(const ioPath& other) const
{
    return m_path == other.m_path;
}

bool ioPath::empty() const
{
    return m_path.empty();
}

std::string ioPath::stem() const
{
    return m_path.stem().u8string();
}

std::string ioPath::filename() const
{
    return m_path.filename().u8string();
}

std::string ioPath::extension() const
{
    return m_path.extension().u8string();
}

ioPath ioPath::parent_path() const
{
    return fromNative(m_path.parent_path());
}

bool ioPath::exists() const
{
    std::error_code error;
    return !m_path.empty() && std::filesystem::exists(m_path, error);
}

bool ioPath::remove() const
{
    std::error_code error;
    return !m_path.empty() && std::filesystem::remove(m_path, error);
}

std::string ioPath::utf8string() const
{
    return m_path.u8string();
}

std::ostream& operator<<(std::ostream& out, const ioPath& path)
{
    return out << path.utf8string();
}

namespace Util {

void ApplyWidgetStyle(QWidget* widget, const QString& variant, const char* property)
{
    if (!widget || !property)
        return;
    widget->setProperty(property, variant);
    // A dynamic property does not re-run the style sheet by itself.
    QStyle* style = widget->style();
    style->unpolish(widget);
    style->polish(widget);
    widget->update();
}

QString FormatFileSize(std::uint64_t size, int precision, SizeUnit unit, KiloSize kilo)
{
    static const char* const names[] = {"B", "KB", "MB", "GB", "TB"};
    const double base = static_cast<double>(static_cast<int>(kilo));

    int power = 0;
    if (unit == SizeUnit::Auto)
    {
        double value = static_cast<double>(size);
        while (value >= base && power < 4)
        {
            value /= base;
            ++power;
        }
    }
    else
    {
        power = static_cast<int>(unit) - static_cast<int>(SizeUnit::Bytes);
    }

    const double value = static_cast<double>(size) / std::pow(base, power);
    if (power == 0)
        return QStringLiteral("%1 %2").arg(size).arg(QLatin1String(names[0]));

    int digits = precision;
    if (digits < 0)
        digits = value >= 100 ? 0 : (value >= 10 ? 1 : 2);
    return QStringLiteral("%1 %2").arg(value, 0, 'f', digits).arg(QLatin1String(names[power]));
}

} // namespace Util

namespace RQ {

QString msecsToString(int milliseconds, bool withMilliseconds, bool alwaysHours)
{
    const bool negative = milliseconds < 0;
    const qint64 total = negative ? -static_cast<qint64>(milliseconds) : milliseconds;
    const qint64 hours = total / 3600000;
    const qint64 minutes = (total / 60000) % 60;
    const qint64 seconds = (total / 1000) % 60;
    const qint64 millis = total % 1000;

    QString text;
    if (hours > 0 || alwaysHours)
        text = QStringLiteral("%1:").arg(hours, 2, 10, QLatin1Char('0'));
    text += QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(seconds, 2, 10, QLatin1Char('0'));
    if (withMilliseconds)
        text += QStringLiteral(".%1").arg(millis, 3, 10, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + text : text;
}

namespace {
std::atomic<InstanceRegistry*> g_registry{nullptr};
}

InstanceRegistry* InstanceRegistry::Instance()
{
    return g_registry.load();
}

void InstanceRegistry::SetInstance(InstanceRegistry* registry)
{
    g_registry.store(registry);
}

std::string InstanceRegistry::Demangle(const std::string& typeName)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(typeName.c_str(), nullptr, nullptr, &status);
    if (status != 0 || !readable)
        return typeName;
    std::string result(readable);
    std::free(readable);
    return result;
}

InstanceRegistry::~InstanceRegistry()
{
    InstanceRegistry* self = this;
    g_registry.compare_exchange_strong(self, nullptr);
}

void InstanceRegistry::DoRegister(const std::string& name, void* instance)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.emplace_back(name, instance);
}

void InstanceRegistry::DoUnregister(const std::string& name, void* instance)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = std::find(m_entries.begin(), m_entries.end(), std::make_pair(name, instance));
    if (it != m_entries.end())
        m_entries.erase(it);
}

void* InstanceRegistry::Find(const std::string& name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (it->first == name)
            return it->second;
    return nullptr;
}

} // namespace RQ
} // namespace Tavrix
