#include "UI/MultiMediaHelper.h"

#include "AppServices.h"
#include "LogCapture.h"
#include "MediaFakes.h"
#include "TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Tavrix;
using Tavrix::RQ::ConvertationContext;
using Tavrix::RQ::CutIntervals;
using Tavrix::RQ::Service::Sharing::YouTube::UI::MultiMediaHelper;
using TestSupport::FakeStreamsBuilder;
using TestSupport::LogCapture;
using TestSupport::TestPreset;

Q_DECLARE_METATYPE(Tavrix::RQ::CutIntervals)

namespace {
const QString kYouTube = QStringLiteral("format_online_video_for_youtube");
const QString kDefault = QStringLiteral("default_preset_for_youtube");
constexpr qint64 kSecond = 1000000;

// Listed by the order file: p1080, p720, p360; the rest follow in file order.
const QList<TestPreset> kCatalogue{
    {"p360", {kYouTube}, "360p", QString::fromUtf8("360p klein"), 640, 360, 1000000},
    {"raw", {kYouTube}, "Original", "Original (roh)", 0, 0},
    {"vimeo", {QStringLiteral("format_for_vimeo")}, "Vimeo", "Vimeo", 1280, 720},
    {"p720", {kYouTube}, "720p", "720p gut", 1280, 720, 5000000},
    {"p1080", {kYouTube, kDefault}, "1080p", "1080p hoch", 1920, 1080, 8000000},
    {"framed", {kYouTube}, "Framed", "Gerahmt", 854, 480, 2500000, 384000, true},
};
const QStringList kOrder{"p1080", "p720", "p360"};

ConvertationContext MakeContext(const CutIntervals& cuts = {})
{
    ConvertationContext context;
    context.sourcePath = ioPath("/videos/clip.mp4");
    context.outputPath = ioPath("/videos/out/clip.mp4");
    context.conversion = ConvertationContext::Conversion{TestSupport::MakeProjectHandle(), nullptr, cuts, false};
    context.extra = ConvertationContext::Extra{"extra", 7};
    return context;
}
} // namespace

