#include "MediaPresets.h"

#include <glog/logging.h>

#include <algorithm>
#include <limits>

namespace Tavrix::Core {

Property::Property(std::string name, QVariant value)
    : m_name(std::move(name))
    , m_value(std::move(value))
{
}

std::string Property::GetString() const
{
    return m_value.isValid() ? m_value.toString().toStdString() : std::string();
}

Property& Property::AddChild(Property child)
{
    m_children.push_back(std::move(child));
    return m_children.back();
}

const Property* Property::FindChild(const std::string& name) const
{
    for (const Property& child : m_children)
        if (child.m_name == name)
            return &child;
    return nullptr;
}

bool Property::operator==(const Property& other) const
{
    return m_name == other.m_name && m_value == other.m_value && m_children == other.m_children;
}

} // namespace Tavrix::Core

namespace Tavrix::Conf {

FormatCodecVideo::FormatCodecVideo(const FrameInfo& frame, std::string codec)
    : m_frame(frame)
    , m_codec(std::move(codec))
{
}

boost::intrusive_ptr<FormatCodecVideo> FormatCodecVideo::Create(const FrameInfo& frame, std::string codec)
{
    return boost::intrusive_ptr<FormatCodecVideo>(new FormatCodecVideo(frame, std::move(codec)));
}

} // namespace Tavrix::Conf

