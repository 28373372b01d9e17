// Starts youtube-emulator on a free port with a fresh data folder for each
// test and checks, over real HTTP, what the protocol's own tests never try:
// Google's refusals, the faults it injects, broken connections, restarts.
// What a well-behaved client meets (sign-in, channel, a whole upload through
// each fault) is pinned by the YoutubeNetworkProtocol tests instead.

#include "TestMain.h"
#include "YoutubeEmulator.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <memory>

using TestSupport::HttpAnswer;

namespace {
const QString kUploadScope = QStringLiteral("https://www.googleapis.com/auth/youtube.upload");
const QString kReadScope = QStringLiteral("https://www.googleapis.com/auth/youtube.readonly");
const QString kRedirect = QStringLiteral("http://127.0.0.1:5555/callback");
const QString kVerifier = QStringLiteral("verifier-0123456789-abcdefghijklmnopqrstuvwxyz.~_ABC");
constexpr int kQuantum = 256 * 1024;

// The error's name in whichever of Google's forms the answer carries it: a
// redirect back to the app, OAuth's `error`, or the API's first reason.
QString Reason(const HttpAnswer& answer)
{
    if (answer.status == 302)
        return QUrlQuery(QUrl::fromEncoded(answer.location)).queryItemValue(QStringLiteral("error"));
    const QJsonValue error = answer.json().value(QStringLiteral("error"));
    return error.isString() ? error.toString()
                            : error.toObject().value("errors").toArray().first().toObject().value("reason").toString();
}

// The status and the error's name, as "400 invalid_grant".
QString Refusal(const HttpAnswer& answer)
{
    return QStringLiteral("%1 %2").arg(answer.status).arg(Reason(answer));
}

QByteArray RandomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(size).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

QString Sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QByteArray RangeUpTo(qint64 stored)
{
    return stored ? "bytes=0-" + QByteArray::number(stored - 1) : QByteArray();
}

// The emulator with the requests of a desktop app that follows Google's
// rules, each open to the one change a test makes.
class Emulator : public TestSupport::YoutubeEmulator
{
public:
    explicit Emulator(const QStringList& arguments = {QStringLiteral("--auto-consent")})
        : YoutubeEmulator(arguments)
    {
    }

    using Form = QList<QPair<QByteArray, QString>>;
    HttpAnswer SendForm(const QString& path, const Form& fields)
    {
        QByteArrayList form;
        for (const auto& field : fields)
            form << field.first + '=' + QUrl::toPercentEncoding(field.second);
        return Send("POST", path, form.join('&'), "application/x-www-form-urlencoded");
    }

    // A request to the token endpoint from the emulator's client.
    HttpAnswer TokenRequest(const Form& fields, const QString& secret = QStringLiteral("emulator-client-secret"))
    {
        return SendForm("/token", Form{{"client_id", "emulator-client-id"}, {"client_secret", secret}} + fields);
    }

    // Each of `changes` ("name=value") replaces that item.
    HttpAnswer Authorize(const QStringList& changes = {})
    {
        const QByteArray challenge = QCryptographicHash::hash(kVerifier.toLatin1(), QCryptographicHash::Sha256)
                                         .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
        authorization = QUrlQuery("client_id=emulator-client-id&response_type=code&state=st4te&access_type=offline"
                                  "&prompt=consent&code_challenge_method=S256&code_challenge=" + challenge);
        authorization.addQueryItem("redirect_uri", kRedirect);
        authorization.addQueryItem("scope", kUploadScope + " " + kReadScope);
        for (const QString& change : changes)
        {
            authorization.removeAllQueryItems(change.section(QLatin1Char('='), 0, 0));
            authorization.addQueryItem(change.section(QLatin1Char('='), 0, 0), change.section(QLatin1Char('='), 1));
        }
        return Send("GET", "/o/oauth2/v2/auth?" + authorization.toString(QUrl::FullyEncoded));
    }
    // The last authorization request.
    QUrlQuery authorization;

    QString AuthorizationCode(const QStringList& changes = {})
    {
        return QUrlQuery(QUrl::fromEncoded(Authorize(changes).location)).queryItemValue("code", QUrl::FullyDecoded);
    }

    HttpAnswer Exchange(const QString& code, const QString& verifier = kVerifier, const QString& redirect = kRedirect,
                        const QString& secret = QStringLiteral("emulator-client-secret"))
    {
        return TokenRequest({{"code", code}, {"redirect_uri", redirect}, {"grant_type", "authorization_code"},
                             {"code_verifier", verifier}},
                            secret);
    }

