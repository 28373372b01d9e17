#include "AppServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QUrlQuery>

#include <mutex>

namespace Tavrix::App {

namespace {
std::mutex g_resourcesMutex;
ioPath g_resources;
} // namespace

ioPath GetPathToResources()
{
    {
        std::lock_guard<std::mutex> lock(g_resourcesMutex);
        if (!g_resources.empty())
            return g_resources;
    }
    const QByteArray fromEnvironment = qgetenv("TAVRIX_RESOURCES_DIR");
    if (!fromEnvironment.isEmpty())
        return ioPath(fromEnvironment.toStdString());
    // Installed layout: <prefix>/bin/app and <prefix>/share/RQServiceYouTube/resources.
    const QString appDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString installed = QDir(appDir).absoluteFilePath(QStringLiteral("../share/RQServiceYouTube/resources"));
    if (QDir(installed).exists())
        return ioPath(QDir::cleanPath(installed).toStdString());
    return ioPath(QDir(appDir).absoluteFilePath(QStringLiteral("resources")).toStdString());
}

void SetPathToResources(const ioPath& folder)
{
    std::lock_guard<std::mutex> lock(g_resourcesMutex);
    g_resources = folder;
}

struct CustomizationManager::Impl
{
    std::string productName;
    std::string tagBrand;
    std::string tagKind;
    std::string companyName;
};

CustomizationManager::CustomizationManager(const std::string& productName, const std::string& tagBrand,
                                           const std::string& tagKind, const std::string& companyName)
    : m_impl(std::make_unique<Impl>(Impl{productName, tagBrand, tagKind, companyName}))
{
}

CustomizationManager::~CustomizationManager() = default;

std::string CustomizationManager::GetProductName() const
{
    return m_impl->productName;
}

std::string CustomizationManager::GetTagBrand() const
{
    return m_impl->tagBrand;
}

std::string CustomizationManager::GetTagKind() const
{
    return m_impl->tagKind;
}

std::string CustomizationManager::GetCompanyName() const
{
    return m_impl->companyName;
}

struct LookAndFeelManager::Impl
{
    std::string chosenLocale;
};

LookAndFeelManager::LookAndFeelManager()
    : m_impl(std::make_unique<Impl>())
{
}

LookAndFeelManager::~LookAndFeelManager() = default;

std::string LookAndFeelManager::GetLocale() const
{
    if (!m_impl->chosenLocale.empty())
        return m_impl->chosenLocale;
    return QLocale().name().toStdString();
}

void LookAndFeelManager::SetLocale(const std::string& locale)
{
    m_impl->chosenLocale = locale;
}

struct LinksGenerator::Impl
{
    QUrl homePage;
};

LinksGenerator::LinksGenerator(const std::string& homePage)
    : m_impl(std::make_unique<Impl>(Impl{QUrl(QString::fromStdString(homePage))}))
{
}

LinksGenerator::~LinksGenerator() = default;

std::string LinksGenerator::GetLink(LinkId id) const
{
    QUrl link = m_impl->homePage;
    switch (id)
    {
    case HOMEPAGE_URL:
        break;
    case HOMEPAGE_URL_youtube_description:
    {
        // Tells the site's statistics that the visitor came from a shared video.
        QUrlQuery query(link);
        query.addQueryItem(QStringLiteral("utm_source"), QStringLiteral("youtube"));
        query.addQueryItem(QStringLiteral("utm_medium"), QStringLiteral("video_description"));
        link.setQuery(query);
        break;
    }
    default:
        return std::string();
    }
    return link.toString(QUrl::FullyEncoded).toStdString();
}

} // namespace Tavrix::App
