#include "UI/MultiMediaHelper.h"

#include "AppServices.h"
#include "LogCapture.h"
#include "MediaFakes.h"
#include "TestMain.h"

#include <QComboBox>
#include <QFileInfo>
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

    void WriteCatalogue(const QByteArray& presets, const QByteArray& order = TestSupport::OrderJson(kOrder))
    {
        QVERIFY(TestSupport::WriteFile(dir->filePath(QStringLiteral("Presets-utf8-orbitrec-sharing.json")), presets));
        QVERIFY(TestSupport::WriteFile(dir->filePath(QStringLiteral("PresetsOrder-utf8-orbitrec-sharing.json")), order));
    }

    void MakeHelper()
    {
        helper = std::make_unique<MultiMediaHelper>(combo.get(), resolution.get(), size.get(), duration.get(),
                                                    ClientAPI::PresetStorage::Create(), builder);
    }

    QStringList ItemTexts() const
    {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    }

    QStringList ItemIds() const
    {
        QStringList ids;
        for (int i = 0; i < combo->count(); ++i)
            ids << combo->itemData(i, Qt::UserRole).toString();
        return ids;
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

    void listFollowsTheOrderFile()
    {
        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        MakeHelper();
        QCOMPARE(ItemIds(), (QStringList{"p1080", "p720", "p360", "raw", "framed"}));
        QCOMPARE(ItemTexts(), (QStringList{"1080p", "720p", "360p", "Original", "Framed"}));
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(helper->GetCurrentPreset()->GetId(), std::string("p1080"));
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

        WriteCatalogue(catalogue, TestSupport::OrderJson({}));
        MakeHelper();
        QCOMPARE(combo->currentIndex(), index);
        if (index < 0)
        {
            // Without a selection the catalogue is asked for the empty identifier.
            QVERIFY(!helper->GetCurrentPreset());
            return;
        }
        QCOMPARE(QString::fromStdString(helper->GetCurrentPreset()->GetId()), combo->itemData(index).toString());
    }

    void missingCatalogueGivesAnEmptyList()
    {
        LogCapture log;
        MakeHelper();
        const QString folder = dir->path();
        QCOMPARE(log.Texts(google::GLOG_ERROR),
                 (QStringList{QStringLiteral("Tavrix::ClientAPI::PresetStorage::LoadPresets: Cannot read presets file "
                                             "\"%1/Presets-utf8-orbitrec-sharing.json\": No such file or directory")
                                  .arg(folder),
                              QStringLiteral("Tavrix::ClientAPI::PresetOrderer::Create: Cannot read order file "
                                             "\"%1/PresetsOrder-utf8-orbitrec-sharing.json\": No such file or directory")
                                  .arg(folder)}));
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->currentIndex(), -1);
        QVERIFY(!helper->GetCurrentPreset());

        // A context still shows what can be said without a preset.
        helper->SetContext(MakeContext());
        QCOMPARE(Labels(), (QStringList{"-", QString(), "01:00"}));
    }

    void shippedCatalogue()
    {
        const QString shipped = QFINDTESTDATA("../resources/Presets-utf8-orbitrec-sharing.json");
        QVERIFY(!shipped.isEmpty());
        App::SetPathToResources(ioPath(QFileInfo(shipped).absolutePath().toStdString()));
        builder->video = FakeStreamsBuilder::MakeVideo(1366, 768, 60 * kSecond);
        MakeHelper();

        QCOMPARE(combo->count(), 6);
        QCOMPARE(combo->itemText(0), QString::fromUtf8("2160p 4K – best quality"));
        QCOMPARE(combo->itemText(5), QString::fromUtf8("360p – small file"));
        QCOMPARE(combo->currentText(), QString::fromUtf8("1080p Full HD – high quality"));

        helper->SetContext(MakeContext());
        QCOMPARE(Labels(), (QStringList{"1920x1080", "60.0 MB", "01:00"}));
        // 1366x768 is a little wider than 16:9.
        combo->setCurrentIndex(0);
        QCOMPARE(Labels(), (QStringList{"3840x2158", "289 MB", "01:00"}));
    }

    void languageChangeRelabelsOnly()
    {
        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        MakeHelper();
        helper->SetContext(MakeContext());
        Select(QStringLiteral("p360"));
        const QStringList facts{"keep", "these", "texts"};
        resolution->setText(facts[0]);
        size->setText(facts[1]);
        duration->setText(facts[2]);
        QSignalSpy changes(combo.get(), QOverload<int>::of(&QComboBox::currentIndexChanged));

        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        helper->RetranslatePresets();
        QCOMPARE(ItemTexts(), (QStringList{"1080p hoch", "720p gut", "360p klein", "Original (roh)", "Gerahmt"}));
        QCOMPARE(ItemIds(), (QStringList{"p1080", "p720", "p360", "raw", "framed"}));
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

        QTest::newRow("4:3 source in 1080p") << "p1080" << 1440 << 1080 << "1440x1080";
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

        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        builder->video = sourceWidth ? FakeStreamsBuilder::MakeVideo(sourceWidth, sourceHeight, 60 * kSecond) : nullptr;
        MakeHelper();
        Select(preset);
        helper->SetContext(MakeContext());
        QCOMPARE(resolution->text(), expected);
    }

    void sizeFromTheTuner()
    {
        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        MakeHelper();
        helper->SetContext(MakeContext());
        // (8 000 000 + 384 000) bit/s for 60 s
        QCOMPARE(size->text(), QStringLiteral("60.0 MB"));
        Select(QStringLiteral("p720"));
        QCOMPARE(size->text(), QStringLiteral("38.5 MB"));
        // The longer audio stream sets the duration of the estimate.
        builder->audio = Proc::Stream::CreateAudio(120 * kSecond, 128000);
        helper->SetContext(MakeContext());
        QCOMPARE(size->text(), QStringLiteral("77.0 MB"));
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

        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        builder->video = videoUs < 0 ? nullptr : FakeStreamsBuilder::MakeVideo(1920, 1080, videoUs);
        MakeHelper();
        helper->SetContext(MakeContext(cuts));
        QCOMPARE(duration->text(), expected);
        QCOMPARE(builder->lastCutIntervals, cuts);
    }

    void labelsChangeOnlyWithAContext()
    {
        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        MakeHelper();
        Select(QStringLiteral("p720"));
        QCOMPARE(Labels(), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(builder->setCount, 0);

        helper->SetContext(MakeContext());
        QCOMPARE(builder->setCount, 1);
        QCOMPARE(helper->GetContext().sourcePath, ioPath("/videos/clip.mp4"));
        const QStringList shown{"1280x720", "38.5 MB", "01:00"};
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
        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        MakeHelper();
        ConvertationContext context = MakeContext();
        context.conversion->project.reset();
        helper->SetContext(context);
        QCOMPARE(builder->setCount, 1);
        Select(QStringLiteral("p720"));
        QCOMPARE(Labels(), (QStringList{QString(), QString(), QString()}));
    }

    void contextWithoutConversionShowsNoFacts()
    {
        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        MakeHelper();
        ConvertationContext context = MakeContext();
        context.conversion.reset();
        LogCapture log;
        helper->SetContext(context);
        QCOMPARE(log.Texts(google::GLOG_ERROR),
                 QStringList{"Tavrix::RQ::Service::Sharing::YouTube::UI::MultiMediaHelper::SetContext: "
                             "The context of /videos/clip.mp4 has no conversion settings"});
        QCOMPARE(builder->setCount, 0);
        Select(QStringLiteral("p720"));
        QCOMPARE(Labels(), (QStringList{QString(), QString(), QString()}));
    }

    void emptyStreamsBuilderIsRefused()
    {
        WriteCatalogue(TestSupport::CatalogueJson(kCatalogue));
        try
        {
            MultiMediaHelper refused(combo.get(), resolution.get(), size.get(), duration.get(),
                                     ClientAPI::PresetStorage::Create(), nullptr);
            QFAIL("an empty streams builder was accepted");
        }
        catch (const std::logic_error& error)
        {
            QCOMPARE(error.what(), "NotNull can not initialized by null");
        }
    }
};

TAVRIX_TEST_MAIN(TestMultiMediaHelper)
#include "tst_MultiMediaHelper.moc"
