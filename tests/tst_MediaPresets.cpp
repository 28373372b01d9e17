#include "MediaPresets.h"

#include "AppServices.h"
#include "LogCapture.h"
#include "MediaFakes.h"
#include "TestMain.h"

#include <QLocale>
#include <QTemporaryDir>

using namespace Tavrix;
using ClientAPI::PresetOrderer;
using ClientAPI::PresetStorage;
using TestSupport::LogCapture;
using TestSupport::TestPreset;

Q_DECLARE_METATYPE(Tavrix::Conf::FrameInfo)

namespace {
const QString kYouTube = QStringLiteral("format_online_video_for_youtube");
const QString kDefault = QStringLiteral("default_preset_for_youtube");

QStringList TaggedIds(const PresetStorage& storage, const QString& tag)
{
    std::vector<Conf::IPresetPtr> presets;
    storage.GetPresetsByTag(tag.toStdString(), presets);
    QStringList ids;
    for (const Conf::IPresetPtr& preset : presets)
        ids << QString::fromStdString(preset->GetId());
    return ids;
}

// The settings child of the preset's first resize filter, or null.
const Core::Property* ResizeSettings(const Conf::IPresetPtr& preset)
{
    for (std::size_t i = 0; i < preset->GetFiltersCount(); ++i)
        if (const Core::Property* found = preset->GetFilterProperty(i).FindChild(Proc::IFilterResize::CLASS_ID))
            return found;
    return nullptr;
}
} // namespace

class TestMediaPresets : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    boost::intrusive_ptr<PresetStorage> storage;

    ioPath Write(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        if (!TestSupport::WriteFile(path, content))
            qFatal("cannot write %s", qPrintable(path));
        return ioPath(path.toStdString());
    }

    ioPath Catalogue(const QList<TestPreset>& presets)
    {
        return Write(QStringLiteral("presets.json"), TestSupport::CatalogueJson(presets));
    }

    ioPath Shipped(const char* name) const { return App::GetPathToResources() / name; }