class TestMultiMediaHelper : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QComboBox> combo;
    std::unique_ptr<QLabel> resolution;
    std::unique_ptr<QLabel> size;
    std::unique_ptr<QLabel> duration;
    std::shared_ptr<FakeStreamsBuilder> builder;
    std::unique_ptr<MultiMediaHelper> helper;

    // Writes the catalogue files (none for an empty catalogue) and makes the helper over them.
    void MakeHelper(const QByteArray& presets = TestSupport::CatalogueJson(kCatalogue),
                    const QByteArray& order = TestSupport::OrderJson(kOrder))
    {
        if (!presets.isEmpty())
        {
            QVERIFY(TestSupport::WriteFile(dir->filePath(QStringLiteral("Presets-utf8-orbitrec-sharing.json")), presets));
            QVERIFY(TestSupport::WriteFile(dir->filePath(QStringLiteral("PresetsOrder-utf8-orbitrec-sharing.json")), order));
        }
        helper = std::make_unique<MultiMediaHelper>(combo.get(), resolution.get(), size.get(), duration.get(),
                                                    ClientAPI::PresetStorage::Create(), builder);
    }

    QStringList Items(int role) const
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemData(i, role).toString();
        return items;
    }

    QStringList Labels() const { return {resolution->text(), size->text(), duration->text()}; }

    void Select(const QString& id)
    {
        const int index = combo->findData(id, Qt::UserRole);
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        App::SetPathToResources(ioPath(dir->path().toStdString()));
        combo = std::make_unique<QComboBox>();
        resolution = std::make_unique<QLabel>();
        size = std::make_unique<QLabel>();
        duration = std::make_unique<QLabel>();
        builder = std::make_shared<FakeStreamsBuilder>();
        builder->video = FakeStreamsBuilder::MakeVideo(1920, 1080, 60 * kSecond);
        builder->audio = Proc::Stream::CreateAudio(60 * kSecond, 128000);
    }

    void cleanup()
    {
        helper.reset();
        combo.reset();
        App::SetPathToResources(ioPath());
        QLocale::setDefault(QLocale::c());
    }

    // Catalogues written as identifiers: a "*" after one tags it the default, a "-" before one keeps it
    // off the YouTube list.
    void defaultSelection_data()
    {
        QTest::addColumn<QStringList>("catalogue");
        QTest::addColumn<int>("index");
        QTest::newRow("default in the list") << QStringList{"a", "b*", "c"} << 1;
        QTest::newRow("the later of two equal identifiers") << QStringList{"b*", "a", "b"} << 2;
        QTest::newRow("no default tag") << QStringList{"a", "b"} << -1;
        QTest::newRow("default not offered for YouTube") << QStringList{"a", "-z*"} << -1;
        QTest::newRow("only the first default counts") << QStringList{"-z*", "a", "b*"} << -1;
    }

    void defaultSelection()
    {
        QFETCH(QStringList, catalogue);
        QFETCH(int, index);
        QList<TestPreset> presets;
        for (QString id : catalogue)
        {
            TestPreset preset{id, {}, id, QString()};
            if (!id.startsWith('-'))
                preset.tags << kYouTube;
            if (id.endsWith('*'))
                preset.tags << kDefault;
            preset.id = id.remove('-').remove('*');
            presets << preset;
        }
        MakeHelper(TestSupport::CatalogueJson(presets), TestSupport::OrderJson({}));
        QCOMPARE(combo->currentIndex(), index);
        // Without a selection the catalogue is asked for the empty identifier.
        const Conf::IPresetPtr preset = helper->GetCurrentPreset();
        QCOMPARE(preset ? QString::fromStdString(preset->GetId()) : QString(), combo->itemData(index).toString());
    }

    void madeWithoutCatalogueOrBuilder()
    {
        QVERIFY_EXCEPTION_THROWN(MultiMediaHelper(combo.get(), resolution.get(), size.get(), duration.get(),
                                                  ClientAPI::PresetStorage::Create(), nullptr),
                                 std::logic_error);
        LogCapture log;
        MakeHelper(QByteArray());
        const QStringList errors = log.Texts(google::GLOG_ERROR);
        QCOMPARE(errors.size(), 2);
        QVERIFY2(errors[0].contains(dir->filePath(QStringLiteral("Presets-utf8-orbitrec-sharing.json"))), qPrintable(errors[0]));
        QVERIFY2(errors[1].contains(dir->filePath(QStringLiteral("PresetsOrder-utf8-orbitrec-sharing.json"))),
                 qPrintable(errors[1]));
        QCOMPARE(combo->count(), 0);
        QVERIFY(!helper->GetCurrentPreset());

        // A context still shows what can be said without a preset.
        helper->SetContext(MakeContext());
        QCOMPARE(Labels(), (QStringList{"-", QString(), "01:00"}));
    }

    void languageChangeRelabelsOnly()
    {
        MakeHelper();
        QCOMPARE(Items(Qt::UserRole), (QStringList{"p1080", "p720", "p360", "raw", "framed"}));
        QCOMPARE(Items(Qt::DisplayRole), (QStringList{"1080p", "720p", "360p", "Original", "Framed"}));
        helper->SetContext(MakeContext());
        Select(QStringLiteral("p360"));
        const QStringList facts{"keep", "these", "texts"};
        resolution->setText(facts[0]);
        size->setText(facts[1]);
        duration->setText(facts[2]);
        QSignalSpy changes(combo.get(), QOverload<int>::of(&QComboBox::currentIndexChanged));

        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        helper->RetranslatePresets();
        QCOMPARE(Items(Qt::DisplayRole), (QStringList{"1080p hoch", "720p gut", "360p klein", "Original (roh)", "Gerahmt"}));
        QCOMPARE(Items(Qt::UserRole), (QStringList{"p1080", "p720", "p360", "raw", "framed"}));
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(Labels(), facts);
    }

    // What the labels say of a source for a preset; the duration follows the host's cut convention,
    // the size the cuts as removed parts.
    void facts_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QSize>("frame"); // empty: no video stream
        QTest::addColumn<qint64>("videoUs");
        QTest::addColumn<qint64>("audioUs");
        QTest::addColumn<CutIntervals>("cuts");
        QTest::addColumn<QStringList>("labels");

        const qint64 minute = 60 * kSecond;
        const CutIntervals none;
        const QSize full(1920, 1080);
        QTest::newRow("resize filter after another filter")
            << "framed" << full << minute << minute << none << QStringList{"854x480", "20.6 MB", "01:00"};
        QTest::newRow("no resize filter") << "raw" << QSize(1440, 1080) << minute << minute << none
                                          << QStringList{"-", "60.0 MB", "01:00"};
        QTest::newRow("no video stream: measured as 1920x1080, no duration")
            << "p1080" << QSize() << 0LL << minute << none << QStringList{"1920x1080", "60.0 MB", "00:00"};
        QTest::newRow("the longer stream sets the size")
            << "p1080" << full << minute << 2 * minute << none << QStringList{"1920x1080", "120 MB", "01:00"};
        QTest::newRow("three hours") << "p1080" << full << 180 * minute << 180 * minute << none
                                     << QStringList{"1920x1080", "10.5 GB", "03:00:00"};
        QTest::newRow("no cuts") << "p1080" << full << qint64(90500000) << minute << none
                                 << QStringList{"1920x1080", "90.5 MB", "01:30"};
        QTest::newRow("one interval") << "p1080" << full << qint64(90500000) << minute << CutIntervals{{0, 2592030000000}}
                                      << QStringList{"1920x1080", "0 B", "02:00"};
        // The size counts the nested cut once and takes the last one end first.
        QTest::newRow("intervals add first minus second")
            << "p1080" << full << qint64(90500000) << minute
            << CutIntervals{{30000000, 2592010000000}, {40000000, 50000000}, {20000000, 10000000}}
            << QStringList{"1920x1080", "20.0 MB", "01:10"};
        QTest::newRow("under a millisecond below zero truncates to zero")
            << "p1080" << full << 0LL << minute << CutIntervals{{-2591999999500, 0}} << QStringList{"1920x1080", "60.0 MB", "00:00"};
        // 60 s less 30 days is -2 591 940 000 ms, which wraps to 1 703 027 296 ms.
        QTest::newRow("milliseconds are passed in 32 bits")
            << "p1080" << full << minute << minute << CutIntervals{{0, 0}} << QStringList{"1920x1080", "60.0 MB", "473:03:47"};
    }

    void facts()
    {
        QFETCH(QString, preset);
        QFETCH(QSize, frame);
        QFETCH(qint64, videoUs);
        QFETCH(qint64, audioUs);
        QFETCH(CutIntervals, cuts);

        builder->video = frame.isEmpty() ? nullptr : FakeStreamsBuilder::MakeVideo(frame.width(), frame.height(), videoUs);
        builder->audio = Proc::Stream::CreateAudio(audioUs, 128000);
        MakeHelper();
        Select(preset);
        helper->SetContext(MakeContext(cuts));
        QTEST(Labels(), "labels");
        QCOMPARE(builder->lastCutIntervals, cuts);
    }

    void labelsChangeOnlyWithAContext()
    {
        MakeHelper();
        Select(QStringLiteral("p720"));
        QCOMPARE(Labels(), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(builder->setCount, 0);

        helper->SetContext(MakeContext());
        QCOMPARE(builder->setCount, 1);
        QCOMPARE(helper->GetContext().sourcePath, ioPath("/videos/clip.mp4"));
        QCOMPARE(Labels(), (QStringList{"1280x720", "38.5 MB", "01:00"}));
        // With a context, a choice in the list shows its facts at once.
        Select(QStringLiteral("p1080"));
        const QStringList shown{"1920x1080", "60.0 MB", "01:00"};
        QCOMPARE(Labels(), shown);

        helper->Reset();
        QCOMPARE(builder->releaseCount, 1);
        const ConvertationContext& forgotten = helper->GetContext();
        QVERIFY(forgotten.sourcePath.empty());
        QVERIFY(forgotten.outputPath.empty());
        QVERIFY(!forgotten.conversion);
        QVERIFY(!forgotten.extra);

        Select(QStringLiteral("p360"));
        QCOMPARE(Labels(), shown);
        QCOMPARE(helper->GetCurrentPreset()->GetId(), std::string("p360"));
    }

    void contextWithoutProjectShowsNoFacts()
    {
        MakeHelper();
        ConvertationContext context = MakeContext();
        context.conversion->project.reset();
        helper->SetContext(context);
        QCOMPARE(builder->setCount, 1);
        // Without conversion settings there is nothing to ask the streams builder.
        context.conversion.reset();
        LogCapture log;
        helper->SetContext(context);
        QCOMPARE(log.Texts(google::GLOG_ERROR),
                 QStringList{"Tavrix::RQ::Service::Sharing::YouTube::UI::MultiMediaHelper::SetContext: "
                             "The context of /videos/clip.mp4 has no conversion settings"});
        QCOMPARE(builder->setCount, 1);
        Select(QStringLiteral("p720"));
        QCOMPARE(Labels(), (QStringList{QString(), QString(), QString()}));
    }
};

TAVRIX_TEST_MAIN(TestMultiMediaHelper)
#include "tst_MultiMediaHelper.moc"
