#include "UI/MultiMediaHelper.h"

#include "AppServices.h"
#include "CoreUtils.h"
#include "ProjectStreams.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QSignalBlocker>

#include <glog/logging.h>

#include <algorithm>
#include <stdexcept>

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

namespace {
constexpr char kSetContext[] = "Tavrix::RQ::Service::Sharing::YouTube::UI::MultiMediaHelper::SetContext: ";
constexpr char kPresetsFile[] = "Presets-utf8-orbitrec-sharing.json";
constexpr char kOrderFile[] = "PresetsOrder-utf8-orbitrec-sharing.json";
constexpr char kYouTubeTag[] = "format_online_video_for_youtube";
constexpr char kDefaultTag[] = "default_preset_for_youtube";
// Frame measured when the source has no video stream.
constexpr std::int32_t kFallbackWidth = 1920;
constexpr std::int32_t kFallbackHeight = 1080;
// With cut intervals the cut total starts at 30 days in microseconds; what the
// bounds mean is the host's convention, and the total follows it.
constexpr std::int64_t kCutOffset = 2592000000000;

const boost::intrusive_ptr<ClientAPI::PresetStorage>& Checked(
    const boost::intrusive_ptr<ClientAPI::PresetStorage>& storage)
{
    if (!storage)
        throw std::logic_error("PresetComboHelper needs a preset catalogue");
    return storage;
}
} // namespace

PresetComboHelper::PresetComboHelper(QComboBox* combo_, const boost::intrusive_ptr<ClientAPI::PresetStorage>& storage_)
    : combo(combo_)
    , storage(Checked(storage_))
{
    const ioPath resources = App::GetPathToResources();
    storage->LoadPresets(resources / kPresetsFile, ioPath());
    // The orderer must be in place before the list is read: the catalogue
    // orders, the dialog does not sort.
    storage->SetPresetOrderer(ClientAPI::PresetOrderer::Create(resources / kOrderFile));
    storage->GetPresetsByTag(kYouTubeTag, presets);
    std::vector<Conf::IPresetPtr> defaults;
    storage->GetPresetsByTag(kDefaultTag, defaults);

    if (!combo)
        return;
    AppendItems();
    int selected = -1;
    if (!defaults.empty())
    {
        const std::string defaultId = defaults.front()->GetId();
        for (std::size_t i = 0; i < presets.size(); ++i)
            if (presets[i]->GetId() == defaultId)
                selected = static_cast<int>(i);
    }
    combo->setCurrentIndex(selected);
}

void PresetComboHelper::AppendItems()
{
    for (const Conf::IPresetPtr& preset : presets)
    {
        const std::string id = preset->GetId();
        combo->insertItem(combo->count(), QString::fromStdString(storage->LocalizedName(id)),
                          QString::fromStdString(id));
    }
}

Conf::IPresetPtr PresetComboHelper::GetCurrentPreset() const
{
    const QString id = combo ? combo->currentData(Qt::UserRole).toString() : QString();
    return storage->GetPreset(id.toStdString());
}

void PresetComboHelper::RetranslatePresets()
{
    if (!combo)
        return;
    // Restores the earlier blocking state when it goes.
    const QSignalBlocker blocker(combo.data());
    const int current = combo->currentIndex();
    combo->clear();
    AppendItems();
    combo->setCurrentIndex(current);
}

struct MultiMediaHelper::Impl
{
    Impl(QComboBox* combo, QLabel* resolution, QLabel* size, QLabel* duration,
         const boost::intrusive_ptr<ClientAPI::PresetStorage>& storage,
         const std::shared_ptr<IProjectStreamsBuilder>& builder)
        : presetCombo(combo, storage)
        , resolutionValueLabel(resolution)
        , sizeValueLabel(size)
        , durationValueLabel(duration)
        , streamsBuilder(builder)
    {
    }

    bool HasProject() const { return context.conversion && context.conversion->project; }

    void UpdateResolution()
    {
        Conf::FrameInfo frame;
        frame.width = kFallbackWidth;
        frame.height = kFallbackHeight;
        if (const Proc::IStreamPtr video = streamsBuilder->GetVideoStream())
        {
            if (const Conf::IFormatCodecVideoPtr format = video->GetVideoFormat())
            {
                const Conf::FrameInfo source = format->GetFrameInfo();
                frame.width = source.width;
                frame.height = source.height;
            }
        }

        const Core::Property* resize = nullptr;
        if (const Conf::IPresetPtr preset = presetCombo.GetCurrentPreset())
        {
            for (std::size_t i = 0; i < preset->GetFiltersCount() && !resize; ++i)
                resize = preset->GetFilterProperty(i).FindChild(Proc::IFilterResize::CLASS_ID);
            if (resize)
                frame = Proc::IFilterResize::Property2Settings(*resize).GetOutputFrameSize(frame);
        }

        if (!resolutionValueLabel)
            return;
        if (resize)
            resolutionValueLabel->setText(QCoreApplication::translate("YouTubeSharingDialog", "%1x%2", "resolution")
                                              .arg(frame.width)
                                              .arg(frame.height));
        else
            resolutionValueLabel->setText(QCoreApplication::translate("YouTubeSharingDialog", "-", "resolution no video"));
    }

