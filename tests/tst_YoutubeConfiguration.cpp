// Where the YouTube protocol talks to: Google by default, the host's settings
// and then the environment over it, and the factory the host installs.

#include "YoutubeConfiguration.h"
#include "YoutubeNetworkProtocol.h"

#include "HostFakes.h"
#include "TestMain.h"

#include <QProcessEnvironment>

using Tavrix::Social::YouTube::Configuration;

class TestYoutubeConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void sourcesInOrder_data()
    {
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QVariantMap>("environment");
        QTest::addColumn<QString>("upload");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("clientId");
        QTest::addColumn<qint64>("chunk");
        QTest::addColumn<qint64>("sessionLifetime");
        const qint64 sixDays = 6 * 24 * 3600;
        const QString googleUpload = QStringLiteral("https://www.googleapis.com/upload/youtube/v3/videos");
        const QString googleToken = QStringLiteral("https://oauth2.googleapis.com/token");

        QTest::newRow("Google by default") << QVariantMap() << QVariantMap() << googleUpload << googleToken << ""
                                           << qint64(32 * 1024 * 1024) << sixDays;
        QTest::newRow("settings point at one origin")
            << QVariantMap{{"YouTube/BaseUrl", "http://127.0.0.1:8080"}, {"YouTube/ClientId", "from-settings"},
                           {"YouTube/SessionLifetime", 3600}}
            << QVariantMap() << "http://127.0.0.1:8080/upload/youtube/v3/videos" << "http://127.0.0.1:8080/token"
            << "from-settings" << qint64(32 * 1024 * 1024) << qint64(3600);
        QTest::newRow("environment wins, single endpoints win over the origin")
            << QVariantMap{{"YouTube/BaseUrl", "http://127.0.0.1:8080/"}, {"YouTube/ClientId", "from-settings"},
                           {"YouTube/TokenUrl", "https://tokens.example/token"}}
            << QVariantMap{{"TAVRIX_YOUTUBE_BASE_URL", "http://127.0.0.1:9/base/"},
                           {"TAVRIX_YOUTUBE_CLIENT_ID", "from-env"},
                           {"TAVRIX_YOUTUBE_CHUNK_SIZE", "1000000"}, {"TAVRIX_YOUTUBE_SESSION_LIFETIME", "60"}}
            << "http://127.0.0.1:9/base/upload/youtube/v3/videos" << "https://tokens.example/token" << "from-env"
            << qint64(3 * 256 * 1024) << qint64(60);
        QTest::newRow("chunk below 256 KiB") << QVariantMap{{"YouTube/ChunkSize", 5}} << QVariantMap() << googleUpload
                                             << googleToken << "" << qint64(256 * 1024) << sixDays;
    }

    void sourcesInOrder()
    {
        QFETCH(QVariantMap, settings);
        QFETCH(QVariantMap, environment);
        TestSupport::MemoryProductSettings store;
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            store.SetValue(it.key(), it.value());
        QProcessEnvironment env;
        for (auto it = environment.cbegin(); it != environment.cend(); ++it)
            env.insert(it.key(), it.value().toString());

        const Configuration config = Configuration::FromSettings(&store, env);
        QTEST(config.uploadUrl.toString(), "upload");
        QTEST(config.tokenUrl.toString(), "token");
        QTEST(config.clientId, "clientId");
        QTEST(config.EffectiveChunkSize(), "chunk");
        QVERIFY(config.tokenFile.endsWith("/youtube-tokens.json"));
        QTEST(config.sessionLifetime, "sessionLifetime");
        QVERIFY(config.sessionFolder.endsWith("/upload-sessions"));
    }

    void installedFactoryMakesTheNetworkProtocol()
    {
        qputenv("TAVRIX_YOUTUBE_TOKEN_STORAGE", "file");
        QTemporaryDir home;
        auto store = std::make_shared<TestSupport::MemoryProductSettings>();
        store->SetValue("YouTube/TokenFile", home.filePath("tokens.json"));
        Tavrix::Social::InstallYoutubeNetworkProtocolFactory();
        Tavrix::RQ::SocialSettings settings(store);
        const auto protocol = settings.YouTubeProtocol();
        QVERIFY(std::dynamic_pointer_cast<Tavrix::Social::YoutubeNetworkProtocol>(protocol));
        QCOMPARE(settings.YouTubeProtocol(), protocol);
        QVERIFY(!protocol->IsLoggedIn());
        Tavrix::RQ::SocialSettings::SetYouTubeProtocolFactory({});
    }
};

TAVRIX_TEST_MAIN(TestYoutubeConfiguration)
#include "tst_YoutubeConfiguration.moc"
