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

    void defaultSelection_data()
    {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<int>("index");

        QTest::newRow("default in the list")
            << TestSupport::CatalogueJson({{"a", {kYouTube}, "A", QString()},
                                           {"b", {kYouTube, kDefault}, "B", QString()},
                                           {"c", {kYouTube}, "C", QString()}})
            << 1;
        QTest::newRow("the later of two equal identifiers")
            << TestSupport::CatalogueJson({{"b", {kYouTube, kDefault}, "B1", QString()},
                                           {"a", {kYouTube}, "A", QString()},
                                           {"b", {kYouTube}, "B2", QString()}})
            << 2;
        QTest::newRow("no default tag")
            << TestSupport::CatalogueJson({{"a", {kYouTube}, "A", QString()}, {"b", {kYouTube}, "B", QString()}})
            << -1;
        QTest::newRow("default not offered for YouTube")
            << TestSupport::CatalogueJson({{"a", {kYouTube}, "A", QString()}, {"z", {kDefault}, "Z", QString()}})
            << -1;
        QTest::newRow("only the first default counts")
            << TestSupport::CatalogueJson({{"z", {kDefault}, "Z", QString()},
                                           {"a", {kYouTube}, "A", QString()},
                                           {"b", {kYouTube, kDefault}, "B", QString()}})
            << -1;
    }

    void defaultSelection()
    {
        QFETCH(QByteArray, catalogue);
        QFETCH(int, index);

        MakeHelper(catalogue, TestSupport::OrderJson({}));
        QCOMPARE(combo->currentIndex(), index);
        // Without a selection the catalogue is asked for the empty identifier.
        const Conf::IPresetPtr preset = helper->GetCurrentPreset();
        QCOMPARE(preset ? QString::fromStdString(preset->GetId()) : QString(), combo->itemData(index).toString());
    }

    void missingCatalogueGivesAnEmptyList()
    {
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

        // Blocking is put back as it was found.
        combo->blockSignals(true);
        helper->RetranslatePresets();
        QVERIFY(combo->signalsBlocked());
        combo->blockSignals(false);
        helper->RetranslatePresets();
        QVERIFY(!combo->signalsBlocked());
        QCOMPARE(changes.count(), 0);
    }

    void resolutionFact_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<int>("sourceWidth"); // 0: no video stream
        QTest::addColumn<int>("sourceHeight");
        QTest::addColumn<QString>("expected");

        QTest::newRow("portrait source in 720p") << "p720" << 1080 << 1920 << "406x720";
        QTest::newRow("no video is measured as 1920x1080") << "p1080" << 0 << 0 << "1920x1080";
        QTest::newRow("resize filter after another filter") << "framed" << 1920 << 1080 << "854x480";
        QTest::newRow("no resize filter") << "raw" << 1440 << 1080 << "-";
    }

    void resolutionFact()
    {
        QFETCH(QString, preset);
        QFETCH(int, sourceWidth);
        QFETCH(int, sourceHeight);
        QFETCH(QString, expected);

        builder->video = sourceWidth ? FakeStreamsBuilder::MakeVideo(sourceWidth, sourceHeight, 60 * kSecond) : nullptr;
        MakeHelper();
        Select(preset);
        helper->SetContext(MakeContext());
        QCOMPARE(resolution->text(), expected);
    }

    void sizeCountsTheLongerStream()
    {
        builder->audio = Proc::Stream::CreateAudio(120 * kSecond, 128000);
        MakeHelper();
        helper->SetContext(MakeContext());
        // (8 000 000 + 384 000) bit/s for 120 s
        QCOMPARE(size->text(), QStringLiteral("120 MB"));
    }

    void durationFact_data()
    {
        QTest::addColumn<CutIntervals>("cuts");
        QTest::addColumn<qint64>("videoUs"); // -1: no video stream
        QTest::addColumn<QString>("expected");

        QTest::newRow("no cuts") << CutIntervals() << qint64(90500000) << "01:30";
        QTest::newRow("no video stream") << CutIntervals() << qint64(-1) << "00:00";
        QTest::newRow("one interval") << CutIntervals{{0, 2592030000000}} << qint64(90500000) << "02:00";
        QTest::newRow("intervals add first minus second")
            << CutIntervals{{5000000, 2592010000000}, {20000000, 10000000}} << qint64(90500000) << "01:25";
        QTest::newRow("under a millisecond below zero truncates to zero")
            << CutIntervals{{-2591999999500, 0}} << qint64(0) << "00:00";
        // 60 s less 30 days is -2 591 940 000 ms, which wraps to 1 703 027 296 ms.
        QTest::newRow("milliseconds are passed in 32 bits") << CutIntervals{{0, 0}} << qint64(60 * kSecond)
                                                             << "473:03:47";
    }

    void durationFact()
    {
        QFETCH(CutIntervals, cuts);
        QFETCH(qint64, videoUs);
        QFETCH(QString, expected);

        builder->video = videoUs < 0 ? nullptr : FakeStreamsBuilder::MakeVideo(1920, 1080, videoUs);
        MakeHelper();
        helper->SetContext(MakeContext(cuts));
        QCOMPARE(duration->text(), expected);
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

    void contextWithoutProjectShowsNoFacts_data()
    {
        QTest::addColumn<bool>("conversion");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("no project") << true << QStringList();
        QTest::newRow("no conversion") << false
                                       << QStringList{"Tavrix::RQ::Service::Sharing::YouTube::UI::MultiMediaHelper::SetContext: "
                                                      "The context of /videos/clip.mp4 has no conversion settings"};
    }

    void contextWithoutProjectShowsNoFacts()
    {
        QFETCH(bool, conversion);
        MakeHelper();
        ConvertationContext context = MakeContext();
        if (conversion)
            context.conversion->project.reset();
        else
            context.conversion.reset();
        LogCapture log;
        helper->SetContext(context);
        QTEST(log.Texts(google::GLOG_ERROR), "errors");
        QCOMPARE(builder->setCount, conversion ? 1 : 0);
        Select(QStringLiteral("p720"));
        QCOMPARE(Labels(), (QStringList{QString(), QString(), QString()}));
    }

    void emptyStreamsBuilderIsRefused()
    {
        QVERIFY_EXCEPTION_THROWN(MultiMediaHelper(combo.get(), resolution.get(), size.get(), duration.get(),
                                                  ClientAPI::PresetStorage::Create(), nullptr),
                                 std::logic_error);
    }
};

TAVRIX_TEST_MAIN(TestMultiMediaHelper)
#include "tst_MultiMediaHelper.moc"
