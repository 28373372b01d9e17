// The network YouTube protocol's uploads against the loopback emulator: bytes
// arrive intact through every fault the emulator can inject, metadata
// survives, limits are enforced before sending, cancel and destruction stop
// at once.

#include "YoutubeNetworkProtocol.h"

#include "LogCapture.h"
#include "TestMain.h"
#include "YoutubeEmulator.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QRandomGenerator>

using namespace Tavrix::Social;
using TestSupport::LogCapture;
using TestSupport::YoutubeEmulator;

namespace {
struct UploadRun
{
    Ticket ticket = InvalidTicket;
    QList<int> progress;
    int finishes = 0;
    RequestResult result = Failed;
    DefaultSharingResult data;
};

QMap<QString, QString> SomeFields()
{
    // Quotes, ampersands, line breaks and text beyond Latin-1 arrive as typed.
    return {{YoutubeProtocol::FIELD_TITLE, QStringLiteral("\"Quoted\" & 'single' — Grüße 日本")},
            {YoutubeProtocol::FIELD_DESCRIPTION, QStringLiteral("line 1\nline \"2\"\\\n\tÜmlaut ✓")},
            {YoutubeProtocol::FIELD_TAGS, QStringLiteral("screen, recording")},
            {YoutubeProtocol::FIELD_CATEGORY_ID, QStringLiteral("22")},
            {YoutubeProtocol::FIELD_PRIVACY, QStringLiteral("unlisted")}};
}
} // namespace

class TestYoutubeNetworkProtocolUpload : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<YoutubeEmulator> emulator;
    std::unique_ptr<QTemporaryDir> home;
    std::unique_ptr<YoutubeNetworkProtocol> protocol;
    QString video;
    QByteArray videoSha;
    // 5 chunks of 256 KiB and a short last one.
    static constexpr qint64 kVideoSize = 5 * 256 * 1024 + 12345;

    YouTube::Configuration Config() const
    {
        YouTube::Configuration config = emulator->Config(home->filePath(QStringLiteral("tokens.json")));
        config.sessionFolder = home->filePath(QStringLiteral("sessions"));
        config.maxRetries = 2;
        return config;
    }

    void StartUpload(UploadRun& run, const QMap<QString, QString>& fields = SomeFields(), const QString& file = {})
    {
        run.ticket = protocol->Upload(
            file.isEmpty() ? video : file, fields,
            [&run](Ticket ticket, RequestResult result, const DefaultSharingResult& data) {
                QCOMPARE(ticket, run.ticket);
                ++run.finishes;
                run.result = result;
                run.data = data;
            },
            [&run](Ticket ticket, int percent) {
                QCOMPARE(ticket, run.ticket);
                run.progress << percent;
            });
    }

    // Whether `percent` of the file went out while the upload still runs.
    bool Reached(UploadRun& run, int percent)
    {
        return QTest::qWaitFor([&run, percent] { return !run.progress.isEmpty() && run.progress.last() >= percent; }, 20000)
            && run.finishes == 0;
    }

    // An upload slowed down by the emulator, caught while its first chunk goes out.
    bool StartSlowUploadAndWaitForBytes(UploadRun& run)
    {
        emulator->Arm(QJsonObject{{"throttleBytesPerSecond", 512 * 1024}, {"on", "chunk"}, {"times", 1}});
        StartUpload(run);
        return Reached(run, 1);
    }

    bool Finished(UploadRun& run) { return QTest::qWaitFor([&run] { return run.finishes > 0; }, 60000); }

    // Starts an upload and waits for its end, which never comes from inside Upload.
    bool UploadToTheEnd(UploadRun& run, const QMap<QString, QString>& fields = SomeFields(), const QString& file = {})
    {
        StartUpload(run, fields, file);
        return run.finishes == 0 && Finished(run);
    }

    // Arms `faults` before the upload, or the first before and the others once
    // `armAtPercent` of the file went out (-1: all before), and waits for the end.
    bool UploadWithFaults(UploadRun& run, const QJsonArray& faults, int armAtPercent)
    {
        if (!faults.isEmpty())
            emulator->Arm(armAtPercent < 0 ? QJsonValue(faults) : faults.first());
        StartUpload(run);
        if (run.finishes != 0)
            return false;
        if (armAtPercent >= 0)
        {
            if (!Reached(run, armAtPercent))
                return false;
            QJsonArray later = faults;
            later.removeFirst();
            emulator->Arm(later);
        }
        return Finished(run);
    }

    // How often the session's history shows a request of `kind` answered with `status` (0: any).
    static int Requests(const QJsonObject& upload, const QString& kind, int status = 0)
    {
        int count = 0;
        for (const QJsonValue& entry : upload.value("history").toArray())
            if (entry.toObject().value("request").toString() == kind
                && (status == 0 || entry.toObject().value("status").toInt() == status))
                ++count;
        return count;
    }

    QJsonObject UploadNamed(const QString& videoId)
    {
        for (const QJsonValue& upload : emulator->Uploads())
            if (upload.toObject().value("videoId").toString() == videoId)
                return upload.toObject();
        return {};
    }