    HttpAnswer Refresh(const QString& token) { return TokenRequest({{"grant_type", "refresh_token"}, {"refresh_token", token}}); }

    QJsonObject SignIn(const QStringList& changes = {}) { return Exchange(AuthorizationCode(changes)).json(); }
    QString AccessToken(const QStringList& changes = {}) { return SignIn(changes).value("access_token").toString(); }

    HttpAnswer Channels(const QString& token) { return Send("GET", "/youtube/v3/channels?part=snippet&mine=true", {}, {}, token); }

    HttpAnswer StartUpload(const QByteArray& resource, const QString& token, qint64 size = 1000)
    {
        return Send("POST", "/upload/youtube/v3/videos?uploadType=resumable&part=snippet,status", resource,
                    "application/json; charset=UTF-8", token,
                    {{"X-Upload-Content-Length", QByteArray::number(size)}, {"X-Upload-Content-Type", "video/mp4"}});
    }

    QUrl StartSession(qint64 size)
    {
        const QByteArray resource = R"({"snippet": {"title": "Clip"}, "status": {"privacyStatus": "unlisted"}})";
        return QUrl::fromEncoded(StartUpload(resource, AccessToken(), size).location);
    }

    // Bytes [first, first + length) of `file`, under their own Content-Range unless `range` is given.
    HttpAnswer PutChunk(const QUrl& session, const QByteArray& file, qint64 first, qint64 length,
                        QByteArray range = {})
    {
        if (range.isEmpty())
            range = QStringLiteral("bytes %1-%2/%3").arg(first).arg(first + length - 1).arg(file.size()).toLatin1();
        return Send("PUT", session.toString(), file.mid(int(first), int(length)), "application/octet-stream", {},
                    {{"Content-Range", range}});
    }

    HttpAnswer Status(const QUrl& session, qint64 total)
    {
        return Send("PUT", session.toString(), {}, {}, {}, {{"Content-Range", "bytes */" + QByteArray::number(total)}});
    }

    QJsonObject Upload() { return Uploads().first().toObject(); }
};

// A plain TCP connection to the emulator, for what an HTTP client will not do.
struct RawConnection
{
    int fd = -1;
    explicit RawConnection(int port)
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(quint16(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
        {
            ::close(fd);
            fd = -1;
        }
    }
    ~RawConnection()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool Send(const std::string& data) { return ::send(fd, data.data(), data.size(), MSG_NOSIGNAL) == ssize_t(data.size()); }
};

using Call = std::function<HttpAnswer(Emulator&)>;
} // namespace

Q_DECLARE_METATYPE(Call)

class TestYouTubeEmulator : public QObject
{
    Q_OBJECT

private slots:
    void helpNamesEverySwitchAndFault()
    {
        QProcess help;
        help.start(QStringLiteral(YOUTUBE_EMULATOR_PATH), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(10000));
        const QString text = QString::fromUtf8(help.readAllStandardOutput());
        for (const char* word : {"--port", "--data", "--auto-consent", "--access-token-lifetime", "--client-id",
                                 "dropAfterBytes", "omitRange", "shortStoreBytes", "expireSessions", "quotaExceeded",
                                 "uploadLimitExceeded", "throttleBytesPerSecond", "revokeRefreshTokens"})
            QVERIFY2(text.contains(QLatin1String(word)), word);
    }

    void codeIsCheckedAndSpentOnce()
    {
        Emulator emulator;
        const QString code = emulator.AuthorizationCode();
        QVERIFY(code.startsWith(QLatin1String("4/")));
        // Refused attempts do not spend the code.
        const QString otherVerifier = QString(kVerifier).replace(0, 1, QLatin1Char('W'));
        QCOMPARE(Refusal(emulator.Exchange(code, otherVerifier)), QStringLiteral("400 invalid_grant"));
        QCOMPARE(Refusal(emulator.Exchange(code, QString())), QStringLiteral("400 invalid_grant"));
        const QString otherRedirect = QStringLiteral("http://127.0.0.1:5556/callback");
        QCOMPARE(Refusal(emulator.Exchange(code, kVerifier, otherRedirect)), QStringLiteral("400 redirect_uri_mismatch"));
        const HttpAnswer wrongSecret = emulator.Exchange(code, kVerifier, kRedirect, QStringLiteral("guess"));
        QCOMPARE(Refusal(wrongSecret), QStringLiteral("401 invalid_client"));
        QVERIFY(wrongSecret.json().contains("error_description"));

        const QJsonObject tokens = emulator.Exchange(code).json();
        QCOMPARE(tokens.value("expires_in").toInt(), 3600);
        const QString access = tokens.value("access_token").toString();
        QCOMPARE(emulator.Channels(access).status, 200);
        // A code presented twice may have been stolen: what it gave is withdrawn.
        QCOMPARE(Reason(emulator.Exchange(code)), QStringLiteral("invalid_grant"));
        QCOMPARE(emulator.Channels(access).status, 401);
        QCOMPARE(Reason(emulator.Refresh(tokens.value("refresh_token").toString())), QStringLiteral("invalid_grant"));

        emulator.Configure(QJsonObject{{"codeLifetime", 0}});
        QCOMPARE(Reason(emulator.Exchange(emulator.AuthorizationCode())), QStringLiteral("invalid_grant"));
    }

