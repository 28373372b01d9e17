#include "UserSettings.h"

#include "AppServices.h"
#include "CoreUtils.h"
#include "SocialProtocol.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <glog/logging.h>

#include <utility>

namespace Tavrix::RQ {

namespace {
std::mutex g_factoryMutex;
SocialSettings::YouTubeProtocolFactory g_youTubeFactory;
} // namespace

SocialSettings::SocialSettings(const std::shared_ptr<IProductSettingsManager>& productSettings)
    : m_productSettings(NotNull<IProductSettingsManager>(productSettings).shared())
{
}

SocialSettings::~SocialSettings() = default;

std::shared_ptr<Social::YoutubeProtocol> SocialSettings::YouTubeProtocol()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_youTube)
    {
        YouTubeProtocolFactory factory;
        {
            std::lock_guard<std::mutex> factoryLock(g_factoryMutex);
            factory = g_youTubeFactory;
        }
        if (factory)
            m_youTube = factory(m_productSettings);
    }
    return m_youTube;
}

void SocialSettings::SetYouTubeProtocol(const std::shared_ptr<Social::YoutubeProtocol>& protocol)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_youTube = protocol;
}

const std::shared_ptr<IProductSettingsManager>& SocialSettings::ProductSettings() const
{
    return m_productSettings;
}

void SocialSettings::SetYouTubeProtocolFactory(YouTubeProtocolFactory factory)
{
    std::lock_guard<std::mutex> lock(g_factoryMutex);
    g_youTubeFactory = std::move(factory);
}

// ---------------------------------------------------------------------------

// QSettings is reentrant but not thread-safe, and the host's services are
// shared between threads.
struct SettingsFile::Impl
{
    template <class... Args>
    explicit Impl(Args&&... args)
        : settings(std::forward<Args>(args)...)
    {
        if (settings.status() == QSettings::FormatError)
            LOG(ERROR) << "Tavrix::RQ::SettingsFile::SettingsFile: The file is malformed, its values are ignored: "
                       << settings.fileName().toStdString();
    }

    mutable std::mutex mutex;
    QSettings settings;
};

SettingsFile::SettingsFile(const QString& organization, const QString& application)
    : m_impl(std::make_unique<Impl>(QSettings::IniFormat, QSettings::UserScope, organization, application))
{
}

SettingsFile::SettingsFile(const QString& iniFile)
    : m_impl(std::make_unique<Impl>(iniFile, QSettings::IniFormat))
{
}

SettingsFile::~SettingsFile() = default;

QVariant SettingsFile::GetValue(const QString& key, const QVariant& defaultValue) const
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->settings.value(key, defaultValue);
}

void SettingsFile::SetValue(const QString& key, const QVariant& value)
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    if (value.isNull())
        m_impl->settings.remove(key);
    else
        m_impl->settings.setValue(key, value);
    m_impl->settings.sync();
    if (m_impl->settings.status() != QSettings::NoError)
        LOG(ERROR) << "Tavrix::RQ::SettingsFile::SetValue: Can not write " << key.toStdString() << " to "
                   << m_impl->settings.fileName().toStdString();
}

QString SettingsFile::FileName() const
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->settings.fileName();
}

// ---------------------------------------------------------------------------

namespace {

enum class Folder
{
    Results,
    Temp,
    Recordings,
    UserSelected,
    Screenshots,
};

struct FolderTraits
{
    const char* key;
    const char* setter;
    void (IPathsSettingsObserver::*notification)(const QString&);
    QStandardPaths::StandardLocation base;
    const char* suffix; // after the product name
};

const FolderTraits& TraitsOf(Folder folder)
{
    static const FolderTraits traits[] = {
        {"Paths/ResultsFolder", "SetResultsFolderPath", &IPathsSettingsObserver::OnResultsFolderPathChanged,
         QStandardPaths::MoviesLocation, " Shared"},
        {"Paths/TempFolder", "SetTempFolderPath", &IPathsSettingsObserver::OnTempFolderPathChanged,
         QStandardPaths::TempLocation, ""},
        {"Paths/RecordingsFolder", "SetRecordingsFolderPath", &IPathsSettingsObserver::OnRecordingsFolderPathChanged,
         QStandardPaths::MoviesLocation, ""},
        {"Paths/UserSelectedSavePath", "SetUserSelectedSavePath",
         &IPathsSettingsObserver::OnUserSelectedSavePathChanged, QStandardPaths::MoviesLocation, nullptr},
        {"Paths/ScreenshotsFolder", "SetScreenshotsFolderPath",
         &IPathsSettingsObserver::OnScreenshotsFolderPathChanged, QStandardPaths::PicturesLocation, ""},
    };
    return traits[static_cast<int>(folder)];
}

// A product name may hold characters that would split it into folders.
QString FolderNameOf(const std::string& productName)
{
    QString name = QString::fromStdString(productName).simplified();
    name.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char('\\'), QLatin1Char('-'));
    return name.isEmpty() ? QStringLiteral("Tavrix") : name;
}

} // namespace

