// Starts youtube-emulator on a free port with a fresh data folder for each
// test and checks Google's rules over real HTTP.

#include "TestMain.h"

#include <httplib.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace {
const char* kUploadScope = "https://www.googleapis.com/auth/youtube.upload";
const char* kReadScope = "https://www.googleapis.com/auth/youtube.readonly";
const std::string kRedirect = "http://127.0.0.1:5555/callback";
constexpr int kQuantum = 256 * 1024;

QJsonObject Json(const httplib::Result& res)
{
    return res ? QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).object() : QJsonObject();
}

QString ApiReason(const httplib::Result& res)
{
    return Json(res).value("error").toObject().value("errors").toArray().first().toObject().value("reason").toString();
}

QString OAuthError(const httplib::Result& res)
{
    return Json(res).value("error").toString();
}

std::string Percent(const QString& text)
{
    return QUrl::toPercentEncoding(text).toStdString();
}

QByteArray RandomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char& byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

struct Pkce
{
    QString verifier = QStringLiteral("verifier-0123456789-abcdefghijklmnopqrstuvwxyz.~_ABC");
    QString Challenge() const
    {
        return QString::fromLatin1(QCryptographicHash::hash(verifier.toLatin1(), QCryptographicHash::Sha256)
                                       .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    }
};

// One running emulator with its own data folder.
class Emulator
{
public:
    explicit Emulator(const QStringList& extra = {}, const QString& dataDir = QString())
        : m_data(dataDir.isEmpty() ? m_dir.path() : dataDir)
    {
        m_process.setProgram(QStringLiteral(YOUTUBE_EMULATOR_PATH));
        m_process.setArguments(QStringList{"--port", "0", "--data", m_data} + extra);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        m_process.waitForStarted();
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000))
        {
        }
        m_firstLine = QString::fromUtf8(m_process.readLine()).trimmed();
        m_port = m_firstLine.section(QLatin1Char(':'), -1).toInt();
    }
    ~Emulator()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

    QString FirstLine() const { return m_firstLine; }
    int Port() const { return m_port; }
    QString DataDir() const { return m_data; }
    QProcess& Process() { return m_process; }
    httplib::Client Client() const
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_read_timeout(30);
        return client;
    }

    QJsonObject Admin(const std::string& path, const QJsonValue& body)
    {
        const QByteArray text = body.isArray() ? QJsonDocument(body.toArray()).toJson()
                                               : QJsonDocument(body.toObject()).toJson();
        return Json(Client().Post(("/_emulator/" + path).c_str(), text.toStdString(), "application/json"));
    }

    // The authorization page with auto-consent on: the code from the redirect.
    QString AuthorizationCode(const Pkce& pkce, const QString& scope, bool offline = true, bool consent = true)
    {
        const auto res = Client().Get((AuthPath(pkce, scope, offline) + (consent ? "&prompt=consent" : "")).c_str());
        const QUrl location(QString::fromStdString(res ? res->get_header_value("Location") : std::string()));
        return QUrlQuery(location).queryItemValue(QStringLiteral("code"), QUrl::FullyDecoded);
    }

    std::string AuthPath(const Pkce& pkce, const QString& scope, bool offline = true) const
    {
        return "/o/oauth2/v2/auth?client_id=emulator-client-id&redirect_uri=" + Percent(QString::fromStdString(kRedirect)) +
               "&response_type=code&scope=" + Percent(scope) + "&state=st4te&code_challenge=" +
               pkce.Challenge().toStdString() + "&code_challenge_method=S256" +
               (offline ? "&access_type=offline" : "");
    }

    httplib::Result Exchange(const QString& code, const QString& verifier, const std::string& redirect = kRedirect,
                             const std::string& secret = "emulator-client-secret")
    {
        return Client().Post("/token", httplib::Params{{"code", code.toStdString()},
                                                       {"client_id", "emulator-client-id"},
                                                       {"client_secret", secret},
                                                       {"redirect_uri", redirect},
                                                       {"grant_type", "authorization_code"},
                                                       {"code_verifier", verifier.toStdString()}});
    }

    httplib::Result Refresh(const QString& refreshToken)
    {
        return Client().Post("/token", httplib::Params{{"client_id", "emulator-client-id"},
                                                       {"client_secret", "emulator-client-secret"},
                                                       {"grant_type", "refresh_token"},
                                                       {"refresh_token", refreshToken.toStdString()}});
    }

    // Signs in with both scopes; the token answer.
    QJsonObject SignIn(const QString& scope = QStringLiteral("%1 %2").arg(kUploadScope, kReadScope))
    {
        const Pkce pkce;
        return Json(Exchange(AuthorizationCode(pkce, scope), pkce.verifier));
    }

    httplib::Result Channels(const QString& accessToken, const char* query = "part=snippet&mine=true")
    {
        httplib::Headers headers;
        if (!accessToken.isEmpty())
            headers.emplace("Authorization", "Bearer " + accessToken.toStdString());
        return Client().Get((std::string("/youtube/v3/channels?") + query).c_str(), headers);
    }

    httplib::Result StartUpload(const QString& accessToken, const QByteArray& resource, qint64 size)
    {
        const httplib::Headers headers{{"Authorization", "Bearer " + accessToken.toStdString()},
                                       {"X-Upload-Content-Length", std::to_string(size)},
                                       {"X-Upload-Content-Type", "video/mp4"}};
        return Client().Post("/upload/youtube/v3/videos?uploadType=resumable&part=snippet,status", headers,
                             resource.toStdString(), "application/json; charset=UTF-8");
    }

    // A started session's path (the Location is absolute on this origin).
    std::string StartSession(qint64 size, const QString& title = QStringLiteral("Clip"))
    {
        const QString token = SignIn().value("access_token").toString();
        const QJsonObject resource{{"snippet", QJsonObject{{"title", title}, {"categoryId", "22"}}},
                                   {"status", QJsonObject{{"privacyStatus", "unlisted"}}}};
        const auto res = StartUpload(token, QJsonDocument(resource).toJson(), size);
        const QString location = QString::fromStdString(res ? res->get_header_value("Location") : std::string());
        const QString origin = QStringLiteral("http://127.0.0.1:%1").arg(m_port);
        return location.startsWith(origin) ? location.mid(origin.size()).toStdString() : std::string();
    }

    httplib::Result PutChunk(const std::string& session, const QByteArray& file, qint64 first, qint64 length)
    {
        const httplib::Headers headers{
            {"Content-Range", QStringLiteral("bytes %1-%2/%3").arg(first).arg(first + length - 1).arg(file.size()).toStdString()}};
        return Client().Put(session.c_str(), headers, file.mid(int(first), int(length)).toStdString(),
                            "application/octet-stream");
    }

    httplib::Result Status(const std::string& session, qint64 total)
    {
        const httplib::Headers headers{{"Content-Range", "bytes */" + std::to_string(total)}};
        return Client().Put(session.c_str(), headers, std::string(), "application/octet-stream");
    }

    QJsonObject Upload(const QString& uploadId = QString())
    {
        const auto res = Client().Get("/_emulator/uploads");
        for (const QJsonValue& upload : Json(res).value("uploads").toArray())
            if (uploadId.isEmpty() || upload.toObject().value("uploadId").toString() == uploadId)
                return upload.toObject();
        return {};
    }

