#pragma once

// Stand-ins for the host's media side: a scriptable streams builder, a
// project handle, and catalogue files written where a test wants them.

#include "MediaPresets.h"
#include "ProjectStreams.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace TestSupport {

// Answers with the streams the test gave it, but only between
// SetConversionSettings and Release, like a builder that probes the file.
class FakeStreamsBuilder : public Tavrix::RQ::IProjectStreamsBuilder
{
public:
    void SetConversionSettings(const Tavrix::RQ::ConvertationContext::Conversion& settings) override
    {
        ++setCount;
        lastCutIntervals = settings.cutIntervals;
        built = true;
    }
    void Release() override
    {
        ++releaseCount;
        built = false;
    }
    Tavrix::Proc::IStreamPtr GetVideoStream() const override { return built ? video : nullptr; }
    Tavrix::Proc::IStreamPtr GetSecondStream() const override { return built ? audio : nullptr; }

    static Tavrix::Proc::IStreamPtr MakeVideo(int width, int height, std::int64_t durationUs)
    {
        const auto format = Tavrix::Conf::FormatCodecVideo::Create(Tavrix::Conf::FrameInfo{width, height}, "h264");
        return Tavrix::Proc::Stream::CreateVideo(format, durationUs, 0);
    }

    Tavrix::Proc::IStreamPtr video;
    Tavrix::Proc::IStreamPtr audio;
    Tavrix::RQ::CutIntervals lastCutIntervals;
    bool built = false;
    int setCount = 0;
    int releaseCount = 0;
};

// A non-null project handle that owns nothing; the helpers only test it for null.
inline std::shared_ptr<Tavrix::RQ::Project> MakeProjectHandle()
{
    static int token = 0;
    return std::shared_ptr<Tavrix::RQ::Project>(std::shared_ptr<void>(),
                                                reinterpret_cast<Tavrix::RQ::Project*>(&token));
}

// One preset of a test catalogue. A box of 0 x 0 means no resize filter.
struct TestPreset
{
    QString id;
    QStringList tags;
    // Initialised here, so a row may leave out the names it has no use for.
    QString english = {};
    QString german = {};
    int boxWidth = 0;
    int boxHeight = 0;
    qint64 videoBitRate = 8000000;
    qint64 audioBitRate = 384000;
    // Puts another filter before the resize filter.
    bool otherFilterFirst = false;
};

inline QByteArray CatalogueJson(const QList<TestPreset>& presets)
{
    QJsonArray list;
    for (const TestPreset& preset : presets)
    {
        QJsonObject names;
        if (!preset.english.isEmpty())
            names.insert("en", preset.english);
        if (!preset.german.isEmpty())
            names.insert("de", preset.german);
        QJsonArray filters;
        if (preset.otherFilterFirst)
            filters.append(QJsonObject{{"class", "Tavrix.Proc.FilterFrameRate"}, {"settings", QJsonObject{{"fps", 30}}}});
        if (preset.boxWidth > 0)
            filters.append(QJsonObject{
                {"class", Tavrix::Proc::IFilterResize::CLASS_ID},
                {"settings", QJsonObject{{"width", preset.boxWidth}, {"height", preset.boxHeight}}}});
        list.append(QJsonObject{
            {"id", preset.id},
            {"names", names},
            {"tags", QJsonArray::fromStringList(preset.tags)},
            {"container", "mp4"},
            {"fileExtension", "mp4"},
            {"video", QJsonObject{{"codec", "h264"}, {"bitRate", preset.videoBitRate}}},
            {"audio", QJsonObject{{"codec", "aac"}, {"bitRate", preset.audioBitRate}, {"sampleRate", 48000}, {"channels", 2}}},
            {"filters", filters},
        });
    }
    return QJsonDocument(QJsonObject{{"format", "tavrix-presets"}, {"version", 1}, {"presets", list}}).toJson();
}

inline QByteArray OrderJson(const QStringList& order)
{
    return QJsonDocument(
               QJsonObject{{"format", "tavrix-presets-order"}, {"version", 1}, {"order", QJsonArray::fromStringList(order)}})
        .toJson();
}

inline bool WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

} // namespace TestSupport