struct PathsSettings::Impl
{
    Impl(const std::shared_ptr<App::ICustomizationManager>& customization,
         const std::shared_ptr<IApplicationSettingsManager>& settings)
        : customizationManager(customization)
        , applicationSettings(settings)
    {
    }

    QString Stored(Folder folder) const
    {
        return applicationSettings->GetValue(QString::fromLatin1(TraitsOf(folder).key)).toString();
    }

    QString Default(Folder folder) const
    {
        const FolderTraits& traits = TraitsOf(folder);
        if (!traits.suffix)
            return {};
        QString base = QStandardPaths::writableLocation(traits.base);
        if (base.isEmpty())
            base = QDir::homePath();
        const QString name = FolderNameOf(customizationManager->GetProductName()) + QLatin1String(traits.suffix);
        return QDir::fromNativeSeparators(QDir(base).absoluteFilePath(name));
    }

    QString Get(Folder folder) const
    {
        const QString stored = Stored(folder);
        return stored.isEmpty() ? Default(folder) : stored;
    }

    // True when the stored value changed.
    bool Store(Folder folder, const QString& value)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (Stored(folder) == value)
            return false;
        applicationSettings->SetValue(QString::fromLatin1(TraitsOf(folder).key),
                                      value.isEmpty() ? QVariant() : QVariant(value));
        return true;
    }

    void Set(PathsSettings& owner, Folder folder, const QString& value)
    {
        if (!Store(folder, value))
            return;
        const QString now = Get(folder);
        LOG(INFO) << "Tavrix::RQ::PathsSettings::" << TraitsOf(folder).setter << ": Changed to " << now.toStdString();
        owner.Notify(TraitsOf(folder).notification, now);
    }

    NotNull<App::ICustomizationManager> customizationManager;
    NotNull<IApplicationSettingsManager> applicationSettings;
    // Makes compare-and-store one step when two threads set one folder.
    std::mutex mutex;
};

PathsSettings::PathsSettings(const std::shared_ptr<App::ICustomizationManager>& customizationManager,
                             const std::shared_ptr<IApplicationSettingsManager>& applicationSettings)
    : m_impl(std::make_unique<Impl>(customizationManager, applicationSettings))
{
}

PathsSettings::~PathsSettings() = default;

QString PathsSettings::GetUserSelectedSavePath() const
{
    return m_impl->Get(Folder::UserSelected);
}

void PathsSettings::SetUserSelectedSavePath(const QString& folder)
{
    m_impl->Set(*this, Folder::UserSelected, folder);
}

void PathsSettings::SeedUserSelectedSavePath()
{
    if (!m_impl->Stored(Folder::UserSelected).isEmpty())
        return;
    QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (videos.isEmpty())
        videos = QDir::homePath();
    SetUserSelectedSavePath(QDir::fromNativeSeparators(QDir(videos).absolutePath()));
}

QString PathsSettings::GetResultsFolderPath() const
{
    return m_impl->Get(Folder::Results);
}

void PathsSettings::SetResultsFolderPath(const QString& folder)
{
    m_impl->Set(*this, Folder::Results, folder);
}

QString PathsSettings::GetTempFolderPath() const
{
    return m_impl->Get(Folder::Temp);
}

void PathsSettings::SetTempFolderPath(const QString& folder)
{
    m_impl->Set(*this, Folder::Temp, folder);
}

QString PathsSettings::GetRecordingsFolderPath() const
{
    return m_impl->Get(Folder::Recordings);
}

void PathsSettings::SetRecordingsFolderPath(const QString& folder)
{
    m_impl->Set(*this, Folder::Recordings, folder);
}

QString PathsSettings::GetScreenshotsFolderPath() const
{
    return m_impl->Get(Folder::Screenshots);
}

void PathsSettings::SetScreenshotsFolderPath(const QString& folder)
{
    m_impl->Set(*this, Folder::Screenshots, folder);
}

} // namespace Tavrix::RQ