private:
    QTemporaryDir m_dir;
    QString m_data;
    QProcess m_process;
    QString m_firstLine;
    int m_port = 0;
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

QString RangeOf(const httplib::Result& res)
{
    return res ? QString::fromStdString(res->get_header_value("Range")) : QStringLiteral("<no answer>");
}

QByteArray StoredBytes(const QJsonObject& upload)
{
    QFile file(upload.value("file").toString());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}
} // namespace

class TestYouTubeEmulator : public QObject
{
    Q_OBJECT

private slots:
    void announcesItsPortAndDocumentsItsSwitches()
    {
        Emulator first, second;
        QVERIFY(first.FirstLine().startsWith(QLatin1String("youtube-emulator listening on http://127.0.0.1:")));
        QCOMPARE(first.FirstLine(), QStringLiteral("youtube-emulator listening on http://127.0.0.1:%1").arg(first.Port()));
        QVERIFY(first.Port() > 0);
        QVERIFY(second.Port() != first.Port());

        QProcess help;
        help.start(QStringLiteral(YOUTUBE_EMULATOR_PATH), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(10000));
        const QString text = QString::fromUtf8(help.readAllStandardOutput());
        for (const char* word : {"--port", "--data", "--auto-consent", "--access-token-lifetime", "--client-id",
                                 "dropAfterBytes", "omitRange", "shortStoreBytes", "expireSessions", "quotaExceeded",
                                 "uploadLimitExceeded", "throttleBytesPerSecond", "revokeRefreshTokens"})
            QVERIFY2(text.contains(QLatin1String(word)), word);
    }

