#pragma once

// The host's preset catalogue and media layer: export presets, their filters,
// the streams of a source and the size estimate of an export.

#include "CoreUtils.h"

#include <QVariant>

#include <boost/intrusive_ptr.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <ratio>
#include <string>
#include <utility>
#include <vector>

namespace Tavrix::Core {

// A named node of a settings tree: a value and ordered, named children.
// Filters of a preset describe their settings this way. A value type: copies
// are deep.
class Property
{
public:
    Property() = default;
    explicit Property(std::string name, QVariant value = QVariant());

    const std::string& GetName() const { return m_name; }
    const QVariant& GetValue() const { return m_value; }
    void SetValue(const QVariant& value) { m_value = value; }
    // The value as UTF-8 text; empty when there is none.
    std::string GetString() const;

    // Appends a child and returns it, so trees can be built in place.
    Property& AddChild(Property child);
    std::size_t GetChildrenCount() const { return m_children.size(); }
    const Property& GetChild(std::size_t index) const { return m_children.at(index); }
    // The first child of that name, or null.
    const Property* FindChild(const std::string& name) const;
    bool HasChild(const std::string& name) const { return FindChild(name) != nullptr; }

    bool operator==(const Property& other) const;
    bool operator!=(const Property& other) const { return !(*this == other); }

private:
    std::string m_name;
    QVariant m_value;
    std::vector<Property> m_children;
};

// An amount of bytes in units of Ratio bytes, in the manner of
// std::chrono::duration.
template <class Rep, class Ratio = std::ratio<1, 1>>
class BasicSize
{
public:
    using rep = Rep;
    using ratio = Ratio;

    constexpr BasicSize() = default;
    constexpr explicit BasicSize(Rep count)
        : m_count(count)
    {
    }
    // Converts from another unit; going to a coarser unit truncates.
    template <class Rep2, class Ratio2>
    constexpr BasicSize(const BasicSize<Rep2, Ratio2>& other) // NOLINT: converts like chrono durations
        : m_count(static_cast<Rep>(static_cast<Rep>(other.count()) *
                                   std::ratio_divide<Ratio2, Ratio>::num /
                                   std::ratio_divide<Ratio2, Ratio>::den))
    {
    }

    constexpr Rep count() const { return m_count; }
    constexpr bool operator==(const BasicSize& other) const { return m_count == other.m_count; }
    constexpr bool operator!=(const BasicSize& other) const { return m_count != other.m_count; }

private:
    Rep m_count = 0;
};

using Bytes = BasicSize<std::int64_t, std::ratio<1, 1>>;

} // namespace Tavrix::Core

namespace Tavrix::Conf {

// One export preset of the catalogue.
class IPreset : public Core::RefCounted
{
public:
    virtual std::string GetId() const = 0;
    // Without the leading full stop, e.g. "mp4".
    virtual std::string GetFileExtension() const = 0;
    virtual std::size_t GetFiltersCount() const = 0;
    virtual const Core::Property& GetFilterProperty(std::size_t index) const = 0;

    virtual std::vector<std::string> GetTags() const = 0;
    virtual std::string GetContainer() const = 0;
    virtual std::string GetVideoCodec() const = 0;
    // Empty when the codec's default applies.
    virtual std::string GetVideoProfile() const = 0;
    // Bits per second; 0 when the preset writes no such stream.
    virtual std::int64_t GetVideoBitRate() const = 0;
    virtual std::string GetAudioCodec() const = 0;
    virtual std::string GetAudioProfile() const = 0;
    virtual std::int64_t GetAudioBitRate() const = 0;
    virtual std::int32_t GetAudioSampleRate() const = 0;
    virtual std::int32_t GetAudioChannels() const = 0;
};

using IPresetPtr = boost::intrusive_ptr<const IPreset>;

// Size of a video frame; the two further members are the pixel aspect ratio
// (numerator, denominator), 1:1 for square pixels.
struct FrameInfo
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pixelAspectNum = 1;
    std::int32_t pixelAspectDen = 1;

    bool operator==(const FrameInfo& other) const
    {
        return width == other.width && height == other.height && pixelAspectNum == other.pixelAspectNum &&
               pixelAspectDen == other.pixelAspectDen;
    }
};

// The video format of a stream.
class IFormatCodecVideo : public Core::RefCounted
{
public:
    virtual FrameInfo GetFrameInfo() const = 0;
    virtual std::string GetCodec() const = 0;
};

using IFormatCodecVideoPtr = boost::intrusive_ptr<const IFormatCodecVideo>;

// The plain format description a probe fills in.
class FormatCodecVideo : public IFormatCodecVideo
{
public:
    static boost::intrusive_ptr<FormatCodecVideo> Create(const FrameInfo& frame, std::string codec);

    FrameInfo GetFrameInfo() const override { return m_frame; }
    std::string GetCodec() const override { return m_codec; }

private:
    FormatCodecVideo(const FrameInfo& frame, std::string codec);

    FrameInfo m_frame;
    std::string m_codec;
};

} // namespace Tavrix::Conf

namespace Tavrix::Proc {

// One stream of a source file.
class IStream : public Core::RefCounted
{
public:
    enum class Kind
    {
        Video,
        Audio,
    };

    virtual Kind GetKind() const = 0;
    // Null for an audio stream.
    virtual Conf::IFormatCodecVideoPtr GetVideoFormat() const = 0;
    virtual std::int64_t GetDuration() const = 0; // microseconds
    virtual std::int64_t GetBitRate() const = 0;  // bits per second, 0 when unknown
};

using IStreamPtr = boost::intrusive_ptr<const IStream>;

// The plain stream description a probe fills in.
class Stream : public IStream
{
public:
    static boost::intrusive_ptr<Stream> CreateVideo(const Conf::IFormatCodecVideoPtr& format,
                                                    std::int64_t durationUs, std::int64_t bitRate);
    static boost::intrusive_ptr<Stream> CreateAudio(std::int64_t durationUs, std::int64_t bitRate);

