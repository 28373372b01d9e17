#include "AppServices.h"

#include <QCoreApplication>
#include <QDir>

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

} // namespace Tavrix::App