namespace Tavrix::Proc {

Stream::Stream(Kind kind, Conf::IFormatCodecVideoPtr format, std::int64_t durationUs, std::int64_t bitRate)
    : m_kind(kind)
    , m_format(std::move(format))
    , m_duration(durationUs)
    , m_bitRate(bitRate)
{
}

boost::intrusive_ptr<Stream> Stream::CreateVideo(const Conf::IFormatCodecVideoPtr& format, std::int64_t durationUs,
                                                 std::int64_t bitRate)
{
    return boost::intrusive_ptr<Stream>(new Stream(Kind::Video, format, durationUs, bitRate));
}

boost::intrusive_ptr<Stream> Stream::CreateAudio(std::int64_t durationUs, std::int64_t bitRate)
{
    return boost::intrusive_ptr<Stream>(new Stream(Kind::Audio, nullptr, durationUs, bitRate));
}

namespace {

// p / q rounded to the nearest even number, at least 2.
std::int32_t NearestEven(std::int64_t p, std::int64_t q)
{
    return static_cast<std::int32_t>(std::max<std::int64_t>(2, 2 * ((p + q) / (2 * q))));
}

std::int32_t ReadSize(const Core::Property& settings, const char* name)
{
    constexpr char kWhere[] = "Tavrix::Proc::IFilterResize::Property2Settings: ";
    const Core::Property* child = settings.FindChild(name);
    if (!child)
    {
        LOG(ERROR) << kWhere << "\"" << name << "\" is missing";
        return 0;
    }
    bool ok = false;
    const qlonglong value = child->GetValue().toLongLong(&ok);
    if (!ok || value < 0 || value > std::numeric_limits<std::int32_t>::max())
    {
        LOG(ERROR) << kWhere << "\"" << name << "\" is not a size: " << child->GetString();
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

Conf::FrameInfo SettingsResizer::GetOutputFrameSize(const Conf::FrameInfo& source) const
{
    const std::int64_t boxWidth = width & ~1;
    const std::int64_t boxHeight = height & ~1;
    if (boxWidth <= 0 || boxHeight <= 0 || source.width <= 0 || source.height <= 0)
        return source;

    // Display proportions: the pixel aspect stretches the width.
    const std::int64_t displayWidth = std::int64_t{source.width} * std::max(1, source.pixelAspectNum);
    const std::int64_t displayHeight = std::int64_t{source.height} * std::max(1, source.pixelAspectDen);

    Conf::FrameInfo output;
    if (displayWidth * boxHeight >= displayHeight * boxWidth)
    {
        output.width = static_cast<std::int32_t>(boxWidth);
        output.height = NearestEven(displayHeight * boxWidth, displayWidth);
    }
    else
    {
        output.height = static_cast<std::int32_t>(boxHeight);
        output.width = NearestEven(displayWidth * boxHeight, displayHeight);
    }
    return output;
}

SettingsResizer IFilterResize::Property2Settings(const Core::Property& settings)
{
    SettingsResizer result;
    result.width = ReadSize(settings, "width");
    result.height = ReadSize(settings, "height");
    return result;
}

} // namespace Tavrix::Proc

namespace Tavrix::RQ {

struct QualityTunerPreset::Impl
{
    Conf::IPresetPtr preset;
    std::vector<Proc::IStreamPtr> streams;
    CutIntervals cuts;
    PresetChangeCallback callback;
    int quality = kMaxQuality;
};

QualityTunerPreset::QualityTunerPreset()
    : m_impl(std::make_unique<Impl>())
{
}

QualityTunerPreset::~QualityTunerPreset() = default;

void QualityTunerPreset::SetPreset(const Conf::IPresetPtr& preset)
{
    m_impl->preset = preset;
}

Conf::IPresetPtr QualityTunerPreset::GetPreset() const
{
    return m_impl->preset;
}

void QualityTunerPreset::SetStreams(const std::vector<Proc::IStreamPtr>& streams)
{
    m_impl->streams = streams;
}

void QualityTunerPreset::SetCutIntervals(const CutIntervals& intervals)
{
    m_impl->cuts = intervals;
}

void QualityTunerPreset::SetPresetChangeCallback(PresetChangeCallback callback)
{
    m_impl->callback = std::move(callback);
}

int QualityTunerPreset::GetQuality() const
{
    return m_impl->quality;
}

void QualityTunerPreset::SetQuality(int quality)
{
    m_impl->quality = std::clamp(quality, kMinQuality, kMaxQuality);
    if (m_impl->preset && m_impl->callback)
        m_impl->callback(m_impl->preset, GetEstimatedSize());
}

std::int64_t QualityTunerPreset::GetRemainingDuration() const
{
    std::int64_t total = 0;
    for (const Proc::IStreamPtr& stream : m_impl->streams)
        if (stream)
            total = std::max(total, stream->GetDuration());

    // Clip every cut to the streams, then merge overlaps so each removed
    // microsecond counts once.
    CutIntervals cuts;
    for (const auto& [first, second] : m_impl->cuts)
    {
        const std::int64_t begin = std::clamp(std::min(first, second), std::int64_t{0}, total);
        const std::int64_t end = std::clamp(std::max(first, second), std::int64_t{0}, total);
        if (begin < end)
            cuts.emplace_back(begin, end);
    }
    std::sort(cuts.begin(), cuts.end());
    std::int64_t removed = 0;
    std::int64_t coveredUntil = 0;
    for (const auto& [begin, end] : cuts)
    {
        const std::int64_t from = std::max(begin, coveredUntil);
        if (end > from)
            removed += end - from;
        coveredUntil = std::max(coveredUntil, end);
    }
    return total - removed;
}

Core::Bytes QualityTunerPreset::GetEstimatedSize() const
{
    if (!m_impl->preset)
        return Core::Bytes(0);
    const std::int64_t bitRate =
        m_impl->preset->GetVideoBitRate() * m_impl->quality / kMaxQuality + m_impl->preset->GetAudioBitRate();
    const std::int64_t duration = GetRemainingDuration();
    constexpr std::int64_t kMicrosPerSecond = 1000000;
    // Whole seconds and the rest apart, so hours of 4K stay inside 64 bits.
    const std::int64_t bits =
        bitRate * (duration / kMicrosPerSecond) + bitRate * (duration % kMicrosPerSecond) / kMicrosPerSecond;
    return Core::Bytes(bits / 8);
}

} // namespace Tavrix::RQ
