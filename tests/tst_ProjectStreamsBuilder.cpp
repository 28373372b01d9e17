#include "ProjectStreamsBuilder.h"

#include "LogCapture.h"
#include "ProjectManager.h"
#include "TestMain.h"

using namespace Tavrix;
using Tavrix::RQ::ConvertationContext;
using Tavrix::RQ::MediaFacts;
using Tavrix::RQ::ProjectStreamsBuilder;

namespace {

// The conversion settings of a project whose probe found these facts.
ConvertationContext::Conversion ConversionOf(int width, int height, qint64 durationUs, bool hasAudio,
                                             const QString& codec = QStringLiteral("h264"))
{
    MediaFacts facts;
    facts.hasVideo = true;
    facts.hasAudio = hasAudio;
    facts.width = width;
    facts.height = height;
    facts.durationUs = durationUs;
    facts.videoCodec = codec;
    facts.audioCodec = QStringLiteral("aac");
    ConvertationContext::Conversion conversion;
    conversion.project = std::make_shared<RQ::Project>(ioPath("/videos/clip.mp4"), facts);
    return conversion;
}

// What the builder answers, as one line: the video's kind, frame, pixel aspect, codec and length, then the audio's.
QString Streams(const ProjectStreamsBuilder& builder)
{
    QStringList streams;
    if (const Proc::IStreamPtr video = builder.GetVideoStream())
    {
        const QString kind = video->GetKind() == Proc::IStream::Kind::Video ? "video" : "not video";
        const Conf::FrameInfo frame = video->GetVideoFormat()->GetFrameInfo();
        const QString shape = QStringLiteral("%1x%2 %3:%4").arg(frame.width).arg(frame.height)
                                  .arg(frame.pixelAspectNum).arg(frame.pixelAspectDen);
        const QString codec = QString::fromStdString(video->GetVideoFormat()->GetCodec());
        streams << QStringLiteral("%1 %2 %3 %4").arg(kind, shape, codec).arg(video->GetDuration());
    }
    if (const Proc::IStreamPtr audio = builder.GetSecondStream())
        streams << QStringLiteral("%1 %2")
                       .arg(audio->GetKind() == Proc::IStream::Kind::Audio ? "audio" : "not audio")
                       .arg(audio->GetDuration());
    return streams.join(QStringLiteral(", "));
}

} // namespace

class TestProjectStreamsBuilder : public QObject
{
    Q_OBJECT

private slots:
    // The streams follow the probed facts of the project in use; a second sharing must not show the
    // streams of the first one.
    void streamsFollowTheProjectInUse()
    {
        ProjectStreamsBuilder builder;
        builder.SetConversionSettings(ConversionOf(1920, 1080, 12500000, true));
        QCOMPARE(Streams(builder), QStringLiteral("video 1920x1080 1:1 h264 12500000, audio 12500000"));
        builder.SetConversionSettings(ConversionOf(1366, 768, 3000000, false, QStringLiteral("hevc")));
        QCOMPARE(Streams(builder), QStringLiteral("video 1366x768 1:1 hevc 3000000"));
        builder.Release();
        QCOMPARE(Streams(builder), QString());

        builder.SetConversionSettings(ConversionOf(320, 240, 1000000, true));
        TestSupport::LogCapture log;
        builder.SetConversionSettings(ConvertationContext::Conversion{});
        QCOMPARE(Streams(builder), QString());
        QCOMPARE(log.Tagged(), QStringList{QStringLiteral("E: Tavrix::RQ::ProjectStreamsBuilder::SetConversionSettings: "
                                                          "No project is open, so there are no streams")});
    }
};

TAVRIX_TEST_MAIN(TestProjectStreamsBuilder)
#include "tst_ProjectStreamsBuilder.moc"
