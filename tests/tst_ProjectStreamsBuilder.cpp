#include "ProjectStreamsBuilder.h"

#include "LogCapture.h"
#include "ProjectManager.h"
#include "TestMain.h"

using namespace Tavrix;
using Tavrix::RQ::ConvertationContext;
using Tavrix::RQ::MediaFacts;
using Tavrix::RQ::ProjectStreamsBuilder;

namespace {

ConvertationContext::Conversion ConversionOf(const MediaFacts& facts)
{
    ConvertationContext::Conversion conversion;
    conversion.project = std::make_shared<RQ::Project>(ioPath("/videos/clip.mp4"), facts);
    return conversion;
}

} // namespace

class TestProjectStreamsBuilder : public QObject
{
    Q_OBJECT

private slots:
    void streamsFollowTheProbedFacts_data()
    {
        QTest::addColumn<bool>("hasVideo");
        QTest::addColumn<bool>("hasAudio");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<qint64>("durationUs");
        QTest::addColumn<QString>("codec");

        QTest::newRow("video and audio") << true << true << 1920 << 1080 << qint64(12500000) << "h264";
        QTest::newRow("silent screen recording") << true << false << 1366 << 768 << qint64(3000000) << "hevc";
        QTest::newRow("odd frame") << true << true << 641 << 481 << qint64(1) << "mpeg4";
    }

    void streamsFollowTheProbedFacts()
    {
        QFETCH(bool, hasVideo);
        QFETCH(bool, hasAudio);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(qint64, durationUs);
        QFETCH(QString, codec);

        MediaFacts facts;
        facts.hasVideo = hasVideo;
        facts.hasAudio = hasAudio;
        facts.width = width;
        facts.height = height;
        facts.durationUs = durationUs;
        facts.videoCodec = codec;
        facts.audioCodec = QStringLiteral("aac");

        ProjectStreamsBuilder builder;
        builder.SetConversionSettings(ConversionOf(facts));

        const Proc::IStreamPtr video = builder.GetVideoStream();
        QVERIFY(video);
        QCOMPARE(video->GetKind(), Proc::IStream::Kind::Video);
        QCOMPARE(video->GetDuration(), durationUs);
        QCOMPARE(video->GetBitRate(), qint64(0));
        QVERIFY(video->GetVideoFormat());
        const Conf::FrameInfo frame = video->GetVideoFormat()->GetFrameInfo();
        QCOMPARE(frame.width, width);
        QCOMPARE(frame.height, height);
        QCOMPARE(frame.pixelAspectNum, 1);
        QCOMPARE(frame.pixelAspectDen, 1);
        QCOMPARE(QString::fromStdString(video->GetVideoFormat()->GetCodec()), codec);

        const Proc::IStreamPtr audio = builder.GetSecondStream();
        QCOMPARE(bool(audio), hasAudio);
        if (audio)
        {
            QCOMPARE(audio->GetKind(), Proc::IStream::Kind::Audio);
            QCOMPARE(audio->GetDuration(), durationUs);
            QVERIFY(!audio->GetVideoFormat());
        }
    }

    // A second sharing must not show the streams of the first one.
    void newSettingsReplaceAndReleaseDrops()
    {
        MediaFacts first;
        first.hasVideo = first.hasAudio = true;
        first.width = 1280;
        first.height = 720;
        first.durationUs = 5000000;
        MediaFacts second;
        second.hasVideo = true;
        second.width = 640;
        second.height = 480;
        second.durationUs = 2000000;

        ProjectStreamsBuilder builder;
        builder.SetConversionSettings(ConversionOf(first));
        QVERIFY(builder.GetSecondStream());
        builder.SetConversionSettings(ConversionOf(second));
        QCOMPARE(builder.GetVideoStream()->GetVideoFormat()->GetFrameInfo().width, 640);
        QCOMPARE(builder.GetVideoStream()->GetDuration(), qint64(2000000));
        QVERIFY(!builder.GetSecondStream());

        builder.Release();
        QVERIFY(!builder.GetVideoStream());
        QVERIFY(!builder.GetSecondStream());
    }

    void withoutProjectThereAreNoStreams()
    {
        MediaFacts facts;
        facts.hasVideo = facts.hasAudio = true;
        facts.width = 320;
        facts.height = 240;
        ProjectStreamsBuilder builder;
        builder.SetConversionSettings(ConversionOf(facts));

        TestSupport::LogCapture log;
        builder.SetConversionSettings(ConvertationContext::Conversion{});
        QVERIFY(!builder.GetVideoStream());
        QVERIFY(!builder.GetSecondStream());
        QCOMPARE(log.Tagged(), QStringList{QStringLiteral("E: Tavrix::RQ::ProjectStreamsBuilder::SetConversionSettings: "
                                                          "No project is open, so there are no streams")});
    }
};

TAVRIX_TEST_MAIN(TestProjectStreamsBuilder)
#include "tst_ProjectStreamsBuilder.moc"
