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

} // namespace

class TestProjectStreamsBuilder : public QObject
{
    Q_OBJECT

private slots:
    void streamsFollowTheProbedFacts_data()
    {
        QTest::addColumn<bool>("hasAudio");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<qint64>("durationUs");
        QTest::addColumn<QString>("codec");

        QTest::newRow("video and audio") << true << 1920 << 1080 << qint64(12500000) << "h264";
        QTest::newRow("silent screen recording") << false << 1366 << 768 << qint64(3000000) << "hevc";
    }

    void streamsFollowTheProbedFacts()
    {
        QFETCH(bool, hasAudio);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(qint64, durationUs);
        QFETCH(QString, codec);

        ProjectStreamsBuilder builder;
        builder.SetConversionSettings(ConversionOf(width, height, durationUs, hasAudio, codec));

        const Proc::IStreamPtr video = builder.GetVideoStream();
        QVERIFY(video && video->GetVideoFormat());
        QCOMPARE(video->GetKind(), Proc::IStream::Kind::Video);
        QCOMPARE(video->GetDuration(), durationUs);
        const Conf::FrameInfo frame = video->GetVideoFormat()->GetFrameInfo();
        QCOMPARE(QSize(frame.width, frame.height), QSize(width, height));
        QCOMPARE(QSize(frame.pixelAspectNum, frame.pixelAspectDen), QSize(1, 1));
        QCOMPARE(QString::fromStdString(video->GetVideoFormat()->GetCodec()), codec);

        const Proc::IStreamPtr audio = builder.GetSecondStream();
        QCOMPARE(bool(audio), hasAudio);
        if (audio)
        {
            QCOMPARE(audio->GetKind(), Proc::IStream::Kind::Audio);
            QCOMPARE(audio->GetDuration(), durationUs);
        }
    }

    // A second sharing must not show the streams of the first one.
    void newSettingsReplaceAndReleaseDrops()
    {
        ProjectStreamsBuilder builder;
        builder.SetConversionSettings(ConversionOf(1280, 720, 5000000, true));
        QVERIFY(builder.GetSecondStream());
        builder.SetConversionSettings(ConversionOf(640, 480, 2000000, false));
        QCOMPARE(builder.GetVideoStream()->GetVideoFormat()->GetFrameInfo().width, 640);
        QCOMPARE(builder.GetVideoStream()->GetDuration(), qint64(2000000));
        QVERIFY(!builder.GetSecondStream());

        builder.Release();
        QVERIFY(!builder.GetVideoStream());
        QVERIFY(!builder.GetSecondStream());
    }

    void withoutProjectThereAreNoStreams()
    {
        ProjectStreamsBuilder builder;
        builder.SetConversionSettings(ConversionOf(320, 240, 1000000, true));

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