    void refreshTokensComeAndGoAsAtGoogle()
    {
        Emulator emulator({"--auto-consent", "--access-token-lifetime", "120"});
        // Only the consent screen gives a refresh token: on the client's first
        // grant, or when asked for with prompt=consent; online access never.
        const QJsonObject first = emulator.SignIn({"prompt="});
        QCOMPARE(first.value("expires_in").toInt(), 120);
        const QString refreshToken = first.value("refresh_token").toString();
        QVERIFY(!refreshToken.isEmpty());
        QVERIFY(!emulator.SignIn({"prompt="}).contains("refresh_token"));
        QVERIFY(emulator.SignIn().contains("refresh_token"));
        QVERIFY(!emulator.SignIn({"access_type=online"}).contains("refresh_token"));

        // A refresh gives an access token, never another refresh token.
        const HttpAnswer refreshed = emulator.Refresh(refreshToken);
        QVERIFY(refreshed.json().contains("access_token"));
        QVERIFY(!refreshed.json().contains("refresh_token"));

        // Revoked, the grant is gone for good.
        QCOMPARE(emulator.SendForm("/revoke", {{"token", refreshToken}}).status, 200);
        QCOMPARE(Reason(emulator.Refresh(refreshToken)), QStringLiteral("invalid_grant"));
        QCOMPARE(Refusal(emulator.SendForm("/revoke", {{"token", refreshToken}})), QStringLiteral("400 invalid_token"));
    }

    void listingsAndQuotaAnswerAsTheRealApi()
    {
        Emulator emulator;
        const QString access = emulator.AccessToken();
        // Categories in the asked language; some cannot be chosen for a video.
        QMap<QString, QJsonObject> byId;
        const HttpAnswer categories =
            emulator.Send("GET", "/youtube/v3/videoCategories?part=snippet&regionCode=DE&hl=de", {}, {}, access);
        for (const QJsonValue& item : categories.json().value("items").toArray())
            byId.insert(item.toObject().value("id").toString(), item.toObject().value("snippet").toObject());
        QCOMPARE(byId.value("10").value("title").toString(), QStringLiteral("Musik"));
        QVERIFY(byId.value("10").value("assignable").toBool());
        QVERIFY(!byId.value("30").value("assignable").toBool(true));

        const QJsonObject channel = emulator.Channels(access).json().value("items").toArray().first().toObject();
        QVERIFY(channel.value("snippet").toObject().value("customUrl").toString().startsWith(QLatin1Char('@')));

        // An account without a channel: no `items` at all, and an etag that names no channel.
        emulator.Configure(QJsonObject{{"channel", false}, {"noChannelMode", "empty"}});
        const QJsonObject none = emulator.Channels(access).json();
        QVERIFY(!none.isEmpty());
        QVERIFY(!none.contains("items"));
        QCOMPARE(none.value("pageInfo").toObject().value("totalResults").toInt(), 0);
        QVERIFY(!none.value("etag").toString().contains(QLatin1String("UCemulator")));

        // Out of quota, in YouTube's own words.
        emulator.Arm(QJsonObject{{"quotaExceeded", true}, {"on", "channels"}});
        const HttpAnswer quota = emulator.Channels(access);
        QCOMPARE(Refusal(quota), QStringLiteral("403 quotaExceeded"));
        QCOMPARE(quota.json().value("error").toObject().value("errors").toArray().first().toObject().value("domain").toString(),
                 QStringLiteral("youtube.quota"));
    }

