#include "UserSettings.h"

#include "CoreUtils.h"

namespace Tavrix::RQ {

namespace {
const QString kSoundEnabled = QStringLiteral("UI/SoundEnabled");
} // namespace

struct UiSettings::Impl
{
    explicit Impl(const std::shared_ptr<IProductSettingsManager>& settings)
        : productSettings(settings)
    {
    }

    NotNull<IProductSettingsManager> productSettings;
};

UiSettings::UiSettings(const std::shared_ptr<IProductSettingsManager>& productSettings)
    : m_impl(std::make_unique<Impl>(productSettings))
{
}

UiSettings::~UiSettings() = default;

bool UiSettings::IsSoundEnabled() const
{
    return m_impl->productSettings->GetValue(kSoundEnabled, true).toBool();
}

void UiSettings::SetSoundEnabled(bool enabled)
{
    m_impl->productSettings->SetValue(kSoundEnabled, enabled);
}

} // namespace Tavrix::RQ