    Kind GetKind() const override { return m_kind; }
    Conf::IFormatCodecVideoPtr GetVideoFormat() const override { return m_format; }
    std::int64_t GetDuration() const override { return m_duration; }
    std::int64_t GetBitRate() const override { return m_bitRate; }

private:
    Stream(Kind kind, Conf::IFormatCodecVideoPtr format, std::int64_t durationUs, std::int64_t bitRate);

    Kind m_kind;
    Conf::IFormatCodecVideoPtr m_format;
    std::int64_t m_duration;
    std::int64_t m_bitRate;
};

// Output size of a resize filter. The source is fitted into the box
// width x height keeping its display aspect ratio (pixel aspect included):
// the side that meets the box takes the box's size, the other side is
// scaled and rounded to the nearest even number (encoders of 4:2:0 video
// need even sizes), never below 2. Odd box sizes are rounded down to even.
// The output has square pixels. An empty box or an empty source leaves the
// source size as it is.
struct SettingsResizer
{
    std::int32_t width = 0;
    std::int32_t height = 0;

    Conf::FrameInfo GetOutputFrameSize(const Conf::FrameInfo& source) const;
};

// The resize filter of a preset. Its settings are the child named CLASS_ID of
// the filter's property tree, with the integer children "width" and "height".
class IFilterResize
{
public:
    static constexpr char CLASS_ID[] = "Tavrix.Proc.FilterResize";

    // Missing or non-numeric sizes are logged and read as 0 (an empty box).
    static SettingsResizer Property2Settings(const Core::Property& settings);

    IFilterResize() = delete;
};

} // namespace Tavrix::Proc

namespace Tavrix::ClientAPI {

// Puts a list of presets into the catalogue's display order.
class IPresetOrderer : public Core::RefCounted
{
public:
    virtual void Order(std::vector<Conf::IPresetPtr>& presets) const = 0;
};

using IPresetOrdererPtr = boost::intrusive_ptr<IPresetOrderer>;

// Orders presets by an order file: identifiers it lists come first, in its
// order; the others follow in catalogue order. Presets sharing an identifier
// keep their catalogue order among themselves.
class PresetOrderer
{
public:
    // A missing or malformed file is logged and gives an orderer that keeps
    // catalogue order; never null.
    static IPresetOrdererPtr Create(const ioPath& orderFile);
};

// The catalogue of export presets, read from JSON files (see
// resources/README.md).
class PresetStorage : public Core::RefCounted
{
public:
    static boost::intrusive_ptr<PresetStorage> Create();

    PresetStorage(const PresetStorage&) = delete;
    PresetStorage& operator=(const PresetStorage&) = delete;

    // Replaces the catalogue with the presets of presetsFile followed by those
    // of userPresetsFile (skipped when empty). A file that cannot be read or
    // is malformed is logged and contributes nothing; false then.
    bool LoadPresets(const ioPath& presetsFile, const ioPath& userPresetsFile);
    void SetPresetOrderer(const IPresetOrdererPtr& orderer);

    // The presets carrying the tag, in catalogue order as the orderer makes it.
    void GetPresetsByTag(const std::string& tag, std::vector<Conf::IPresetPtr>& out) const;
    // The first preset with the identifier; null when there is none.
    Conf::IPresetPtr GetPreset(const std::string& id) const;
    // UTF-8 name of the preset in the user-interface language (QLocale's
    // default: "de_DE", then "de"), else English, else the identifier.
    std::string LocalizedName(const std::string& id) const;

private:
    PresetStorage();
    ~PresetStorage() override;

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::ClientAPI

namespace Tavrix::RQ {

// Also declared, identically, beside ConvertationContext.
using CutIntervals = std::vector<std::pair<std::int64_t, std::int64_t>>;

// Estimates the size of an export: (video bit rate x quality / 100 + audio
// bit rate) x the duration the cut intervals leave / 8. The duration is that
// of the longest stream; a cut interval is a part removed, its bounds in
// microseconds in either order; overlapping cuts count once and cuts are
// clipped to the streams.
class QualityTunerPreset
{
public:
    using PresetChangeCallback = std::function<void(Conf::IPresetPtr, const Core::Bytes&)>;

    static constexpr int kMinQuality = 1;
    static constexpr int kMaxQuality = 100;

    QualityTunerPreset();
    ~QualityTunerPreset();

    QualityTunerPreset(const QualityTunerPreset&) = delete;
    QualityTunerPreset& operator=(const QualityTunerPreset&) = delete;

    void SetPreset(const Conf::IPresetPtr& preset);
    Conf::IPresetPtr GetPreset() const;
    // Null entries are allowed and ignored.
    void SetStreams(const std::vector<Proc::IStreamPtr>& streams);
    void SetCutIntervals(const CutIntervals& intervals);
    void SetPresetChangeCallback(PresetChangeCallback callback);

    // Percent of the preset's video bit rate, 1 to 100 (100 at start).
    int GetQuality() const;
    // Clamps to 1..100 and reports the new estimate through the callback
    // (nothing is reported without a preset).
    void SetQuality(int quality);

    Core::Bytes GetEstimatedSize() const;
    // Microseconds of the streams left after the cuts.
    std::int64_t GetRemainingDuration() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ
