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
        Tavrix::Conf::FrameInfo frame;
        frame.width = width;
        frame.height = height;
        return Tavrix::Proc::Stream::CreateVideo(Tavrix::Conf::FormatCodecVideo::Create(frame, "h264"), durationUs,
                                                 0);
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
    QString english;
    QString german;
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
            names.insert(QStringLiteral("en"), preset.english);
        if (!preset.german.isEmpty())
            names.insert(QStringLiteral("de"), preset.german);
        QJsonArray filters;
        if (preset.otherFilterFirst)
            filters.append(QJsonObject{{QStringLiteral("class"), QStringLiteral("Tavrix.Proc.FilterFrameRate")},
                                       {QStringLiteral("settings"), QJsonObject{{QStringLiteral("fps"), 30}}}});
        if (preset.boxWidth > 0)
            filters.append(QJsonObject{
                {QStringLiteral("class"), QString::fromLatin1(Tavrix::Proc::IFilterResize::CLASS_ID)},
                {QStringLiteral("settings"),
                 QJsonObject{{QStringLiteral("width"), preset.boxWidth}, {QStringLiteral("height"), preset.boxHeight}}}});
        list.append(QJsonObject{
            {QStringLiteral("id"), preset.id},
            {QStringLiteral("names"), names},
            {QStringLiteral("tags"), QJsonArray::fromStringList(preset.tags)},
            {QStringLiteral("container"), QStringLiteral("mp4")},
            {QStringLiteral("fileExtension"), QStringLiteral("mp4")},
            {QStringLiteral("video"), QJsonObject{{QStringLiteral("codec"), QStringLiteral("h264")},
                                                  {QStringLiteral("bitRate"), preset.videoBitRate}}},
            {QStringLiteral("audio"), QJsonObject{{QStringLiteral("codec"), QStringLiteral("aac")},
                                                  {QStringLiteral("bitRate"), preset.audioBitRate},
                                                  {QStringLiteral("sampleRate"), 48000},
                                                  {QStringLiteral("channels"), 2}}},
            {QStringLiteral("filters"), filters},
        });
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), QStringLiteral("tavrix-presets")},
                                     {QStringLiteral("version"), 1},
                                     {QStringLiteral("presets"), list}})
        .toJson();
}

inline QByteArray OrderJson(const QStringList& order)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), QStringLiteral("tavrix-presets-order")},
                                     {QStringLiteral("version"), 1},
                                     {QStringLiteral("order"), QJsonArray::fromStringList(order)}})
        .toJson();
}

inline bool WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

} // namespace TestSupport