    void refusedInGooglesForm_data()
    {
        QTest::addColumn<Call>("call");
        // The status and the error's name.
        QTest::addColumn<QString>("refusal");
        // A start whose snippet has `changes` over the title "t".
        const auto start = [](const QJsonObject& changes, const QString& privacy = QStringLiteral("private")) {
            QJsonObject snippet{{"title", "t"}};
            for (auto it = changes.begin(); it != changes.end(); ++it)
                snippet.insert(it.key(), it.value());
            const QByteArray resource =
                QJsonDocument(QJsonObject{{"snippet", snippet}, {"status", QJsonObject{{"privacyStatus", privacy}}}}).toJson();
            return Call([resource](Emulator& e) { return e.StartUpload(resource, e.AccessToken()); });
        };
        const auto plain = [](const QByteArray& verb, const QString& path, const QByteArray& body = {}) {
            return Call([=](Emulator& e) { return e.Send(verb, path, body, body.isEmpty() ? "" : "application/json"); });
        };
        const auto authorize = [](const QString& change) {
            return Call([change](Emulator& e) { return e.Authorize({change}); });
        };
        // 2500 two-byte characters: 5000 bytes.
        const QString fullDescription(2500, QChar(0xE9));
        // 49 tags of 9 characters and 49 commas (490), then "abc defg": 8 + 2 for its quotes = 500.
        QJsonArray fullTags;
        for (int i = 0; i < 49; ++i)
            fullTags.append(QStringLiteral("tag%1tag").arg(i, 3, 10, QLatin1Char('0')));
        QJsonArray overTags = fullTags;
        fullTags.append(QStringLiteral("abc defg"));
        overTags.append(QStringLiteral("abc defgh"));

        // Errors with the client or the redirect get a page; the others go back to the app.
        QTest::newRow("unknown client") << authorize("client_id=other") << "401 ";
        QTest::newRow("redirect not loopback") << authorize("redirect_uri=http://example.com/") << "400 ";
        QTest::newRow("implicit flow") << authorize("response_type=token") << "302 unsupported_response_type";
        QTest::newRow("plain challenge") << authorize("code_challenge_method=plain") << "302 invalid_request";
        QTest::newRow("no state") << authorize("state=") << "302 invalid_request";
        QTest::newRow("unknown scope") << authorize("scope=https://www.googleapis.com/auth/drive") << "302 invalid_scope";
        QTest::newRow("empty title") << start({{"title", ""}}) << "400 invalidTitle";
        QTest::newRow("101-character title") << start({{"title", QString(101, QLatin1Char('t'))}}) << "400 invalidTitle";
        QTest::newRow("angle bracket in title") << start({{"title", "a<b"}}) << "400 invalidTitle";
        QTest::newRow("5001-byte description") << start({{"description", fullDescription + "x"}}) << "400 invalidDescription";
        QTest::newRow("500 characters of tags") << start({{"tags", fullTags}}) << "200 ";
        QTest::newRow("501 characters of tags") << start({{"tags", overTags}}) << "400 invalidTags";
        QTest::newRow("category not assignable") << start({{"categoryId", "30"}}) << "400 invalidCategoryId";
        QTest::newRow("unknown privacy") << start({}, "secret") << "400 invalidVideoMetadata";
        QTest::newRow("malformed resource")
            << Call([](Emulator& e) { return e.StartUpload("{\"snippet\": {", e.AccessToken()); }) << "400 parseError";
        QTest::newRow("start without Authorization")
            << plain("POST", "/upload/youtube/v3/videos?uploadType=resumable&part=snippet", "{}") << "401 required";
        QTest::newRow("PUT without the token asked for") << Call([](Emulator& e) {
            e.Configure(QJsonObject{{"requireTokenOnPut", true}});
            return e.PutChunk(e.StartSession(10), QByteArray(10, 'v'), 0, 10);
        }) << "401 required";
        QTest::newRow("expired access token") << Call([](Emulator& e) {
            const QString access = e.AccessToken();
            e.Arm(QJsonObject{{"expireAccessTokens", true}});
            return e.Channels(access);
        }) << "401 authError";
        QTest::newRow("channel with the upload scope only") << Call([](Emulator& e) {
            return e.Channels(e.AccessToken({"scope=" + kUploadScope}));
        }) << "403 insufficientPermissions";
        QTest::newRow("categories without a region") << Call([](Emulator& e) {
            return e.Send("GET", "/youtube/v3/videoCategories?part=snippet", {}, {}, e.AccessToken());
        }) << "400 missingRequiredParameter";
        QTest::newRow("expired session") << Call([](Emulator& e) {
            const QUrl session = e.StartSession(10);
            e.Arm(QJsonObject{{"expireSessions", true}});
            return e.PutChunk(session, QByteArray(10, 'v'), 0, 10);
        }) << "404 notFound";
        QTest::newRow("unknown session") << plain("PUT", "/upload/youtube/v3/videos?uploadType=resumable&upload_id=nope", "x")
                                         << "404 notFound";
        QTest::newRow("POST to a session") << plain("POST", "/upload/youtube/v3/videos?uploadType=resumable&upload_id=x", "{}")
                                           << "405 methodNotAllowed";
        QTest::newRow("DELETE on channels") << plain("DELETE", "/youtube/v3/channels") << "405 methodNotAllowed";
        QTest::newRow("unknown path") << plain("GET", "/youtube/v3/playlists") << "404 notFound";
        QTest::newRow("malformed fault") << plain("POST", "/_emulator/faults", "{nope") << "400 parseError";
        QTest::newRow("unknown fault") << plain("POST", "/_emulator/faults", "{\"explode\": true}") << "400 invalidParameter";
    }
    void refusedInGooglesForm()
    {
        QFETCH(Call, call);
        Emulator emulator;
        const HttpAnswer answer = call(emulator);
        QTEST(Refusal(answer), "refusal");
        QCOMPARE(answer.Header("Allow").isEmpty(), answer.status != 405);
        QCOMPARE(answer.Header("WWW-Authenticate").isEmpty(), answer.status != 401 || Reason(answer).isEmpty());
        QVERIFY(!emulator.Get(QStringLiteral("/_emulator/config")).isEmpty());
        if (answer.status != 302)
            return;
        // Sent back to the app, with the state it gave, and no code.
        const QUrlQuery back(QUrl::fromEncoded(answer.location));
        QVERIFY(answer.location.startsWith(kRedirect.toLatin1() + '?'));
        QCOMPARE(back.queryItemValue("state"), emulator.authorization.queryItemValue("state"));
        QVERIFY(!back.hasQueryItem("code"));
    }