    void authorizationRequestIsChecked_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::newRow("valid") << QString() << 302 << QString();
        QTest::newRow("unknown client") << "client_id=other" << 401 << QString();
        QTest::newRow("redirect not loopback") << "redirect_uri=http%3A%2F%2Fexample.com%2F" << 400 << QString();
        QTest::newRow("implicit flow") << "response_type=token" << 302 << "unsupported_response_type";
        QTest::newRow("plain challenge") << "code_challenge_method=plain" << 302 << "invalid_request";
        QTest::newRow("no state") << "state=" << 302 << "invalid_request";
        QTest::newRow("unknown scope") << "scope=https%3A%2F%2Fwww.googleapis.com%2Fauth%2Fdrive" << 302
                                       << "invalid_scope";
    }
    void authorizationRequestIsChecked()
    {
        QFETCH(QString, change);
        QFETCH(int, status);
        QFETCH(QString, error);
        Emulator emulator({"--auto-consent"});
        QUrlQuery query(QUrl(QString::fromStdString(emulator.AuthPath(Pkce(), kUploadScope))).query());
        if (!change.isEmpty())
        {
            query.removeAllQueryItems(change.section(QLatin1Char('='), 0, 0));
            query.addQueryItem(change.section(QLatin1Char('='), 0, 0), change.section(QLatin1Char('='), 1));
        }
        const auto res = emulator.Client().Get(
            ("/o/oauth2/v2/auth?" + query.toString(QUrl::FullyEncoded).toStdString()).c_str());
        QVERIFY(res);
        QCOMPARE(res->status, status);
        if (status != 302)
            return;
        const QUrl location(QString::fromStdString(res->get_header_value("Location")));
        QCOMPARE(location.toString(QUrl::RemoveQuery), QString::fromStdString(kRedirect));
        const QUrlQuery answer(location);
        QCOMPARE(answer.queryItemValue("error"), error);
        QCOMPARE(answer.hasQueryItem("code"), error.isEmpty());
        if (change != QLatin1String("state="))
            QCOMPARE(answer.queryItemValue("state"), QStringLiteral("st4te"));
    }

    void consentPageAllowsAndDenies()
    {
        Emulator emulator;
        const Pkce pkce;
        for (const std::string decision : {"deny", "allow"})
        {
            const auto page = emulator.Client().Get(emulator.AuthPath(pkce, kUploadScope).c_str());
            QVERIFY(page);
            QCOMPARE(page->status, 200);
            QVERIFY(page->body.find(">Allow</button>") != std::string::npos);
            QVERIFY(page->body.find(">Deny</button>") != std::string::npos);
            const QJsonArray pending = Json(emulator.Client().Get("/_emulator/state")).value("pendingConsents").toArray();
            QCOMPARE(pending.size(), 1);
            const auto res = emulator.Client().Post(
                "/o/oauth2/v2/consent",
                httplib::Params{{"request", pending.first().toString().toStdString()}, {"decision", decision}});
            QVERIFY(res);
            QCOMPARE(res->status, 302);
            const QUrlQuery answer(QUrl(QString::fromStdString(res->get_header_value("Location"))));
            QCOMPARE(answer.queryItemValue("state"), QStringLiteral("st4te"));
            if (decision == "deny")
                QCOMPARE(answer.queryItemValue("error"), QStringLiteral("access_denied"));
            else
                QCOMPARE(Json(emulator.Exchange(answer.queryItemValue("code", QUrl::FullyDecoded), pkce.verifier))
                             .value("token_type").toString(),
                         QStringLiteral("Bearer"));
        }
    }

    void codeExchangeIsChecked_data()
    {
        QTest::addColumn<QString>("verifier");
        QTest::addColumn<QString>("redirect");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QString right = Pkce().verifier;
        const QString redirect = QString::fromStdString(kRedirect);
        QTest::newRow("wrong verifier") << QString(right).replace(0, 1, "W") << redirect << "emulator-client-secret"
                                        << 400 << "invalid_grant";
        QTest::newRow("no verifier") << QString() << redirect << "emulator-client-secret" << 400 << "invalid_grant";
        QTest::newRow("other redirect") << right << "http://127.0.0.1:5556/callback" << "emulator-client-secret" << 400
                                        << "redirect_uri_mismatch";
        QTest::newRow("wrong secret") << right << redirect << "guess" << 401 << "invalid_client";
    }
    void codeExchangeIsChecked()
    {
        QFETCH(QString, verifier);
        QFETCH(QString, redirect);
        QFETCH(QString, secret);
        QFETCH(int, status);
        QFETCH(QString, error);
        Emulator emulator({"--auto-consent"});
        const Pkce pkce;
        const QString code = emulator.AuthorizationCode(pkce, kUploadScope);
        QVERIFY(code.startsWith(QLatin1String("4/")));
        const auto refused = emulator.Exchange(code, verifier, redirect.toStdString(), secret.toStdString());
        QVERIFY(refused);
        QCOMPARE(refused->status, status);
        QCOMPARE(OAuthError(refused), error);
        QVERIFY(Json(refused).contains("error_description"));
        QVERIFY(!Json(refused).contains("access_token"));
        // A refused attempt does not spend the code.
        const auto granted = emulator.Exchange(code, pkce.verifier);
        QCOMPARE(granted->status, 200);
        QCOMPARE(Json(granted).value("expires_in").toInt(), 3600);
    }

    void codeIsSingleUseAndShortLived()
    {
        Emulator emulator({"--auto-consent"});
        const Pkce pkce;
        const QString code = emulator.AuthorizationCode(pkce, QStringLiteral("%1 %2").arg(kUploadScope, kReadScope));
        const QJsonObject tokens = Json(emulator.Exchange(code, pkce.verifier));
        const QString access = tokens.value("access_token").toString();
        QCOMPARE(emulator.Channels(access)->status, 200);

        const auto again = emulator.Exchange(code, pkce.verifier);
        QCOMPARE(again->status, 400);
        QCOMPARE(OAuthError(again), QStringLiteral("invalid_grant"));
        // The replay withdraws what the code gave.
        QCOMPARE(emulator.Channels(access)->status, 401);
        QCOMPARE(OAuthError(emulator.Refresh(tokens.value("refresh_token").toString())), QStringLiteral("invalid_grant"));

        emulator.Admin("config", QJsonObject{{"codeLifetime", 0}});
        const QString stale = emulator.AuthorizationCode(pkce, kUploadScope);
        QCOMPARE(OAuthError(emulator.Exchange(stale, pkce.verifier)), QStringLiteral("invalid_grant"));
    }

    void refreshKeepsTheRefreshTokenUntilRevoked()
    {
        Emulator emulator({"--auto-consent", "--access-token-lifetime", "120"});
        const Pkce pkce;
        const QJsonObject first = Json(emulator.Exchange(emulator.AuthorizationCode(pkce, kUploadScope, true, false),
                                                         pkce.verifier));
        QVERIFY(first.contains("refresh_token"));
        // A grant exists: only the consent screen (prompt=consent) gives another refresh token.
        const QJsonObject again = Json(emulator.Exchange(emulator.AuthorizationCode(pkce, kUploadScope, true, false),
                                                         pkce.verifier));
        QVERIFY(again.contains("access_token"));
        QVERIFY(!again.contains("refresh_token"));
        QCOMPARE(emulator.Refresh(first.value("refresh_token").toString())->status, 200);

        const QJsonObject tokens = emulator.SignIn();
        QCOMPARE(tokens.value("expires_in").toInt(), 120);
        const QString refreshToken = tokens.value("refresh_token").toString();
        QVERIFY(!refreshToken.isEmpty());

        const auto refreshed = emulator.Refresh(refreshToken);
        QCOMPARE(refreshed->status, 200);
        QVERIFY(!Json(refreshed).contains("refresh_token"));
        const QString access = Json(refreshed).value("access_token").toString();
        QVERIFY(access != tokens.value("access_token").toString());
        QCOMPARE(emulator.Channels(access)->status, 200);

        // Expired access tokens: 401 authError, and a refresh mends it.
        emulator.Admin("faults", QJsonObject{{"expireAccessTokens", true}});
        const auto expired = emulator.Channels(access);
        QCOMPARE(expired->status, 401);
        QCOMPARE(ApiReason(expired), QStringLiteral("authError"));
        QVERIFY(expired->has_header("WWW-Authenticate"));
        QCOMPARE(emulator.Channels(Json(emulator.Refresh(refreshToken)).value("access_token").toString())->status, 200);

        const auto revoked = emulator.Client().Post("/revoke", httplib::Params{{"token", refreshToken.toStdString()}});
        QCOMPARE(revoked->status, 200);
        QCOMPARE(emulator.Refresh(refreshToken)->status, 400);
        QCOMPARE(OAuthError(emulator.Refresh(refreshToken)), QStringLiteral("invalid_grant"));
        QCOMPARE(emulator.Client().Post("/revoke", httplib::Params{{"token", refreshToken.toStdString()}})->status, 400);

        // Online access gives no refresh token; the revoke fault ends the offline ones.
        QVERIFY(!Json(emulator.Exchange(emulator.AuthorizationCode(pkce, kUploadScope, false), pkce.verifier))
                     .contains("refresh_token"));
        const QString other = emulator.SignIn().value("refresh_token").toString();
        emulator.Admin("faults", QJsonObject{{"revokeRefreshTokens", true}});
        QCOMPARE(OAuthError(emulator.Refresh(other)), QStringLiteral("invalid_grant"));
    }

    void channelAnswers_data()
    {
        QTest::addColumn<QJsonObject>("config");
        QTest::addColumn<QString>("scope");
        QTest::addColumn<bool>("authorized");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("items");
        const QString both = QStringLiteral("%1 %2").arg(kUploadScope, kReadScope);
        QTest::newRow("channel") << QJsonObject{{"channelTitle", "Ünïcode \"Quoted\""}} << both << true << 200 << QString() << 1;
        QTest::newRow("no channel, 401") << QJsonObject{{"channel", false}} << both << true << 401
                                         << "youtubeSignupRequired" << 0;
        QTest::newRow("no channel, empty") << QJsonObject{{"channel", false}, {"noChannelMode", "empty"}} << both
                                           << true << 200 << QString() << 0;
        QTest::newRow("upload scope only") << QJsonObject() << QString(kUploadScope) << true << 403
                                           << "insufficientPermissions" << 0;
        QTest::newRow("no Authorization") << QJsonObject() << both << false << 401 << "required" << 0;
    }
    void channelAnswers()
    {
        QFETCH(QJsonObject, config);
        QFETCH(QString, scope);
        QFETCH(bool, authorized);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QFETCH(int, items);
        Emulator emulator({"--auto-consent"});
        emulator.Admin("config", config);
        const QString access = authorized ? emulator.SignIn(scope).value("access_token").toString() : QString();
        const auto res = emulator.Channels(access);
        QVERIFY(res);
        QCOMPARE(res->status, status);
        QCOMPARE(ApiReason(res), reason);
        if (status != 200)
            return;
        // No results: no `items` at all, and an etag that names no channel.
        QCOMPARE(Json(res).contains("items"), items > 0);
        QVERIFY(!Json(res).value("etag").toString().contains(QLatin1String("UCemulator")));
        QCOMPARE(Json(res).value("pageInfo").toObject().value("totalResults").toInt(), items);
        const QJsonArray list = Json(res).value("items").toArray();
        QCOMPARE(list.size(), items);
        if (!items)
            return;
        const QJsonObject snippet = list.first().toObject().value("snippet").toObject();
        QCOMPARE(snippet.value("title").toString(), config.value("channelTitle").toString());
        QVERIFY(snippet.value("customUrl").toString().startsWith(QLatin1Char('@')));
        QVERIFY(!list.first().toObject().value("id").toString().isEmpty());
        const QUrl picture(snippet.value("thumbnails").toObject().value("default").toObject().value("url").toString());
        QCOMPARE(picture.port(), emulator.Port());
        const auto png = emulator.Client().Get((picture.path() + "?" + picture.query()).toStdString().c_str());
        QCOMPARE(png->get_header_value("Content-Type"), std::string("image/png"));
        QVERIFY(!QImage::fromData(QByteArray::fromStdString(png->body), "PNG").isNull());
    }

    void videoCategoriesFollowTheLanguage()
    {
        Emulator emulator({"--auto-consent"});
        const std::string bearer = "Bearer " + emulator.SignIn().value("access_token").toString().toStdString();
        const auto german = emulator.Client().Get("/youtube/v3/videoCategories?part=snippet&regionCode=DE&hl=de",
                                                  httplib::Headers{{"Authorization", bearer}});
        QCOMPARE(german->status, 200);
        QMap<QString, QJsonObject> byId;
        for (const QJsonValue& item : Json(german).value("items").toArray())
            byId.insert(item.toObject().value("id").toString(), item.toObject().value("snippet").toObject());
        QCOMPARE(byId.value("10").value("title").toString(), QStringLiteral("Musik"));
        QVERIFY(byId.value("10").value("assignable").toBool());
        QVERIFY(byId.contains("30"));
        QVERIFY(!byId.value("30").value("assignable").toBool(true));
        const auto missing = emulator.Client().Get("/youtube/v3/videoCategories?part=snippet",
                                                   httplib::Headers{{"Authorization", bearer}});
        QCOMPARE(missing->status, 400);
    }

    void videoResourceIsChecked_data()
    {
        QTest::addColumn<QByteArray>("resource");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        auto resource = [](const QJsonObject& snippet, const QString& privacy = QStringLiteral("private")) {
            return QJsonDocument(QJsonObject{{"snippet", snippet}, {"status", QJsonObject{{"privacyStatus", privacy}}}})
                .toJson();
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

        QTest::newRow("valid, quote and newline kept") << resource({{"title", "A \"quoted\"\ntitle"}}) << 200 << QString();
        QTest::newRow("empty title") << resource({{"title", ""}}) << 400 << "invalidTitle";
        QTest::newRow("101-character title") << resource({{"title", QString(101, QLatin1Char('t'))}}) << 400 << "invalidTitle";
        QTest::newRow("100-character title") << resource({{"title", QString(100, QChar(0x263A))}}) << 200 << QString();
        QTest::newRow("angle bracket in title") << resource({{"title", "a<b"}}) << 400 << "invalidTitle";
        QTest::newRow("5000-byte description") << resource({{"title", "t"}, {"description", fullDescription}}) << 200
                                               << QString();
        QTest::newRow("5001-byte description") << resource({{"title", "t"}, {"description", fullDescription + "x"}})
                                               << 400 << "invalidDescription";
        QTest::newRow("500 characters of tags") << resource({{"title", "t"}, {"tags", fullTags}}) << 200 << QString();
        QTest::newRow("501 characters of tags") << resource({{"title", "t"}, {"tags", overTags}}) << 400 << "invalidTags";
        QTest::newRow("category not assignable") << resource({{"title", "t"}, {"categoryId", "30"}}) << 400
                                                 << "invalidCategoryId";
        QTest::newRow("unknown privacy") << resource({{"title", "t"}}, "secret") << 400 << "invalidVideoMetadata";
        QTest::newRow("malformed JSON") << QByteArray("{\"snippet\": {") << 400 << "parseError";
    }
    void videoResourceIsChecked()
    {
        QFETCH(QByteArray, resource);
        QFETCH(int, status);
        QFETCH(QString, reason);
        Emulator emulator({"--auto-consent"});
        const auto res = emulator.StartUpload(emulator.SignIn().value("access_token").toString(), resource, 1000);
        QVERIFY(res);
        QCOMPARE(res->status, status);
        QCOMPARE(ApiReason(res), reason);
        QCOMPARE(res->has_header("Location"), status == 200);
        QCOMPARE(emulator.Upload().isEmpty(), status != 200);
        if (status == 200)
            QCOMPARE(emulator.Upload().value("metadata").toObject(), QJsonDocument::fromJson(resource).object());
    }

    void chunkedUploadStoresTheExactBytes()
    {
        Emulator emulator({"--auto-consent"});
        const QByteArray file = RandomBytes(3 * kQuantum + 12345);
        const std::string session = emulator.StartSession(file.size(), QStringLiteral("Ünïcode \"clip\""));
        QVERIFY(!session.empty());

        const auto nothing = emulator.Status(session, file.size());
        QCOMPARE(nothing->status, 308);
        QVERIFY(!nothing->has_header("Range"));

        for (qint64 first = 0; first < 2 * kQuantum; first += kQuantum)
        {
            const auto res = emulator.PutChunk(session, file, first, kQuantum);
            QCOMPARE(res->status, 308);
            QCOMPARE(RangeOf(res), QStringLiteral("bytes=0-%1").arg(first + kQuantum - 1));
        }
        QCOMPARE(RangeOf(emulator.Status(session, file.size())), QStringLiteral("bytes=0-%1").arg(2 * kQuantum - 1));

        const auto done = emulator.PutChunk(session, file, 2 * kQuantum, file.size() - 2 * kQuantum);
        QCOMPARE(done->status, 201);
        const QJsonObject video = Json(done);
        QCOMPARE(video.value("id").toString().size(), 11);
        QCOMPARE(video.value("snippet").toObject().value("title").toString(), QStringLiteral("Ünïcode \"clip\""));
        QCOMPARE(video.value("status").toObject().value("privacyStatus").toString(), QStringLiteral("unlisted"));
        QCOMPARE(emulator.Status(session, file.size())->status, 200);

        const QJsonObject upload = emulator.Upload();
        QCOMPARE(upload.value("state").toString(), QStringLiteral("complete"));
        QCOMPARE(upload.value("videoId").toString(), video.value("id").toString());
        QCOMPARE(upload.value("size").toInt(), file.size());
        QCOMPARE(upload.value("sha256").toString(), Sha256(file));
        QVERIFY(StoredBytes(upload) == file);
        // start, status, two chunks, status, last chunk, status
        QCOMPARE(upload.value("history").toArray().size(), 7);
        QVERIFY(QFile::exists(emulator.DataDir() + "/uploads/" + upload.value("uploadId").toString() + ".json"));
    }

    void badChunksAreRefusedAndLoseNothing_data()
    {
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QString>("contentRange");
        QTest::newRow("not a multiple of 256 KiB") << qint64(kQuantum) << qint64(kQuantum + 1000) << QString();
        QTest::newRow("past the stored offset") << qint64(2 * kQuantum) << qint64(kQuantum) << QString();
        QTest::newRow("before the stored offset") << qint64(0) << qint64(kQuantum) << QString();
        QTest::newRow("range longer than body") << qint64(kQuantum) << qint64(kQuantum)
                                                << QStringLiteral("bytes 262144-786431/1000000");
        QTest::newRow("other total") << qint64(kQuantum) << qint64(kQuantum)
                                     << QStringLiteral("bytes 262144-524287/2000000");
        QTest::newRow("malformed range") << qint64(kQuantum) << qint64(kQuantum) << QStringLiteral("bytes=262144-");
    }
    void badChunksAreRefusedAndLoseNothing()
    {
        QFETCH(qint64, first);
        QFETCH(qint64, length);
        QFETCH(QString, contentRange);
        Emulator emulator({"--auto-consent"});
        const QByteArray file = RandomBytes(1000000);
        const std::string session = emulator.StartSession(file.size());
        QCOMPARE(emulator.PutChunk(session, file, 0, kQuantum)->status, 308);

        httplib::Headers headers{{"Content-Range", contentRange.isEmpty()
                                                       ? QStringLiteral("bytes %1-%2/%3").arg(first).arg(first + length - 1).arg(file.size()).toStdString()
                                                       : contentRange.toStdString()}};
        const auto res = emulator.Client().Put(session.c_str(), headers, file.mid(int(first), int(length)).toStdString(),
                                               "application/octet-stream");
        QVERIFY(res);
        QCOMPARE(res->status, 400);
        QVERIFY(!Json(res).value("error").toObject().value("message").toString().isEmpty());

        QCOMPARE(RangeOf(emulator.Status(session, file.size())), QStringLiteral("bytes=0-%1").arg(kQuantum - 1));
        QVERIFY(StoredBytes(emulator.Upload()) == file.left(kQuantum));
        QCOMPARE(emulator.PutChunk(session, file, kQuantum, file.size() - kQuantum)->status, 201);
        QCOMPARE(emulator.Upload().value("sha256").toString(), Sha256(file));
    }

    void resumesAfterADroppedConnection()
    {
        Emulator emulator({"--auto-consent"});
        const QByteArray file = RandomBytes(4 * kQuantum + 777);
        const std::string session = emulator.StartSession(file.size());
        emulator.Admin("faults", QJsonObject{{"dropAfterBytes", 100000}, {"skip", 1}});

        QCOMPARE(emulator.PutChunk(session, file, 0, kQuantum)->status, 308);
        const auto dropped = emulator.PutChunk(session, file, kQuantum, 2 * kQuantum);
        QVERIFY(!dropped); // no answer at all
        const auto where = emulator.Status(session, file.size());
        QCOMPARE(where->status, 308);
        qint64 next = RangeOf(where).section(QLatin1Char('-'), 1).toLongLong() + 1;
        QCOMPARE(next, qint64(kQuantum + 100000));

        while (next < file.size())
        {
            const qint64 length = std::min<qint64>(2 * kQuantum, file.size() - next);
            const auto res = emulator.PutChunk(session, file, next, length);
            QVERIFY(res);
            next = res->status == 201 ? file.size() : RangeOf(res).section(QLatin1Char('-'), 1).toLongLong() + 1;
        }
        const QJsonObject upload = emulator.Upload();
        QCOMPARE(upload.value("state").toString(), QStringLiteral("complete"));
        QVERIFY(StoredBytes(upload) == file);
        QCOMPARE(upload.value("sha256").toString(), Sha256(file));
        const QJsonArray faults = Json(emulator.Client().Get("/_emulator/faults")).value("faults").toArray();
        QCOMPARE(faults.first().toObject().value("fired").toInt(), 1);
    }

    void droppedConnectionIsResetAtOnce()
    {
        // A client that only writes must see the drop, not wait against a closed window.
        Emulator emulator({"--auto-consent"});
        const qint64 chunk = 32 * kQuantum;
        const std::string session = emulator.StartSession(2 * chunk);
        emulator.Admin("faults", QJsonObject{{"dropAfterBytes", 100000}});
        RawConnection connection(emulator.Port());
        QVERIFY(connection.fd >= 0);
        const timeval patience{10, 0};
        setsockopt(connection.fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof(patience));
        QVERIFY(connection.Send("PUT " + session + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: "
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
        QCOMPARE(emulator.Upload().value("size").toInt(), 100000);
    }

    void idleConnectionsDoNotStallIt()
    {
        Emulator emulator;
        // Connections that never finish their request head, more than a small pool of workers.
        std::vector<std::unique_ptr<RawConnection>> idle;
        for (int i = 0; i < 16; ++i)
        {
            idle.push_back(std::make_unique<RawConnection>(emulator.Port()));
            QVERIFY(idle.back()->fd >= 0);
            QVERIFY(idle.back()->Send("GET /_emulator/config HTTP/1.1\r\nHost: 127.0.0.1\r\n"));
        }
        httplib::Client client("127.0.0.1", emulator.Port());
        client.set_read_timeout(10);
        const auto answer = client.Get("/_emulator/config");
        QVERIFY(answer);
        QCOMPARE(answer->status, 200);
    }

    void injectedAnswersOnChunks_data()
    {
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("retryAfter");
        QTest::addColumn<qint64>("storedAfter");
        QTest::newRow("503 with Retry-After") << QJsonObject{{"status", 503}, {"retryAfter", 2}} << 503 << "backendError"
                                              << "2" << qint64(kQuantum);
        QTest::newRow("500, bytes kept") << QJsonObject{{"status", 500}, {"storeChunk", true}} << 500 << "internalError"
                                         << QString() << qint64(2 * kQuantum);
        QTest::newRow("429") << QJsonObject{{"status", 429}} << 429 << "rateLimitExceeded" << QString() << qint64(kQuantum);
        QTest::newRow("short store") << QJsonObject{{"shortStoreBytes", 1000}} << 308 << QString() << QString()
                                     << qint64(kQuantum + 1000);
        QTest::newRow("308 without Range") << QJsonObject{{"omitRange", true}} << 308 << QString() << QString() << qint64(0);
    }
    void injectedAnswersOnChunks()
    {
        QFETCH(QJsonObject, fault);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QFETCH(QString, retryAfter);
        QFETCH(qint64, storedAfter);
        Emulator emulator({"--auto-consent"});
        const QByteArray file = RandomBytes(3 * kQuantum);
        const std::string session = emulator.StartSession(file.size());
        QCOMPARE(emulator.PutChunk(session, file, 0, kQuantum)->status, 308);
        QCOMPARE(emulator.Admin("faults", fault).value("added").toArray().size(), 1);

        const auto res = emulator.PutChunk(session, file, kQuantum, kQuantum);
        QVERIFY(res);
        QCOMPARE(res->status, status);
        QCOMPARE(ApiReason(res), reason);
        QCOMPARE(QString::fromStdString(res->get_header_value("Retry-After")), retryAfter);
        const QString expectedRange = storedAfter ? QStringLiteral("bytes=0-%1").arg(storedAfter - 1) : QString();
        if (status == 308)
            QCOMPARE(RangeOf(res), expectedRange);
        QCOMPARE(RangeOf(emulator.Status(session, file.size())), expectedRange);
        QCOMPARE(emulator.Upload().value("size").toInt(), int(storedAfter));
        QVERIFY(StoredBytes(emulator.Upload()) == file.left(int(storedAfter)));
    }

    void apiFaultsAndExpiry()
    {
        Emulator emulator({"--auto-consent"});
        const QString access = emulator.SignIn().value("access_token").toString();
        const QByteArray resource = R"({"snippet": {"title": "t"}})";
        emulator.Admin("faults", QJsonArray{QJsonObject{{"quotaExceeded", true}},
                                            QJsonObject{{"uploadLimitExceeded", true}},
                                            QJsonObject{{"quotaExceeded", true}, {"on", "channels"}}});
        const auto quota = emulator.StartUpload(access, resource, 10);
        QCOMPARE(quota->status, 403);
        QCOMPARE(ApiReason(quota), QStringLiteral("quotaExceeded"));
        QCOMPARE(Json(quota).value("error").toObject().value("errors").toArray().first().toObject().value("domain").toString(),
                 QStringLiteral("youtube.quota"));
        const auto limit = emulator.StartUpload(access, resource, 10);
        QCOMPARE(limit->status, 400);
        QCOMPARE(ApiReason(limit), QStringLiteral("uploadLimitExceeded"));
        QCOMPARE(emulator.StartUpload(access, resource, 10)->status, 200);
        QCOMPARE(ApiReason(emulator.Channels(access)), QStringLiteral("quotaExceeded"));
        QCOMPARE(emulator.Channels(access)->status, 200);

        const QByteArray file = RandomBytes(2 * kQuantum);
        const std::string session = emulator.StartSession(file.size());
        QCOMPARE(emulator.PutChunk(session, file, 0, kQuantum)->status, 308);
        // With the switch on, a PUT needs a valid access token like every API request.
        emulator.Admin("config", QJsonObject{{"requireTokenOnPut", true}});
        const auto anonymous = emulator.PutChunk(session, file, kQuantum, kQuantum);
        QCOMPARE(anonymous->status, 401);
        QCOMPARE(ApiReason(anonymous), QStringLiteral("required"));
        emulator.Admin("config", QJsonObject{{"requireTokenOnPut", false}});
        emulator.Admin("faults", QJsonObject{{"expireSessions", true}});
        const auto gone = emulator.PutChunk(session, file, kQuantum, kQuantum);
        QCOMPARE(gone->status, 404);
        QCOMPARE(emulator.Status(session, file.size())->status, 404);
        QVERIFY(StoredBytes(emulator.Upload(QUrlQuery(QUrl(QString::fromStdString(session))).queryItemValue("upload_id")))
                == file.left(kQuantum));
    }

    void badRequestsGetClearAnswers_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("GET on the token endpoint") << "GET" << "/token" << QByteArray() << 405 << QString();
        QTest::newRow("DELETE on channels") << "DELETE" << "/youtube/v3/channels" << QByteArray() << 405 << "methodNotAllowed";
        QTest::newRow("unknown path") << "GET" << "/youtube/v3/playlists" << QByteArray() << 404 << "notFound";
        QTest::newRow("unknown session") << "PUT" << "/upload/youtube/v3/videos?uploadType=resumable&upload_id=nope"
                                         << QByteArray("x") << 404 << "notFound";
        QTest::newRow("start without Authorization") << "POST" << "/upload/youtube/v3/videos?uploadType=resumable&part=snippet"
                                                     << QByteArray("{}") << 401 << "required";
        QTest::newRow("malformed fault") << "POST" << "/_emulator/faults" << QByteArray("{nope") << 400 << "parseError";
        QTest::newRow("unknown fault") << "POST" << "/_emulator/faults" << QByteArray("{\"explode\": true}") << 400
                                       << "invalidParameter";
    }
    void badRequestsGetClearAnswers()
    {
        QFETCH(QString, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, reason);
        Emulator emulator({"--auto-consent"});
        httplib::Request req;
        req.method = method.toStdString();
        req.path = path.toStdString();
        req.body = body.toStdString();
        if (!body.isEmpty())
            req.set_header("Content-Type", "application/json");
        auto client = emulator.Client();
        const auto res = client.send(req);
        QVERIFY(res);
        QCOMPARE(res->status, status);
        if (!reason.isEmpty())
            QCOMPARE(ApiReason(res), reason);
        if (status == 405)
            QVERIFY(res->has_header("Allow"));
        QCOMPARE(emulator.Client().Get("/_emulator/config")->status, 200);
        QCOMPARE(emulator.Process().state(), QProcess::Running);
    }

    void throttledChunkTakesItsTime()
    {
        Emulator emulator({"--auto-consent"});
        const QByteArray file = RandomBytes(2 * kQuantum);
        const std::string session = emulator.StartSession(file.size());
        emulator.Admin("faults", QJsonObject{{"throttleBytesPerSecond", 4 * kQuantum}});
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(emulator.PutChunk(session, file, 0, 2 * kQuantum)->status, 201);
        QVERIFY2(timer.elapsed() >= 450, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(emulator.Upload().value("sha256").toString(), Sha256(file));
    }

    void sessionsAndTokensSurviveARestart()
    {
        QTemporaryDir data;
        const QByteArray file = RandomBytes(2 * kQuantum);
        std::string session;
        QString refreshToken;
        {
            Emulator emulator({"--auto-consent"}, data.path());
            refreshToken = emulator.SignIn().value("refresh_token").toString();
            session = emulator.StartSession(file.size());
            QCOMPARE(emulator.PutChunk(session, file, 0, kQuantum)->status, 308);
        }
        Emulator again({}, data.path());
        QCOMPARE(again.Refresh(refreshToken)->status, 200);
        QCOMPARE(RangeOf(again.Status(session, file.size())), QStringLiteral("bytes=0-%1").arg(kQuantum - 1));
        QCOMPARE(again.PutChunk(session, file, kQuantum, kQuantum)->status, 201);
        QCOMPARE(again.Upload().value("sha256").toString(), Sha256(file));
    }
};

TAVRIX_TEST_MAIN(TestYouTubeEmulator)
#include "tst_YouTubeEmulator.moc"