    void UpdateDuration()
    {
        std::int64_t cutTotal = 0;
        const CutIntervals& cuts = context.conversion->cutIntervals;
        if (!cuts.empty())
        {
            cutTotal = kCutOffset;
            for (const auto& [first, second] : cuts)
                cutTotal += first - second;
        }
        const Proc::IStreamPtr video = streamsBuilder->GetVideoStream();
        const std::int64_t duration = video ? video->GetDuration() : 0;
        if (durationValueLabel)
            durationValueLabel->setText(msecsToString(static_cast<int>((duration - cutTotal) / 1000), false, false));
    }

    PresetComboHelper presetCombo;
    QPointer<QLabel> resolutionValueLabel;
    QPointer<QLabel> sizeValueLabel;
    QPointer<QLabel> durationValueLabel;
    NotNull<IProjectStreamsBuilder> streamsBuilder;
    QualityTunerPreset tuner;
    ConvertationContext context;
};

MultiMediaHelper::MultiMediaHelper(QComboBox* resolutionComboBox, QLabel* resolutionValueLabel,
                                   QLabel* sizeValueLabel, QLabel* durationValueLabel,
                                   const boost::intrusive_ptr<ClientAPI::PresetStorage>& storage,
                                   const std::shared_ptr<IProjectStreamsBuilder>& streamsBuilder)
    : QObject(nullptr)
    , m_impl(std::make_unique<Impl>(resolutionComboBox, resolutionValueLabel, sizeValueLabel, durationValueLabel,
                                    storage, streamsBuilder))
{
    if (resolutionComboBox)
        connect(resolutionComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &MultiMediaHelper::OnPresetChanged);
    m_impl->tuner.SetPresetChangeCallback(
        [label = m_impl->sizeValueLabel](Conf::IPresetPtr, const Core::Bytes& size) {
            if (!label)
                return;
            const auto bytes = static_cast<std::uint64_t>(std::max<std::int64_t>(0, size.count()));
            label->setText(Util::FormatFileSize(bytes, -1, Util::SizeUnit::Auto, Util::KiloSize::Binary));
        });
}

MultiMediaHelper::~MultiMediaHelper() = default;

void MultiMediaHelper::SetContext(const ConvertationContext& context)
{
    m_impl->context = context;
    if (!m_impl->context.conversion)
    {
        // Nothing to probe: the facts stay as they are.
        LOG(ERROR) << kSetContext << "The context of " << context.sourcePath << " has no conversion settings";
        return;
    }
    const ConvertationContext::Conversion& conversion = *m_impl->context.conversion;
    m_impl->streamsBuilder->SetConversionSettings(conversion);

    std::vector<Proc::IStreamPtr> streams{m_impl->streamsBuilder->GetVideoStream()};
    if (Proc::IStreamPtr second = m_impl->streamsBuilder->GetSecondStream())
        streams.push_back(second);

    m_impl->tuner.SetPreset(GetCurrentPreset());
    m_impl->tuner.SetStreams(streams);
    m_impl->tuner.SetCutIntervals(conversion.cutIntervals);
    OnPresetChanged();
}

void MultiMediaHelper::Reset()
{
    m_impl->streamsBuilder->Release();
    m_impl->context.conversion.reset();
    m_impl->context.extra.reset();
    m_impl->context.sourcePath = ioPath();
    m_impl->context.outputPath = ioPath();
}

Conf::IPresetPtr MultiMediaHelper::GetCurrentPreset() const
{
    return m_impl->presetCombo.GetCurrentPreset();
}

const ConvertationContext& MultiMediaHelper::GetContext() const
{
    return m_impl->context;
}

void MultiMediaHelper::RetranslatePresets()
{
    m_impl->presetCombo.RetranslatePresets();
}

void MultiMediaHelper::OnPresetChanged()
{
    if (!m_impl->HasProject())
        return;
    QualityTunerPreset& tuner = m_impl->tuner;
    tuner.SetPreset(GetCurrentPreset());
    // Setting the quality again makes the tuner report its new estimate.
    tuner.SetQuality(tuner.GetQuality());
    m_impl->UpdateResolution();
    m_impl->UpdateDuration();
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