    // A chunk after the first: refused or answered with a fault, it loses no
    // byte stored before, and the rest of the file completes it.
    void chunkAnswers_data()
    {
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("length");
        // The Content-Range sent, when not the chunk's own.
        QTest::addColumn<QString>("range");
        // The status and the error's name.
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<qint64>("storedAfter");
        const qint64 q = kQuantum;
        const QJsonObject none;
        QTest::newRow("not a multiple of 256 KiB") << none << q << q + 1000 << "" << "400 badRequest" << q;
        QTest::newRow("past the stored offset") << none << 2 * q << q << "" << "400 badRequest" << q;
        QTest::newRow("before the stored offset") << none << qint64(0) << q << "" << "400 badRequest" << q;
        QTest::newRow("range longer than body") << none << q << q << "bytes 262144-786431/1000000" << "400 badRequest" << q;
        QTest::newRow("other total") << none << q << q << "bytes 262144-524287/2000000" << "400 badRequest" << q;
        QTest::newRow("malformed range") << none << q << q << "bytes=262144-" << "400 badRequest" << q;
        QTest::newRow("503 with Retry-After") << QJsonObject{{"status", 503}, {"retryAfter", 2}} << q << q << ""
                                              << "503 backendError" << q;
        QTest::newRow("500, bytes kept") << QJsonObject{{"status", 500}, {"storeChunk", true}} << q << q << ""
                                         << "500 internalError" << 2 * q;
        QTest::newRow("429") << QJsonObject{{"status", 429}} << q << q << "" << "429 rateLimitExceeded" << q;
        QTest::newRow("short store") << QJsonObject{{"shortStoreBytes", 1000}} << q << q << "" << "308 " << q + 1000;
        QTest::newRow("308 without Range") << QJsonObject{{"omitRange", true}} << q << q << "" << "308 " << qint64(0);
    }
    void chunkAnswers()
    {
        QFETCH(QJsonObject, fault);
        QFETCH(qint64, first);
        QFETCH(qint64, length);
        QFETCH(QString, range);
        QFETCH(qint64, storedAfter);
        Emulator emulator;
        const QByteArray file = RandomBytes(1000000);
        const QUrl session = emulator.StartSession(file.size());
        QCOMPARE(emulator.PutChunk(session, file, 0, kQuantum).status, 308);
        if (!fault.isEmpty())
            QCOMPARE(emulator.Arm(fault).value("added").toArray().size(), 1);

        const HttpAnswer answer = emulator.PutChunk(session, file, first, length, range.toLatin1());
        QTEST(Refusal(answer), "refusal");
        QCOMPARE(answer.Header("Retry-After"),
                 fault.contains("retryAfter") ? QByteArray::number(fault.value("retryAfter").toInt()) : QByteArray());
        if (answer.status == 400)
            QVERIFY(!answer.json().value("error").toObject().value("message").toString().isEmpty());
        if (answer.status == 308)
            QCOMPARE(answer.Header("Range"), RangeUpTo(storedAfter));
        QCOMPARE(emulator.Status(session, file.size()).Header("Range"), RangeUpTo(storedAfter));
        QFile stored(emulator.Upload().value("file").toString());
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QVERIFY(stored.readAll() == file.left(int(storedAfter)));
        // The fault fired once only.
        QCOMPARE(emulator.PutChunk(session, file, storedAfter, file.size() - storedAfter).status, 201);
        QCOMPARE(emulator.Upload().value("sha256").toString(), Sha256(file));
    }

