#pragma once

// The host's user settings: the stores of product and application settings,
// and the social settings that own the protocol objects.

#include "CoreUtils.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>

namespace Tavrix::Social {
class YoutubeProtocol;
}

namespace Tavrix::App {
class ICustomizationManager;
}

namespace Tavrix::RQ {

// A key-value store of the product's settings (per user).
class IProductSettingsManager
{
public:
    virtual ~IProductSettingsManager() = default;
    virtual QVariant GetValue(const QString& key, const QVariant& defaultValue = {}) const = 0;
    virtual void SetValue(const QString& key, const QVariant& value) = 0;
};

// A key-value store of the application's settings (per user, shared by products).
class IApplicationSettingsManager
{
public:
    virtual ~IApplicationSettingsManager() = default;
    virtual QVariant GetValue(const QString& key, const QVariant& defaultValue = {}) const = 0;
    virtual void SetValue(const QString& key, const QVariant& value) = 0;
};

// The user's interface preferences.
class IUiSettings
{
public:
    virtual ~IUiSettings() = default;
    // Whether notices may play their sounds.
    virtual bool IsSoundEnabled() const = 0;
    virtual void SetSoundEnabled(bool enabled) = 0;
};

// Interface preferences kept in the product's settings, under "UI/...".
class UiSettings : public IUiSettings
{
public:
    explicit UiSettings(const std::shared_ptr<IProductSettingsManager>& productSettings);
    ~UiSettings() override;

    UiSettings(const UiSettings&) = delete;
    UiSettings& operator=(const UiSettings&) = delete;

    bool IsSoundEnabled() const override;
    void SetSoundEnabled(bool enabled) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Owns the protocol objects of the social services. The YouTube protocol is
// made on first use by the factory that the host installs, and then shared.
class SocialSettings
{
public:
    using YouTubeProtocolFactory =
        std::function<std::shared_ptr<Social::YoutubeProtocol>(const std::shared_ptr<IProductSettingsManager>&)>;

    explicit SocialSettings(const std::shared_ptr<IProductSettingsManager>& productSettings);
    virtual ~SocialSettings();

    SocialSettings(const SocialSettings&) = delete;
    SocialSettings& operator=(const SocialSettings&) = delete;

    // Null when no protocol was set and no factory is installed.
    std::shared_ptr<Social::YoutubeProtocol> YouTubeProtocol();
    void SetYouTubeProtocol(const std::shared_ptr<Social::YoutubeProtocol>& protocol);

    const std::shared_ptr<IProductSettingsManager>& ProductSettings() const;

    // Process-wide: how every SocialSettings makes its YouTube protocol.
    static void SetYouTubeProtocolFactory(YouTubeProtocolFactory factory);

private:
    std::shared_ptr<IProductSettingsManager> m_productSettings;
    std::mutex m_mutex;
    std::shared_ptr<Social::YoutubeProtocol> m_youTube;
};

// A QSettings file (ini format), written through on every change so values
// survive a restart of the host. Either the platform's usual place for the
// organisation and application, or a file of its own (a portable install, a test).
class SettingsFile
{
public:
    SettingsFile(const QString& organization, const QString& application);
    explicit SettingsFile(const QString& iniFile);
    ~SettingsFile();

    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    QVariant GetValue(const QString& key, const QVariant& defaultValue) const;
    // A null value removes the key. A failed write is an ERROR line.
    void SetValue(const QString& key, const QVariant& value);
    QString FileName() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The stores above kept in a SettingsFile; given both, one file answers for both.
template <class... TStores>
class SettingsFileManager : public TStores...
{
public:
    SettingsFileManager(const QString& organization, const QString& application)
        : m_file(organization, application)
    {
    }
    explicit SettingsFileManager(const QString& iniFile)
        : m_file(iniFile)
    {
    }

    QVariant GetValue(const QString& key, const QVariant& defaultValue = {}) const override
    {
        return m_file.GetValue(key, defaultValue);
    }
    void SetValue(const QString& key, const QVariant& value) override { m_file.SetValue(key, value); }
    QString FileName() const { return m_file.FileName(); }

private:
    SettingsFile m_file;
};

using ProductSettingsManager = SettingsFileManager<IProductSettingsManager>;
using ApplicationSettingsManager = SettingsFileManager<IApplicationSettingsManager>;
using ProductAndApplicationSettingsManager = SettingsFileManager<IProductSettingsManager, IApplicationSettingsManager>;

// Told about changes of the folders that PathsSettings keeps. Each receives
// the folder now in effect, with '/' separators.
class IPathsSettingsObserver
{
public:
    virtual ~IPathsSettingsObserver() = default;
    virtual void OnResultsFolderPathChanged(const QString& folder) = 0;
    virtual void OnTempFolderPathChanged(const QString& folder) = 0;
    virtual void OnRecordingsFolderPathChanged(const QString& folder) = 0;
    virtual void OnUserSelectedSavePathChanged(const QString& folder) = 0;
    virtual void OnScreenshotsFolderPathChanged(const QString& folder) = 0;
};

// The folders the host saves into, kept in the application settings.
// The user-selected save path has no default (empty until the user picks one
// or the host seeds it); the others default to folders named after the product
// under the user's video, picture and temporary locations, and a stored value
// overrides them.
// A setter stores and notifies only when the stored value changes; observers
// are told synchronously on the caller's thread.
class PathsSettings : public Core::EventHandlerList<IPathsSettingsObserver, Core::SyncExecutePolicy>
{
public:
    PathsSettings(const std::shared_ptr<App::ICustomizationManager>& customizationManager,
                  const std::shared_ptr<IApplicationSettingsManager>& applicationSettings);
    virtual ~PathsSettings();

    PathsSettings(const PathsSettings&) = delete;
    PathsSettings& operator=(const PathsSettings&) = delete;

    QString GetUserSelectedSavePath() const;
    void SetUserSelectedSavePath(const QString& folder);
    // On a first run, when none is stored: the user's videos folder (home
    // where there is none), so that "Save to" never means the working directory.
    void SeedUserSelectedSavePath();

    // Where finished exports go unless the user chose a folder,
    // "<Videos>/<ProductName> Shared" by default.
    QString GetResultsFolderPath() const;
    // An empty folder brings back the default; so for the three below.
    void SetResultsFolderPath(const QString& folder);

    // "<Temp>/<ProductName>" by default.
    QString GetTempFolderPath() const;
    void SetTempFolderPath(const QString& folder);

    // "<Videos>/<ProductName>" by default.
    QString GetRecordingsFolderPath() const;
    void SetRecordingsFolderPath(const QString& folder);

    // "<Pictures>/<ProductName>" by default.
    QString GetScreenshotsFolderPath() const;
    void SetScreenshotsFolderPath(const QString& folder);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ
