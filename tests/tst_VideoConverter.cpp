#include "VideoConverter.h"

#include "LogCapture.h"
#include "MediaClips.h"
#include "MediaFakes.h"
#include "ProjectManager.h"
#include "RecordingStrategies.h"
#include "TestMain.h"

#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Tavrix;
using Tavrix::RQ::ConvertationContext;
using Tavrix::RQ::CutIntervals;
using Tavrix::RQ::VideoConverter;
using Tavrix::RQ::Service::Sharing::AbstractSharingManager;

Q_DECLARE_METATYPE(CutIntervals)

namespace {

constexpr qint64 kVideoRate = 300000;
constexpr qint64 kAudioRate = 128000;

// Records what the converter hands back to the sharing service.
class RecordingManager : public AbstractSharingManager
{
public:
    bool ShareFile(const ioPath&, const CutIntervals&) override { return true; }
    bool Upload(const ConvertationContext& context) override
    {
        uploads.push_back(context);
        return true;
    }
    void Cancel() override { ++cancels; }
    void Reset() override {}
    Type GetType() const override { return YouTube; }
    QString GetSharingName() const override { return QStringLiteral("Recording"); }

    std::vector<ConvertationContext> uploads;
    int cancels = 0;
};

// A field of ffprobe's answer as text, whether it wrote it as a number or as text.
QString Text(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toVariant().toString();
}

} // namespace

class TestVideoConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<ConvertationContext>();
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty())
            QSKIP("ffmpeg and ffprobe are needed (scripts/install-deps.sh installs them)");
        QVERIFY(m_dir.isValid());
        const QString catalogue = m_dir.filePath(QStringLiteral("presets.json"));
        QVERIFY(TestSupport::WriteFile(catalogue, TestSupport::CatalogueJson({
                                                      {"box360", {}, "360p", {}, 640, 360, kVideoRate, kAudioRate},
                                                      {"box240", {}, "240p", {}, 426, 240, kVideoRate, kAudioRate},
                                                      {"nobox", {}, "Source", {}, 0, 0, kVideoRate, kAudioRate},
                                                  })));
        m_presets = ClientAPI::PresetStorage::Create();
        QVERIFY(m_presets->LoadPresets(ioPath(catalogue.toStdString()), ioPath()));

        m_long = m_dir.filePath(QStringLiteral("long.mp4"));
        QVERIFY(TestSupport::MakeClip(m_dir.filePath(QStringLiteral("clip 4x3.mp4")), 320, 240, 3, true));
        QVERIFY(TestSupport::MakeClip(m_dir.filePath(QStringLiteral("clip 16x9.mp4")), 640, 360, 2, true));
        QVERIFY(TestSupport::MakeClip(m_long, 320, 240, 40, false));

        // H.264 and AAC within the presets' rates, a key frame every second.
        const QString x264 = QStringLiteral("-c:v libx264 -preset ultrafast -pix_fmt yuv420p "
                                            "-x264-params keyint=25:min-keyint=25:scenecut=0");
        const QString rate = QStringLiteral(" -b:v %1 -maxrate %1 -bufsize %1");
        const auto make = [this](const char* name, double seconds, const QString& options) {
            return TestSupport::MakeClip(m_dir.filePath(QLatin1String(name)), 320, 240, seconds, true,
                                         TestSupport::Args(options));
        };
        QVERIFY(make("fits.mp4", 3, x264 + rate.arg("150k")));
        QVERIFY(make("over.mp4", 3, x264 + rate.arg("900k")));
        QVERIFY(make("hevc.mp4", 2, "-c:v libx265 -preset ultrafast -x265-params log-level=error" + rate.arg("150k")));
    }

    void init()
    {
        m_out = std::make_unique<QTemporaryDir>();
        QVERIFY(m_out->isValid());
    }

    // What the sharing service asked for arrives as an MP4 of the preset's box and rates without the
    // cuts: copied where the source fits the preset, encoded otherwise.
    void convertsEachRequest_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<CutIntervals>("cuts");
        QTest::addColumn<bool>("forced");
        // Source packets kept, [from, to) in decoding order; empty: re-encoded.
        QTest::addColumn<QList<int>>("kept");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("seconds");

        const CutIntervals none;
        const QList<int> encoded;
        const QSize small(320, 240);
        QTest::newRow("fits") << "fits.mp4" << "box240" << none << false << QList<int>{0, 75} << small << 3.0;
        QTest::newRow("fits, no resize filter") << "fits.mp4" << "nobox" << none << false << QList<int>{0, 75} << small << 3.0;
        QTest::newRow("cut on key frames") << "fits.mp4" << "box240" << CutIntervals{{2000000, 1000000}} << false
                                           << QList<int>{0, 25, 50, 75} << small << 2.0;
        QTest::newRow("re-encoding forced") << "fits.mp4" << "box240" << none << true << encoded << small << 3.0;
        QTest::newRow("over the preset's rate") << "over.mp4" << "box240" << none << false << encoded << small << 3.0;
        QTest::newRow("4:3 into a 16:9 box") << "fits.mp4" << "box360" << none << false << encoded << QSize(480, 360) << 3.0;
        QTest::newRow("16:9 shrunk, odd box width") << "clip 16x9.mp4" << "box240" << none << false << encoded
                                                    << QSize(426, 240) << 2.0;
        // HEVC has the profile names H.264 has; MPEG-4 Part 2 has not.
        QTest::newRow("HEVC") << "hevc.mp4" << "box240" << none << false << encoded << small << 2.0;
        QTest::newRow("not H.264") << "clip 4x3.mp4" << "box240" << none << false << encoded << small << 3.0;
        QTest::newRow("not H.264, no resize filter") << "clip 4x3.mp4" << "nobox" << none << false << encoded << small << 3.0;
        QTest::newRow("cut between key frames") << "fits.mp4" << "box240" << CutIntervals{{500000, 1500000}} << false
                                                << encoded << small << 2.0;
        QTest::newRow("cuts reversed, one inside the other")
            << "clip 4x3.mp4" << "box240" << CutIntervals{{2500000, 1000000}, {1500000, 2000000}} << false << encoded
            << small << 1.5;
        QTest::newRow("cut past the end") << "clip 4x3.mp4" << "box240" << CutIntervals{{2500000, 90000000}} << false
                                          << encoded << small << 2.5;
        QTest::newRow("two cuts apart") << "clip 4x3.mp4" << "box240" << CutIntervals{{0, 500000}, {2000000, 2500000}}
                                        << false << encoded << small << 2.0;
    }

    void convertsEachRequest()
    {
        QFETCH(QString, source);
        QFETCH(QString, preset);
        QFETCH(CutIntervals, cuts);
        QFETCH(bool, forced);
        QFETCH(QList<int>, kept);
        QFETCH(QSize, size);
        QFETCH(double, seconds);

        RecordingManager manager;
        const auto progress = std::make_shared<TestSupport::RecordingProgress>();
        VideoConverter converter(std::make_shared<RQ::FileManager>());
        converter.SetAlwaysReencode(forced);
        converter.ServeSharing(&manager, progress);
        TestSupport::LogCapture log;

        const QString path = m_dir.filePath(source);
        ConvertationContext context = Context(path, preset, cuts, QStringLiteral("out.mp4"));
        context.extra = ConvertationContext::Extra{"kept along", 7};
        emit manager.ConvertingRequested(context, true);
        const bool copied = !kept.isEmpty();
        QCOMPARE(progress->textGetter(), copied ? QStringLiteral("Preparing the video") : QStringLiteral("Converting the video"));
        QCOMPARE(converter.IsCopying(), copied);
        QTRY_COMPARE_WITH_TIMEOUT(manager.uploads.size(), std::size_t(1), 60000);
        const QString start = QStringLiteral("Tavrix::RQ::VideoConverter::Start: ") +
                              (copied ? QStringLiteral("Preparing ") : QStringLiteral("Converting ")) + path;
        QVERIFY2(log.Texts(google::GLOG_INFO).filter(start).size() == 1, qPrintable(log.Texts(google::GLOG_INFO).join('\n')));

        const QString output = m_out->filePath(QStringLiteral("out.mp4"));
        const ConvertationContext& done = manager.uploads.front();
        QCOMPARE(done.outputPath, ioPath(output.toStdString()));
        QCOMPARE(done.sourcePath, context.sourcePath);
        QCOMPARE(done.extra->data, std::string("kept along"));
        QCOMPARE(QDir(m_out->path()).entryList(QDir::Files), QStringList{QStringLiteral("out.mp4")});
        // The index comes first, so a player can start before the whole file arrived.
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.indexOf("moov") > 0 && bytes.indexOf("moov") < bytes.indexOf("mdat"));

        const QJsonObject probe = TestSupport::Probe(output);
        const QJsonObject format = probe.value(QStringLiteral("format")).toObject();
        const QJsonObject video = TestSupport::StreamOf(probe, QStringLiteral("video"));
        const QJsonObject audio = TestSupport::StreamOf(probe, QStringLiteral("audio"));
        const QStringList facts{Text(format, "format_name"), Text(video, "codec_name"),    Text(video, "width"),
                                Text(video, "height"),       Text(audio, "codec_name"),    Text(audio, "sample_rate"),
                                Text(audio, "channels")};
        QCOMPARE(facts.join(' '),
                 QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2 h264 %1 %2 aac 48000 2").arg(size.width()).arg(size.height()));
        const double duration = Text(format, "duration").toDouble();
        QVERIFY2(qAbs(duration - seconds) < 0.15, qPrintable(QString::number(duration)));
        // Noise makes the encoders spend what they may: near the preset's rates, never far above.
        const double videoRate = Text(video, "bit_rate").toDouble();
        const double audioRate = Text(audio, "bit_rate").toDouble();
        QVERIFY2(videoRate < 1.3 * kVideoRate && (copied || videoRate > 0.5 * kVideoRate), qPrintable(QString::number(videoRate)));
        QVERIFY2(audioRate < 1.15 * kAudioRate && (copied || audioRate > 0.5 * kAudioRate), qPrintable(QString::number(audioRate)));

        float last = 0.0f;
        for (const TestSupport::RecordingProgress::Step& step : progress->steps)
        {
            QVERIFY(step.fraction >= last && step.fraction <= 1.0f);
            last = step.fraction;
            // No guess before a second of work was seen.
            if (step.elapsed < QTime(0, 0, 1))
                QVERIFY2(!step.remaining.isValid(), qPrintable(step.remaining.toString()));
        }

        const QStringList sourcePackets = TestSupport::VideoPackets(path);
        const QStringList outputPackets = TestSupport::VideoPackets(output);
        QVERIFY(!outputPackets.isEmpty());
        if (!copied)
        {
            QVERIFY(!outputPackets.contains(sourcePackets.value(1)));
            return;
        }
        QStringList expected;
        for (int i = 0; i + 1 < kept.size(); i += 2)
            expected += sourcePackets.mid(kept[i], kept[i + 1] - kept[i]);
        QCOMPARE(outputPackets, expected);
    }

    // A request that cannot be converted is shown to the user, logged, and ends the sharing.
    void failuresAreReportedAndShown_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<CutIntervals>("cuts");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("reason");

        const CutIntervals none;
        QTest::newRow("no preset") << "clip 4x3.mp4" << "" << none << "" << "Cannot convert \"%1\": no export preset was chosen";
        QTest::newRow("not a video") << "presets.json" << "box360" << none << "" << "Not a media file: \"%1\": ";
        QTest::newRow("everything cut") << "clip 4x3.mp4" << "box360" << CutIntervals{{0, 5000000}} << ""
                                        << "Cannot convert \"%1\": the cuts remove the whole video";
        QTest::newRow("no ffmpeg") << "clip 4x3.mp4" << "box360" << none << "/nonexistent/ffmpeg"
                                   << "Cannot start /nonexistent/ffmpeg: ";
    }

    void failuresAreReportedAndShown()
    {
        QFETCH(QString, source);
        QFETCH(QString, preset);
        QFETCH(CutIntervals, cuts);
        QFETCH(QString, program);
        QFETCH(QString, reason);

        RecordingManager manager;
        VideoConverter converter(std::make_shared<RQ::FileManager>());
        converter.ServeSharing(&manager);
        QStringList shown;
        converter.SetFailurePresenter(
            [&shown](const QString& title, const QString& text) { shown << title << text; });
        if (!program.isEmpty())
            converter.SetProgram(program);
        QSignalSpy failed(&converter, &VideoConverter::Failed);
        TestSupport::LogCapture log;

        const QString path = m_dir.filePath(source);
        emit manager.ConvertingRequested(Context(path, preset, cuts, QStringLiteral("out.mp4")));
        QCOMPARE(failed.count(), 1);
        const QString expected = reason.contains(QLatin1String("%1")) ? reason.arg(path) : reason;
        const QString text = failed.first().first().toString();
        QVERIFY2(text.startsWith(expected), qPrintable(text));
        QCOMPARE(shown, (QStringList{QStringLiteral("Conversion failed"), text}));
        QCOMPARE(log.Texts(google::GLOG_ERROR),
                 QStringList{QStringLiteral("Tavrix::RQ::VideoConverter::Start: ") + text});
        QVERIFY(!converter.IsRunning());
        QCOMPARE(QDir(m_out->path()).entryList(QDir::Files), QStringList());
        // The sharing ends with it, though never from inside the service's own signal.
        QCOMPARE(manager.cancels, 0);
        QTRY_COMPARE(manager.cancels, 1);
    }

    // The progress window shows the conversion, and its Cancel ends it and the sharing.
    void progressWindowShowsAndCancels()
    {
        RecordingManager manager;
        const auto progress = std::make_shared<TestSupport::RecordingProgress>();
        VideoConverter converter(std::make_shared<RQ::FileManager>());
        converter.ServeSharing(&manager, progress);
        QSignalSpy canceled(&converter, &VideoConverter::Canceled);
        QSignalSpy finished(&converter, &VideoConverter::Finished);
        QSignalSpy failed(&converter, &VideoConverter::Failed);

        emit manager.ConvertingRequested(Context(m_long, QStringLiteral("box360"), {}, QStringLiteral("long.mp4")));
        QCOMPARE(progress->calls.mid(0, 2),
                 (QStringList{QStringLiteral("SetSaveFormatTextGetter"), QStringLiteral("OnStart")}));
        QCOMPARE(progress->textGetter(), QStringLiteral("Converting the video"));
        QCOMPARE(progress->started.outputPath, ioPath(m_out->filePath(QStringLiteral("long.mp4")).toStdString()));
        QTRY_VERIFY_WITH_TIMEOUT(!progress->steps.empty() && progress->steps.back().fraction > 0.0f, 30000);
        QVERIFY(progress->steps.back().fraction < 1.0f);

        QVERIFY(QFileInfo::exists(m_out->filePath(QStringLiteral("long.mp4.part"))));

        emit progress->CancelRequested();
        QVERIFY(!converter.IsRunning());
        QCOMPARE(canceled.count(), 1);
        QCOMPARE(progress->calls.last(), QStringLiteral("OnStop"));
        QTRY_COMPARE(manager.cancels, 1);
        QVERIFY(manager.uploads.empty());
        QCOMPARE(QDir(m_out->path()).entryList(QDir::Files), QStringList());
        // A second Cancel finds nothing to stop.
        converter.Cancel();
        QCOMPARE(canceled.count(), 1);
        QVERIFY(finished.isEmpty());
        QVERIFY(failed.isEmpty());
    }

private:
    // A request as the sharing dialog makes it, without a project: the converter probes.
    ConvertationContext Context(const QString& source, const QString& preset, const CutIntervals& cuts,
                                const QString& outputName) const
    {
        ConvertationContext context;
        context.sourcePath = ioPath(source.toStdString());
        context.outputPath = ioPath(m_out->filePath(outputName).toStdString());
        context.conversion.emplace();
        if (!preset.isEmpty())
            context.conversion->preset = m_presets->GetPreset(preset.toStdString());
        context.conversion->cutIntervals = cuts;
        return context;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<QTemporaryDir> m_out;
    boost::intrusive_ptr<ClientAPI::PresetStorage> m_presets;
    QString m_long;
};

TAVRIX_TEST_MAIN(TestVideoConverter)
#include "tst_VideoConverter.moc"
