#pragma once

// The host's user settings: the stores of product and application settings,
// and the social settings that own the protocol objects.

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>

namespace Tavrix::Social {
class YoutubeProtocol;
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

} // namespace Tavrix::RQ
