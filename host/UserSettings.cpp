#include "UserSettings.h"

#include "CoreUtils.h"
#include "SocialProtocol.h"

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

} // namespace Tavrix::RQ