private slots:
    void init()
    {
        storage = PresetStorage::Create();
        QLocale::setDefault(QLocale::c());
    }

    // The catalogue the product ships: best first, each an MP4 the site takes, sized as it is named.
    void shippedCatalogue()
    {
        LogCapture log;
        QVERIFY(storage->LoadPresets(Shipped("Presets-utf8-orbitrec-sharing.json"), ioPath()));
        storage->SetPresetOrderer(PresetOrderer::Create(Shipped("PresetsOrder-utf8-orbitrec-sharing.json")));
        QCOMPARE(log.Texts(google::GLOG_ERROR), QStringList());

        const QList<int> heights{2160, 1440, 1080, 720, 480, 360};
        std::vector<Conf::IPresetPtr> presets;
        storage->GetPresetsByTag(kYouTube.toStdString(), presets);
        QCOMPARE(int(presets.size()), heights.size());
        for (int i = 0; i < heights.size(); ++i)
        {
            const Conf::IPresetPtr& preset = presets[std::size_t(i)];
            QCOMPARE(QString::fromStdString(preset->GetId()), QStringLiteral("youtube_mp4_h264_aac_%1p").arg(heights[i]));
            QCOMPARE(QStringList({QString::fromStdString(preset->GetFileExtension()),
                                  QString::fromStdString(preset->GetVideoCodec()),
                                  QString::fromStdString(preset->GetAudioCodec())}),
                     (QStringList{"mp4", "h264", "aac"}));
            QCOMPARE(Proc::IFilterResize::Property2Settings(*ResizeSettings(preset)).height, heights[i]);
            QVERIFY(storage->LocalizedName(preset->GetId()) != preset->GetId());
        }
        QCOMPARE(TaggedIds(*storage, kDefault), QStringList{QStringLiteral("youtube_mp4_h264_aac_1080p")});
    }

    void orderFile_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("listed first, rest in file order") << QStringList{"c", "a"} << QStringList{"c", "a", "b", "d"};
        QTest::newRow("unknown identifiers are skipped") << QStringList{"x", "d", "y"} << QStringList{"d", "a", "b", "c"};
        QTest::newRow("empty order") << QStringList() << QStringList{"a", "b", "c", "d"};
    }

    void orderFile()
    {
        QFETCH(QStringList, order);
        QList<TestPreset> presets;
        for (const char* id : {"a", "b", "c", "d"})
            presets.append(TestPreset{QString::fromLatin1(id), {kYouTube}});
        QVERIFY(storage->LoadPresets(Catalogue(presets), ioPath()));
        storage->SetPresetOrderer(PresetOrderer::Create(Write(QStringLiteral("order.json"), TestSupport::OrderJson(order))));
        QTEST(TaggedIds(*storage, kYouTube), "expected");
    }

    void tagsAndDuplicates()
    {
        // Two presets share "dup"; their file order survives ordering.
        QVERIFY(storage->LoadPresets(Catalogue({TestPreset{"dup", {kYouTube}, "first"},
                                                TestPreset{"other", {QStringLiteral("format_for_vimeo")}, "other"},
                                                TestPreset{"top", {kYouTube, kDefault}, "top"},
                                                TestPreset{"dup", {kYouTube, kDefault}, "second"}}),
                                     ioPath()));
        storage->SetPresetOrderer(PresetOrderer::Create(Write(QStringLiteral("order.json"), TestSupport::OrderJson({"top"}))));

        QCOMPARE(TaggedIds(*storage, kYouTube), (QStringList{"top", "dup", "dup"}));
        QCOMPARE(TaggedIds(*storage, kDefault), (QStringList{"top", "dup"}));
        QCOMPARE(TaggedIds(*storage, QStringLiteral("no such tag")), QStringList());

        // Look-up by identifier finds the first of the two, which stays ahead of the second.
        std::vector<Conf::IPresetPtr> youtube;
        storage->GetPresetsByTag(kYouTube.toStdString(), youtube);
        QCOMPARE(storage->GetPreset("dup"), youtube[1]);
        QVERIFY(!storage->GetPreset("unknown"));
    }

    void localizedName_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expected");

        QTest::newRow("German") << "de_DE" << "both" << QString::fromUtf8("Hohe Qualität");
        QTest::newRow("German of Austria falls to the language") << "de_AT" << "both"
                                                                  << QString::fromUtf8("Hohe Qualität");
        QTest::newRow("Swiss German has its own") << "de_CH" << "swiss" << QString::fromUtf8("Hochi Qualität");
        QTest::newRow("French falls back to English") << "fr_FR" << "both" << "High quality";
        QTest::newRow("no names: the identifier") << "de_DE" << "nameless" << "nameless";
        QTest::newRow("unknown preset: empty") << "de_DE" << "unknown" << QString();
    }

    void localizedName()
    {
        QFETCH(QString, locale);
        QFETCH(QString, id);
        QFETCH(QString, expected);

        QByteArray json = TestSupport::CatalogueJson(
            {TestPreset{"both", {kYouTube}, "High quality", QString::fromUtf8("Hohe Qualität")},
             TestPreset{"nameless", {kYouTube}}, TestPreset{"swiss", {kYouTube}, "High"}});
        json.replace("\"High\"", QString::fromUtf8("\"High\", \"de_CH\": \"Hochi Qualität\"").toUtf8());
        QVERIFY(storage->LoadPresets(Write(QStringLiteral("names.json"), json), ioPath()));

        QLocale::setDefault(QLocale(locale));
        QCOMPARE(QString::fromStdString(storage->LocalizedName(id.toStdString())), expected);
    }

    void badFile_data()
    {
        QTest::addColumn<bool>("orderFile");
        QTest::addColumn<QByteArray>("content"); // empty: no such file
        QTest::addColumn<QString>("problem");

        const QByteArray good = TestSupport::CatalogueJson({TestPreset{"a", {kYouTube}, "A", QString(), 640, 360}});
        // A good catalogue with one text replaced.
        const auto edited = [&good](const char* from, const char* to) { return QByteArray(good).replace(from, to); };
        const QByteArray noId = edited("\"id\": \"a\"", "\"id\": \"\"");
        const QByteArray negative = edited("\"bitRate\": 8000000", "\"bitRate\": -5");
        const QByteArray arraySetting = edited("\"width\": 640", "\"width\": [640]");
        const QByteArray noMedia = edited("\"video\"", "\"vid\"").replace("\"audio\"", "\"aud\"");

        QTest::newRow("missing") << false << QByteArray() << "No such file or directory";
        QTest::newRow("not JSON") << false << QByteArray("{ \"format\": ") << "JSON error at offset 12: unterminated object";
        QTest::newRow("not an object") << false << QByteArray("[]") << "the top level is not an object";
        QTest::newRow("other format") << false << QByteArray(R"({"format": "tavrix-presets-order", "version": 1, "order": []})")
                                      << "\"format\" is not \"tavrix-presets\"";
        QTest::newRow("newer version") << false << QByteArray(R"({"format": "tavrix-presets", "version": 2, "presets": []})")
                                       << "\"version\" is not 1";
        QTest::newRow("no presets") << false << QByteArray(R"({"format": "tavrix-presets", "version": 1})")
                                    << "\"presets\" must be an array";
        QTest::newRow("empty id") << false << noId << "preset 0: \"id\" must be a non-empty string";
        QTest::newRow("negative bit rate")
            << false << negative << "preset 0 (\"a\").video: \"bitRate\" must be a positive whole number";
        QTest::newRow("array in filter settings")
            << false << arraySetting << "preset 0 (\"a\") filter 0: setting \"width\" is an array, which filters do not take";
        QTest::newRow("neither video nor audio") << false << noMedia << "preset 0 (\"a\"): neither \"video\" nor \"audio\"";

        QTest::newRow("missing order") << true << QByteArray() << "No such file or directory";
        QTest::newRow("order not a list") << true
                                          << QByteArray(R"({"format": "tavrix-presets-order", "version": 1, "order": "b"})")
                                          << "\"order\" must be an array";
        QTest::newRow("number in the order")
            << true << QByteArray(R"({"format": "tavrix-presets-order", "version": 1, "order": ["b", 3]})")
            << "\"order\" must hold non-empty strings";
    }

    void badFile()
    {
        QFETCH(bool, orderFile);
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);

        QVERIFY(storage->LoadPresets(Catalogue({TestPreset{"a", {kYouTube}, "A"}, TestPreset{"b", {kYouTube}, "B"}}),
                                     ioPath()));
        const ioPath path = content.isEmpty() ? ioPath(dir.filePath(QStringLiteral("absent.json")).toStdString())
                                              : Write(QStringLiteral("bad.json"), content);
        LogCapture log;
        if (orderFile)
            storage->SetPresetOrderer(PresetOrderer::Create(path));
        else
            QVERIFY(!storage->LoadPresets(path, ioPath()));
        const QString line = QStringLiteral("Tavrix::ClientAPI::%1: %2 %3 file \"%4\": %5")
                                 .arg(orderFile ? "PresetOrderer::Create" : "PresetStorage::LoadPresets",
                                      content.isEmpty() ? "Cannot read" : "Malformed", orderFile ? "order" : "presets",
                                      QString::fromStdString(path.utf8string()), problem);
        QCOMPARE(log.Texts(google::GLOG_ERROR), QStringList{line});
        // A failed load leaves nothing of the earlier catalogue; nothing of a half-read order applies.
        QCOMPARE(TaggedIds(*storage, kYouTube), orderFile ? QStringList({"a", "b"}) : QStringList());
    }

    void resizeOutput_data()
    {
        QTest::addColumn<QSize>("box");
        QTest::addColumn<Conf::FrameInfo>("source");
        QTest::addColumn<QSize>("output");

        using Frame = Conf::FrameInfo;
        QTest::newRow("laptop screen rounds to even") << QSize(1920, 1080) << Frame{1366, 768} << QSize(1920, 1080);
        QTest::newRow("4:3 is pillar-boxed") << QSize(1280, 720) << Frame{1440, 1080} << QSize(960, 720);
        QTest::newRow("portrait phone") << QSize(1920, 1080) << Frame{1080, 1920} << QSize(608, 1080);
        QTest::newRow("ultra-wide") << QSize(1920, 1080) << Frame{3440, 1440} << QSize(1920, 804);
        QTest::newRow("pixel aspect stretches width") << QSize(1920, 1080) << Frame{720, 576, 16, 15} << QSize(1440, 1080);
        QTest::newRow("odd box is made even") << QSize(1281, 721) << Frame{1920, 1080} << QSize(1280, 720);
        QTest::newRow("sliver stays at least 2") << QSize(640, 360) << Frame{4000, 2} << QSize(640, 2);
        QTest::newRow("empty box keeps the source") << QSize(0, 0) << Frame{1366, 768} << QSize(1366, 768);
        QTest::newRow("empty source is kept") << QSize(1280, 720) << Frame{0, 0} << QSize(0, 0);
    }

    void resizeOutput()
    {
        QFETCH(QSize, box);
        QFETCH(Conf::FrameInfo, source);
        Core::Property settings(Proc::IFilterResize::CLASS_ID);
        settings.AddChild(Core::Property("width", box.width()));
        settings.AddChild(Core::Property("height", box.height()));
        const Conf::FrameInfo output = Proc::IFilterResize::Property2Settings(settings).GetOutputFrameSize(source);
        QTEST(QSize(output.width, output.height), "output");
    }

    void resizeSettingsMissing()
    {
        Core::Property settings(Proc::IFilterResize::CLASS_ID);
        settings.AddChild(Core::Property("width", QStringLiteral("wide")));
        LogCapture log;
        const Proc::SettingsResizer box = Proc::IFilterResize::Property2Settings(settings);
        QCOMPARE(QSize(box.width, box.height), QSize(0, 0));
        QCOMPARE(log.Texts(google::GLOG_ERROR),
                 (QStringList{"Tavrix::Proc::IFilterResize::Property2Settings: \"width\" is not a size: wide",
                              "Tavrix::Proc::IFilterResize::Property2Settings: \"height\" is missing"}));
    }
};

TAVRIX_TEST_MAIN(TestMediaPresets)
#include "tst_MediaPresets.moc"