private slots:
    void initTestCase()
    {
        home = std::make_unique<QTemporaryDir>();
        video = home->filePath(QStringLiteral("vidéo clip.mp4"));
        QFile file(video);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes(kVideoSize, Qt::Uninitialized);
        QRandomGenerator(42).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        file.write(bytes);
        videoSha = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    }

    void init()
    {
        // Each test signs in to its own emulator.
        QFile::remove(home->filePath(QStringLiteral("tokens.json")));
        emulator = std::make_unique<YoutubeEmulator>();
        QVERIFY2(emulator->Origin().isValid(), qPrintable(emulator->Error()));
        // As at Google, every PUT of the session needs a valid access token.
        emulator->Configure(QJsonObject{{"requireTokenOnPut", true}});
        protocol = emulator->SignedIn(Config());
        QVERIFY(protocol);
    }

    void cleanup()
    {
        protocol.reset();
        emulator.reset();
    }

    void uploadThroughFaults_data()
    {
        QTest::addColumn<QJsonArray>("faults");
        // Armed once this share of the file went out; -1 before the upload starts.
        QTest::addColumn<int>("armAtPercent");
        QTest::addColumn<RequestResult>("expected");
        // Succeeded: the access tokens it had to fetch anew. Failed: the chunks
        // its session saw (-1: not counted).
        QTest::addColumn<int>("count");
        const QJsonObject slow{{"throttleBytesPerSecond", 1024 * 1024}, {"on", "chunk"}, {"times", -1}};
        const auto fault = [](const QJsonObject& one) { return QJsonArray{one}; };
        QTest::newRow("no fault") << QJsonArray() << -1 << Success << 0;
        QTest::newRow("one 500 on a chunk") << fault({{"status", 500}, {"on", "chunk"}, {"skip", 2}}) << -1 << Success << 0;
        QTest::newRow("connection dropped mid-chunk")
            << fault({{"dropAfterBytes", 100000}, {"on", "chunk"}, {"skip", 1}}) << -1 << Success << 0;
        QTest::newRow("503 with Retry-After")
            << fault({{"status", 503}, {"retryAfter", 1}, {"on", "chunk"}, {"skip", 2}}) << -1 << Success << 0;
        QTest::newRow("429 on the session start") << fault({{"status", 429}, {"on", "start"}}) << -1 << Success << 0;
        QTest::newRow("rate limit 403 on a chunk")
            << fault({{"status", 403}, {"reason", "userRateLimitExceeded"}, {"on", "chunk"}}) << -1 << Success << 0;
        QTest::newRow("308 without Range") << fault({{"omitRange", true}, {"on", "chunk"}, {"skip", 2}}) << -1 << Success << 0;
        QTest::newRow("short Range") << fault({{"shortStoreBytes", 1000}, {"on", "chunk"}, {"skip", 1}}) << -1 << Success << 0;
        QTest::newRow("session expired") << QJsonArray{slow, QJsonObject{{"expireSessions", true}}} << 30 << Success << 0;
        QTest::newRow("401 mid-upload") << QJsonArray{slow, QJsonObject{{"expireAccessTokens", true}}} << 30 << Success << 1;
        QTest::newRow("quota exceeded") << fault({{"quotaExceeded", true}, {"on", "start"}}) << -1 << QuotaExceeded << 0;
        QTest::newRow("upload limit") << fault({{"uploadLimitExceeded", true}, {"on", "start"}}) << -1
                                      << UploadLimitExceeded << 0;
        // maxRetries (2) retries after the first attempt, no more.
        QTest::newRow("server keeps failing") << fault({{"status", 500}, {"on", "chunk"}, {"times", -1}}) << -1
                                              << ServerError << 3;
        QTest::newRow("invalid title by the server")
            << fault({{"status", 400}, {"reason", "invalidTitle"}, {"on", "start"}}) << -1 << InvalidMetadata << 0;
        QTest::newRow("sign-in revoked mid-upload")
            << QJsonArray{slow, QJsonObject{{"expireAccessTokens", true}}, QJsonObject{{"revokeRefreshTokens", true}}} << 30
            << AuthorizationExpired << -1;
    }

    void uploadThroughFaults()
    {
        QFETCH(QJsonArray, faults);
        QFETCH(int, armAtPercent);
        QFETCH(RequestResult, expected);
        QFETCH(int, count);
        LogCapture log;
        UploadRun run;
        QVERIFY(UploadWithFaults(run, faults, armAtPercent));
        QCOMPARE(run.result, expected);
        QCOMPARE(run.finishes, 1);
        if (expected != Success)
        {
            if (count >= 0)
                QCOMPARE(emulator->Uploads().isEmpty() ? 0 : Requests(emulator->Uploads().first().toObject(), "chunk"), count);
            QVERIFY(run.data.url.isEmpty());
            QVERIFY(!run.data.message.isEmpty());
            return;
        }
        QCOMPARE(log.Texts().count("Tavrix::Social::YoutubeNetworkProtocol::RefreshToken: access token refreshed"), count);
        QCOMPARE(run.data.url, QUrl("https://www.youtube.com/watch?v=" + run.data.videoId));
        QCOMPARE(run.progress.first(), 0);
        QCOMPARE(run.progress.last(), 100);
        for (int i = 1; i < run.progress.size(); ++i)
            QVERIFY(run.progress[i] > run.progress[i - 1]);

        const QJsonObject stored = UploadNamed(run.data.videoId);
        QCOMPARE(stored.value("state").toString(), QStringLiteral("complete"));
        QCOMPARE(qint64(stored.value("size").toDouble()), kVideoSize);
        QCOMPARE(stored.value("sha256").toString().toLatin1(), videoSha);
        QCOMPARE(stored.value("contentType").toString(), QStringLiteral("video/mp4"));
        const QJsonObject snippet = stored.value("metadata").toObject().value("snippet").toObject();
        QCOMPARE(snippet.value("title").toString(), SomeFields()[YoutubeProtocol::FIELD_TITLE]);
        QCOMPARE(snippet.value("description").toString(), SomeFields()[YoutubeProtocol::FIELD_DESCRIPTION]);
        QCOMPARE(snippet.value("tags").toArray(), (QJsonArray{"screen", "recording"}));
        QCOMPARE(snippet.value("categoryId").toString(), QStringLiteral("22"));
        // A refused token is refreshed once, never sent again.
        QCOMPARE(Requests(stored, "chunk", 401) + Requests(stored, "status", 401), count);
        for (const QJsonValue& fault : emulator->Faults())
            if (!fault.toObject().contains("throttleBytesPerSecond"))
                QVERIFY2(fault.toObject().value("fired").toInt() >= 1, "the fault never fired");
    }

    // A file that fits one chunk, on a slow line: the bar moves while the
    // chunk goes out instead of jumping to the end at once.
    void progressFollowsTheBytesWithinAChunk()
    {
        YouTube::Configuration oneChunk = Config();
        oneChunk.chunkSize = 32 * 1024 * 1024;
        protocol = emulator->SignedIn(oneChunk);
        QVERIFY(protocol);
        UploadRun run;
        QVERIFY(StartSlowUploadAndWaitForBytes(run));
        QVERIFY(Finished(run));
        QCOMPARE(run.result, Success);
        QStringList seen;
        for (int percent : run.progress)
            if (percent >= 10 && percent <= 90)
                seen << QString::number(percent);
        QVERIFY2(seen.size() >= 5, qPrintable(QStringLiteral("between 10 and 90: ") + seen.join(' ')));
    }

    // The fields every upload sends arrive intact (see uploadThroughFaults);
    // a privacy YouTube overrules is told in the log.
    void privacyOverruledByYouTubeIsLogged()
    {
        emulator->Configure(QJsonObject{{"forcePrivate", true}});
        QMap<QString, QString> fields = SomeFields();
        fields[YoutubeProtocol::FIELD_PRIVACY] = QStringLiteral("public");
        LogCapture log;
        UploadRun run;
        QVERIFY(UploadToTheEnd(run, fields));
        QCOMPARE(run.result, Success);
        const QJsonObject sent = UploadNamed(run.data.videoId).value("metadata").toObject();
        QCOMPARE(sent.value("status").toObject().value("privacyStatus").toString(), QStringLiteral("public"));
        QVERIFY(log.Texts().contains(QStringLiteral(
            "Tavrix::Social::YoutubeNetworkProtocol::Upload: privacy public was asked but YouTube set private (uploads of "
            "an API project that Google has not audited stay private), ticket=%1").arg(run.ticket)));
    }

    void metadataIsCheckedAndCleanedBeforeSending_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        // Why the upload is refused before anything is sent; empty when it goes out.
        QTest::addColumn<QString>("refusal");
        // What the emulator stored for the field (null: the value unchanged), and
        // the field the log names as cleaned.
        QTest::addColumn<QJsonValue>("stored");
        QTest::addColumn<QString>("cleaned");
        const QString title = YoutubeProtocol::FIELD_TITLE;
        const QString description = YoutubeProtocol::FIELD_DESCRIPTION;
        const QString tags = YoutubeProtocol::FIELD_TAGS;
        const QJsonValue same;
        QTest::newRow("title of 100 characters") << title << QString(100, QChar(0x00E9)) << "" << same << "";
        QTest::newRow("title of 101 characters") << title << QString(101, 'x')
                                                 << "the title has 101 characters, more than the limit of 100" << same << "";
        QTest::newRow("title with <") << title << "a <b> title" << "the title contains < or >, which YouTube does not allow"
                                      << same << "";
        QTest::newRow("empty title") << title << "  " << "the title is empty" << same << "";
        QTest::newRow("description of 5000 bytes") << description << QString(2500, QChar(0x00E9)) << "" << same << "";
        QTest::newRow("description of 5002 bytes in 2501 characters")
            << description << QString(2501, QChar(0x00E9))
            << "the description has 5002 bytes, more than the limit of 5000 bytes" << same << "";
        QTest::newRow("description with >") << description << "1 > 0"
                                            << "the description contains < or >, which YouTube does not allow" << same << "";
        // 249 + 1 + 249 = 499.
        QTest::newRow("tags of 499") << tags << QString(249, 'a') + ", " + QString(249, 'b') << ""
                                     << QJsonValue(QJsonArray{QString(249, 'a'), QString(249, 'b')}) << "";
        QTest::newRow("tags of 501 because of the quotes around a tag with a space")
            << tags << QString(249, 'a') + ", " + QString(124, 'b') + " " + QString(124, 'c')
            << "the tags count 501 characters, more than the limit of 500" << same << "";
        QTest::newRow("unknown privacy") << YoutubeProtocol::FIELD_PRIVACY << "friends"
                                         << "the privacy \"friends\" is none of public, unlisted, private" << same << "";
        // Control characters become spaces, direction overrides and isolates go.
        QTest::newRow("line break and tab in a title") << title << "new\nline\tend" << "" << QJsonValue("new line end")
                                                       << "title";
        QTest::newRow("right-to-left override in a title") << title << QStringLiteral("rtl \u202Egnp.exe") << ""
                                                           << QJsonValue("rtl gnp.exe") << "title";
        QTest::newRow("a description keeps its lines")
            << description << QStringLiteral("a\r\nb\u0007c\u2066d\u2069\n\te\rf\u0085") << ""
            << QJsonValue(QStringLiteral("a\nb cd\n\te\nf ")) << "description";
        QTest::newRow("tags") << tags << QStringLiteral("a\u202Db, c\u0001d, \u2067") << ""
                              << QJsonValue(QJsonArray{"ab", "c d"}) << "tags";
        QTest::newRow("right-to-left text stays") << title << QStringLiteral("Grüße \u05E9\u05DC\u05D5\u05DD") << ""
                                                  << same << "";
    }

    void metadataIsCheckedAndCleanedBeforeSending()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, refusal);
        QFETCH(QJsonValue, stored);
        QFETCH(QString, cleaned);
        QMap<QString, QString> fields = SomeFields();
        fields[field] = value;
        LogCapture log;
        UploadRun run;
        QVERIFY(UploadToTheEnd(run, fields));
        QCOMPARE(run.result, refusal.isEmpty() ? Success : InvalidMetadata);
        QCOMPARE(run.data.message, refusal);
        QCOMPARE(emulator->Uploads().size(), refusal.isEmpty() ? 1 : 0);
        const QString line = QStringLiteral("Tavrix::Social::YoutubeNetworkProtocol::Upload: control characters became "
                                            "spaces and direction overrides were removed in the %1, ticket=%2")
                                 .arg(cleaned)
                                 .arg(run.ticket);
        QCOMPARE(log.Texts().contains(line), !cleaned.isEmpty());
        if (!refusal.isEmpty())
            return;
        const QJsonObject snippet = UploadNamed(run.data.videoId).value("metadata").toObject().value("snippet").toObject();
        const QString key = field == YoutubeProtocol::FIELD_TITLE ? "title" : field == YoutubeProtocol::FIELD_TAGS ? "tags" : "description";
        QCOMPARE(snippet.value(key), stored.isNull() ? QJsonValue(value) : stored);
    }

    void unreadableFileAndSignedOutFailLater()
    {
        UploadRun missing;
        QVERIFY(UploadToTheEnd(missing, SomeFields(), home->filePath("no such file.mp4")));
        QCOMPARE(missing.result, FileUnreadable);

        protocol->LogOut();
        UploadRun signedOut;
        QVERIFY(UploadToTheEnd(signedOut));
        QCOMPARE(signedOut.result, AuthorizationExpired);
        QVERIFY(emulator->Uploads().isEmpty());
    }

    void cancelStopsAtOnce()
    {
        UploadRun run;
        QVERIFY(StartSlowUploadAndWaitForBytes(run));
        protocol->Cancel(InvalidTicket);
        QCOMPARE(run.finishes, 0);
        protocol->Cancel(run.ticket);
        // Answered before Cancel returned.
        QCOMPARE(run.finishes, 1);
        QCOMPARE(run.result, Cancelled);
        protocol->Cancel(run.ticket);
        const int progressSeen = run.progress.size();
        // The emulator has recorded the chunk the cancel broke off.
        const QString session = emulator->Uploads().first().toObject().value("uploadId").toString();
        const auto cancelled = [this, session] {
            return emulator->Get("/_emulator/uploads?uploadId=" + session).value("uploads").toArray().first().toObject();
        };
        QTRY_COMPARE_WITH_TIMEOUT(Requests(cancelled(), "chunk"), 1, 20000);
        const QJsonObject atCancel = cancelled();
        QVERIFY(atCancel.value("size").toInt() < kVideoSize);

        // Another upload runs to its end meanwhile: the cancelled one stays silent,
        // and no byte more reaches its session.
        UploadRun next;
        QVERIFY(UploadToTheEnd(next));
        QCOMPARE(next.result, Success);
        QCOMPARE(run.finishes, 1);
        QCOMPARE(run.progress.size(), progressSeen);
        QCOMPARE(cancelled().value("size"), atCancel.value("size"));
        QCOMPARE(cancelled().value("history"), atCancel.value("history"));
        // The user gave the first upload up: its session is not taken up again.
        QCOMPARE(emulator->Uploads().size(), 2);
    }

    void destructionMidUploadCallsNobody()
    {
        UploadRun run;
        QVERIFY(StartSlowUploadAndWaitForBytes(run));
        const int progressSeen = run.progress.size();
        protocol.reset();

        protocol = std::make_unique<YoutubeNetworkProtocol>(Config());
        QVERIFY(protocol->IsLoggedIn());
        UploadRun next;
        QVERIFY(UploadToTheEnd(next));
        QCOMPARE(next.result, Success);
        QCOMPARE(run.finishes, 0);
        QCOMPARE(run.progress.size(), progressSeen);
        // A component that went away (the program closed) left its session to the next one.
        QCOMPARE(emulator->Uploads().size(), 1);
        QCOMPARE(UploadNamed(next.data.videoId).value("sha256").toString().toLatin1(), videoSha);
    }
};

TAVRIX_TEST_MAIN(TestYoutubeNetworkProtocolUpload)
#include "tst_YoutubeNetworkProtocolUpload.moc"