    void droppedConnectionIsResetAtOnce()
    {
        // A client that only writes must see the drop, not wait against a closed window.
        Emulator emulator;
        const qint64 chunk = 32 * kQuantum;
        const QUrl session = emulator.StartSession(2 * chunk);
        emulator.Arm(QJsonObject{{"dropAfterBytes", 100000}});
        RawConnection connection(emulator.Origin().port());
        QVERIFY(connection.fd >= 0);
        const timeval patience{10, 0};
        setsockopt(connection.fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof(patience));
        const std::string path = session.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::FullyEncoded).toStdString();
        QVERIFY(connection.Send("PUT " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: "
                                + std::to_string(chunk) + "\r\nContent-Range: bytes 0-" + std::to_string(chunk - 1)
                                + "/" + std::to_string(2 * chunk) + "\r\n\r\n"));
        const std::string block(64 * 1024, 'v');
        int error = 0;
        for (qint64 sent = 0; sent < chunk && !error; sent += qint64(block.size()))
            if (::send(connection.fd, block.data(), block.size(), MSG_NOSIGNAL) < 0)
                error = errno;
        // A reset with no FIN before it (which would give EPIPE, the client having
        // been left half-closed first) and no stall (EAGAIN after SO_SNDTIMEO).
        QVERIFY2(error == ECONNRESET, qPrintable(QString::fromLocal8Bit(strerror(error))));
        // The bytes before the drop are kept.
        QCOMPARE(emulator.Upload().value("size").toInt(), 100000);
    }

    void idleConnectionsDoNotStallIt()
    {
        Emulator emulator;
        // Connections that never finish their request head, more than a small pool of workers.
        std::vector<std::unique_ptr<RawConnection>> idle;
        for (int i = 0; i < 16; ++i)
        {
            idle.push_back(std::make_unique<RawConnection>(emulator.Origin().port()));
            QVERIFY(idle.back()->fd >= 0);
            QVERIFY(idle.back()->Send("GET /_emulator/config HTTP/1.1\r\nHost: 127.0.0.1\r\n"));
        }
        QVERIFY(!emulator.Get(QStringLiteral("/_emulator/config")).isEmpty());
    }

    void sessionsAndTokensSurviveARestart()
    {
        QTemporaryDir data;
        const QStringList arguments{"--auto-consent", "--data", data.path()};
        const QByteArray file = RandomBytes(2 * kQuantum);
        QUrl session;
        QString refreshToken;
        {
            Emulator emulator(arguments);
            refreshToken = emulator.SignIn().value("refresh_token").toString();
            session = emulator.StartSession(file.size());
            // Nothing stored yet: a 308 without Range.
            const HttpAnswer nothing = emulator.Status(session, file.size());
            QCOMPARE(nothing.status, 308);
            QCOMPARE(nothing.Header("Range"), QByteArray());
            QCOMPARE(emulator.PutChunk(session, file, 0, kQuantum).status, 308);
        }
        Emulator again(arguments);
        session.setPort(again.Origin().port());
        QCOMPARE(again.Refresh(refreshToken).status, 200);
        QCOMPARE(again.Status(session, file.size()).Header("Range"), RangeUpTo(kQuantum));
        QCOMPARE(again.PutChunk(session, file, kQuantum, kQuantum).status, 201);
        // Asked again, a complete session gives its final answer.
        QCOMPARE(again.Status(session, file.size()).status, 200);
        QCOMPARE(again.Upload().value("sha256").toString(), Sha256(file));
    }
};

TAVRIX_TEST_MAIN(TestYouTubeEmulator)
#include "tst_YouTubeEmulator.moc"
