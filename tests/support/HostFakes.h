#pragma once

// Small in-memory stand-ins for host services, shared by the tests.

#include "FakeYoutubeProtocol.h"
#include "UserSettings.h"

#include <QMap>

#include <memory>

namespace TestSupport {

class MemoryProductSettings : public Tavrix::RQ::IProductSettingsManager
{
public:
    QVariant GetValue(const QString& key, const QVariant& defaultValue) const override
    {
        return values.value(key, defaultValue);
    }
    void SetValue(const QString& key, const QVariant& value) override { values.insert(key, value); }

    QMap<QString, QVariant> values;
};

// SocialSettings whose YouTube protocol is the given fake.
inline std::shared_ptr<Tavrix::RQ::SocialSettings> MakeSocialSettings(
    const std::shared_ptr<FakeYoutubeProtocol>& protocol)
{
    auto settings = std::make_shared<Tavrix::RQ::SocialSettings>(std::make_shared<MemoryProductSettings>());
    settings->SetYouTubeProtocol(protocol);
    return settings;
}

} // namespace TestSupport
