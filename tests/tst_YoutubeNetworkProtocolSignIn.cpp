// The network YouTube protocol's sign-in against the loopback emulator: the
// whole browser round trip, the channel, refusals, token refresh and sign-out.

#include "YoutubeNetworkProtocol.h"

#include "LogCapture.h"
#include "TestMain.h"
#include "YoutubeEmulator.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QUrlQuery>

#include <optional>

using namespace Tavrix::Social;
using TestSupport::LogCapture;
using TestSupport::YoutubeEmulator;

namespace {
using LogIns = QList<QPair<Ticket, RequestResult>>;
using Protocol = YoutubeNetworkProtocol;
} // namespace

class TestYoutubeNetworkProtocolSignIn : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<YoutubeEmulator> emulator;
    std::unique_ptr<QTemporaryDir> home;
    // What the test's browser was asked to show, and whether it comes up.
    QList<QUrl> opened;
    bool browserWorks = true;

    QString TokenFile() const { return home->filePath(QStringLiteral("config/youtube-tokens.json")); }

    YouTube::Configuration Config() const { return emulator->Config(TokenFile()); }
    std::unique_ptr<YoutubeNetworkProtocol> MakeProtocol(const YouTube::Configuration& config)
    {
        return std::make_unique<YoutubeNetworkProtocol>(config, [this](const QUrl& url) {
            opened << url;
            return browserWorks;
        });
    }
    std::unique_ptr<YoutubeNetworkProtocol> MakeProtocol() { return MakeProtocol(Config()); }

    // Starts a sign-in and returns its ticket; answers land in `answers`.
    Ticket StartLogIn(YoutubeNetworkProtocol& protocol, LogIns& answers)
    {
        return protocol.LogIn({}, [&answers](Ticket ticket, RequestResult result) { answers << qMakePair(ticket, result); });
    }

    // Asks the protocol with `request` and waits for the answer, which never comes from inside the call.
    template <class Value, class Callback>
    std::pair<RequestResult, Value> Ask(Protocol& protocol, Ticket (Protocol::*request)(Callback))
    {
        std::optional<std::pair<RequestResult, Value>> answer;
        (protocol.*request)([&answer](Ticket, RequestResult result, Value value) { answer.emplace(result, value); });
        if (answer || !QTest::qWaitFor([&answer] { return answer.has_value(); }, 10000))
            return {ProtocolError, Value()};
        return *answer;
    }
    auto AskName(Protocol& protocol) { return Ask<QString>(protocol, &Protocol::RequestUserName); }
    auto AskProfile(Protocol& protocol) { return Ask<QUrl>(protocol, &Protocol::RequestUserProfile); }
    auto AskPicture(Protocol& protocol) { return Ask<QPixmap>(protocol, &Protocol::RequestUserPicture); }

    // The test's browser opens `url`.
    TestSupport::HttpAnswer Open(const QUrl& url) { return TestSupport::Fetch(emulator->Network(), "GET", url); }

private slots:
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        emulator = std::make_unique<YoutubeEmulator>();
        QVERIFY2(emulator->Origin().isValid(), qPrintable(emulator->Error()));
        opened.clear();
        browserWorks = true;
    }

    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        emulator.reset();
        home.reset();
    }

    void completeSignInShowsTheChannel()
    {
        // Categories come in the user's language for the user's region.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        emulator->Configure(QJsonObject{{"channelId", "UCzoe123"}, {"channelTitle", QStringLiteral("Zoë \"Kanal\" 東京")}});
        LogCapture log(30);
        auto protocol = MakeProtocol();
        QVERIFY(!protocol->IsLoggedIn());

        LogIns answers;
        const Ticket ticket = StartLogIn(*protocol, answers);
        QVERIFY(ticket != InvalidTicket);
        QCOMPARE(opened.size(), 1);
        // The emulator refuses a request that breaks Google's rules; what it lets
        // pass is checked here: the consent screen, so a refresh token comes.
        const QUrl authorization = opened.first();
        const QUrlQuery query(authorization);
        QCOMPARE(query.queryItemValue("prompt", QUrl::FullyDecoded), QStringLiteral("consent select_account"));
        const QUrl redirect(query.queryItemValue("redirect_uri", QUrl::FullyDecoded));
        QCOMPARE(redirect.host(), QStringLiteral("127.0.0.1"));

        const QUrl back = emulator->Consent(authorization, true);
        QCOMPARE(back.port(), redirect.port());
        const TestSupport::HttpAnswer page = Open(back);
        QCOMPARE(page.status, 200);
        QVERIFY(page.body.contains("You may close this page."));
        QTRY_COMPARE(answers.size(), 1);
        QCOMPARE(answers.first(), qMakePair(ticket, Success));
        QVERIFY(protocol->IsLoggedIn());

        // The listener is gone once its one callback came.
        QTcpSocket late;
        late.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(redirect.port()));
        QVERIFY(!late.waitForConnected(2000));

        QCOMPARE(AskName(*protocol), std::make_pair(Success, QStringLiteral("Zoë \"Kanal\" 東京")));
        QCOMPARE(AskProfile(*protocol), std::make_pair(Success, QUrl("https://www.youtube.com/channel/UCzoe123")));
        const auto picture = AskPicture(*protocol);
        QCOMPARE(picture.first, Success);
        QVERIFY(!picture.second.isNull());

        // Tokens are kept for the next run, readable by the user alone, and never logged.
        QFile tokens(TokenFile());
        QVERIFY(tokens.open(QIODevice::ReadOnly));
        QCOMPARE(tokens.permissions() & 0x0077, QFileDevice::Permissions());
        const QJsonObject stored = QJsonDocument::fromJson(tokens.readAll()).object();
        const QString refresh = stored.value("refresh_token").toString();
        const QString access = stored.value("access_token").toString();
        QVERIFY(!refresh.isEmpty() && !access.isEmpty());
        for (const QString& line : log.Texts())
            QVERIFY2(!line.contains(refresh) && !line.contains(access), qPrintable(line));

        // Options offered synchronously, YouTube's standard list until the account's own has
        // arrived; then its assignable categories only, the usual default chosen.
        QCOMPARE(protocol->GetFields().value(YoutubeProtocol::FIELD_CATEGORY_ID).selectedValue, QStringLiteral("22"));
        const QJsonArray listed = emulator->Send("GET", "/youtube/v3/videoCategories?part=snippet&regionCode=DE&hl=de", {},
                                                 {}, access).json().value("items").toArray();
        QStringList assignable;
        for (const QJsonValue& item : listed)
        {
            const QJsonObject snippet = item.toObject().value("snippet").toObject();
            if (snippet.value("assignable").toBool())
                assignable << item.toObject().value("id").toString() + " " + snippet.value("title").toString();
        }
        const auto offered = [&protocol](const QString& field, bool withText) {
            QStringList options;
            for (const FieldOption& option : protocol->GetFields().value(field).options)
                options << (withText ? option.value + " " + option.displayText : option.value);
            return options;
        };
        QTRY_COMPARE(offered(YoutubeProtocol::FIELD_CATEGORY_ID, true), assignable);
        QCOMPARE(protocol->GetFields().value(YoutubeProtocol::FIELD_CATEGORY_ID).selectedValue, QStringLiteral("22"));
        QVERIFY(listed.size() > assignable.size());
        // The values YouTube takes, whatever the labels say.
        QCOMPARE(offered(YoutubeProtocol::FIELD_PRIVACY, false), (QStringList{"public", "unlisted", "private"}));

        auto restarted = MakeProtocol();
        QVERIFY(restarted->IsLoggedIn());
        QCOMPARE(AskName(*restarted).second, QStringLiteral("Zoë \"Kanal\" 東京"));
    }

    void accountWithoutChannelHasAnEmptyProfile_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("401 youtubeSignupRequired") << "401";
        QTest::newRow("empty item list") << "empty";
    }

    void accountWithoutChannelHasAnEmptyProfile()
    {
        QFETCH(QString, mode);
        emulator->Configure(QJsonObject{{"channel", false}, {"noChannelMode", mode}});
        auto protocol = emulator->SignedIn(Config());
        QVERIFY(protocol);
        QCOMPARE(AskProfile(*protocol), std::make_pair(Success, QUrl()));
        QCOMPARE(AskName(*protocol), std::make_pair(NoChannel, QString()));
        QCOMPARE(AskPicture(*protocol).first, NoChannel);
        QVERIFY(protocol->IsLoggedIn());
    }

    void failedSignInsKeepNoTokens_data()
    {
        // What the test's browser does with the authorization page.
        QTest::addColumn<QString>("browserDoes");
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<RequestResult>("expected");
        QTest::newRow("consent denied") << "deny" << QJsonObject() << AuthorizationDenied;
        // Retried a few times, then given up.
        QTest::newRow("token endpoint keeps failing")
            << "allow" << QJsonObject{{"status", 503}, {"on", "token"}, {"times", -1}} << ServerError;
        QTest::newRow("browser closed") << "nothing" << QJsonObject() << AuthorizationTimeout;
        QTest::newRow("only forged answers") << "forge" << QJsonObject() << AuthorizationTimeout;
        QTest::newRow("no browser") << "fail" << QJsonObject() << BrowserUnavailable;
        QTest::newRow("no client id") << "nothing" << QJsonObject() << ClientNotConfigured;
    }

    void failedSignInsKeepNoTokens()
    {
        QFETCH(QString, browserDoes);
        QFETCH(QJsonObject, fault);
        QFETCH(RequestResult, expected);
        YouTube::Configuration config = Config();
        if (expected == AuthorizationTimeout)
            config.signInTimeoutMs = 1500;
        if (expected == ClientNotConfigured)
            config.clientId.clear();
        browserWorks = browserDoes != "fail";
        if (!fault.isEmpty())
            emulator->Arm(fault);
        auto protocol = MakeProtocol(config);
        LogIns answers;
        StartLogIn(*protocol, answers);
        QCOMPARE(answers.size(), 0);
        if (browserDoes == "allow" || browserDoes == "deny")
        {
            const QByteArray page = Open(emulator->Consent(opened.value(0), browserDoes == "allow")).body;
            QVERIFY(page.contains(browserDoes == "allow" ? "You may close this page" : "not completed"));
        }
        if (browserDoes == "forge")
        {
            const QUrl redirect(QUrlQuery(opened.value(0)).queryItemValue("redirect_uri", QUrl::FullyDecoded));
            // The browser's own requests, and answers any local program can forge,
            // leave the sign-in waiting for the real one.
            QCOMPARE(Open(redirect.resolved(QUrl("/favicon.ico"))).status, 404);
            const TestSupport::HttpAnswer refused = Open(redirect.resolved(QUrl("?state=forged&code=4/0stolen")));
            QCOMPARE(refused.status, 400);
            QVERIFY(refused.body.contains("does not belong"));
            QCOMPARE(answers.size(), 0);
        }
        QTRY_COMPARE(answers.size(), 1);
        QCOMPARE(answers.first().second, expected);
        QVERIFY(!protocol->IsLoggedIn());
        QVERIFY(!QFile::exists(TokenFile()));
        if (!fault.isEmpty())
            QCOMPARE(emulator->Faults().first().toObject().value("fired").toInt(),
                     config.maxTokenRetries + 1);
    }

    void cancelAndDestructionEndSignInAtOnce()
    {
        auto protocol = MakeProtocol();
        LogIns answers;
        const Ticket ticket = StartLogIn(*protocol, answers);
        protocol->Cancel(InvalidTicket);
        protocol->Cancel(ticket + 1000);
        QCOMPARE(answers.size(), 0);
        protocol->Cancel(ticket);
        QCOMPARE(answers, (LogIns{{ticket, Cancelled}}));
        protocol->Cancel(ticket);
        QCOMPARE(Open(emulator->Consent(opened.value(0), true)).status, 0);

        // Destroyed while the browser is open: nobody is called back.
        LogIns orphan;
        StartLogIn(*protocol, orphan);
        protocol.reset();
        QCOMPARE(Open(emulator->Consent(opened.last(), true)).status, 0);
        QCOMPARE(orphan.size(), 0);
        QCOMPARE(answers.size(), 1);
    }

    void accessTokenIsRefreshed_data()
    {
        QTest::addColumn<QJsonArray>("beforeSignIn");
        QTest::addColumn<QJsonArray>("afterSignIn");
        QTest::addColumn<int>("lifetime");
        QTest::addColumn<bool>("signedInElsewhere");
        // What asking for the channel's name gives afterwards.
        QTest::addColumn<RequestResult>("expected");
        const QJsonObject expire{{"expireAccessTokens", true}};
        const QJsonObject busy{{"status", 503}, {"retryAfter", 0}, {"on", "token"}};
        QTest::newRow("refused by the server (401)") << QJsonArray() << QJsonArray{expire} << 3600 << false << Success;
        QTest::newRow("about to expire") << QJsonArray() << QJsonArray() << 30 << false << Success;
        // The account already granted access on another computer.
        QTest::newRow("second sign-in of the account") << QJsonArray() << QJsonArray{expire} << 3600 << true << Success;
        // The token endpoint's passing failures, at sign-in and at the refresh.
        QTest::newRow("503 with Retry-After") << QJsonArray{busy} << QJsonArray{expire, busy} << 3600 << false << Success;
        QTest::newRow("429 and 500 twice")
            << QJsonArray{QJsonObject{{"status", 429}, {"on", "token"}, {"times", 2}}}
            << QJsonArray{expire, QJsonObject{{"status", 500}, {"on", "token"}, {"times", 2}}} << 3600 << false << Success;
        // The user withdrew the access: signed out, the tokens forgotten.
        QTest::newRow("refresh token revoked") << QJsonArray()
                                               << QJsonArray{expire, QJsonObject{{"revokeRefreshTokens", true}}} << 3600
                                               << false << AuthorizationExpired;
    }

    void accessTokenIsRefreshed()
    {
        QFETCH(QJsonArray, beforeSignIn);
        QFETCH(QJsonArray, afterSignIn);
        QFETCH(int, lifetime);
        QFETCH(bool, signedInElsewhere);
        QFETCH(RequestResult, expected);
        emulator->Configure(QJsonObject{{"accessTokenLifetime", lifetime}});
        if (signedInElsewhere)
            QVERIFY(emulator->SignedIn(emulator->Config(home->filePath(QStringLiteral("elsewhere.json")))));
        if (!beforeSignIn.isEmpty())
            emulator->Arm(beforeSignIn);
        QVERIFY(emulator->SignedIn(Config()));
        if (!afterSignIn.isEmpty())
            emulator->Arm(afterSignIn);

        LogCapture log;
        auto restarted = MakeProtocol();
        QVERIFY(restarted->IsLoggedIn());
        QCOMPARE(AskName(*restarted).first, expected);
        QCOMPARE(restarted->IsLoggedIn(), expected == Success);
        QCOMPARE(QFile::exists(TokenFile()), expected == Success);
        QVERIFY(log.Tagged().contains(expected == Success
                                          ? "I: Tavrix::Social::YoutubeNetworkProtocol::RefreshToken: access token refreshed"
                                          : "E: Tavrix::Social::YoutubeNetworkProtocol::RefreshToken: Google refused the "
                                            "refresh token (revoked or expired), the user is signed out"));
        for (const QJsonValue& fault : emulator->Faults())
            if (fault.toObject().contains("status"))
                QCOMPARE(fault.toObject().value("fired").toInt(), fault.toObject().value("times").toInt());
    }

    void tokensGoToAnOwnerOnlyFileWithoutKeychain()
    {
        // No secret service on this session bus.
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        YouTube::Configuration config = Config();
        config.useKeychain = true;
        LogCapture log;
        QVERIFY(emulator->SignedIn(config));
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        QVERIFY(log.Texts().contains("Tavrix::Social::YouTube::TokenStore::Load: no keychain answers, tokens are kept in "
                                     + TokenFile()));
        QCOMPARE(QFileInfo(TokenFile()).permissions() & 0x0077, QFileDevice::Permissions());
        QVERIFY(MakeProtocol(config)->IsLoggedIn());
    }

    void signOutRevokesAndForgets()
    {
        auto protocol = emulator->SignedIn(Config());
        QVERIFY(protocol);
        QCOMPARE(emulator->Get("/_emulator/state").value("liveRefreshTokens").toInt(), 1);
        protocol->LogOut();
        QVERIFY(!protocol->IsLoggedIn());
        QVERIFY(!QFile::exists(TokenFile()));
        QTRY_COMPARE(emulator->Get("/_emulator/state").value("liveRefreshTokens").toInt(), 0);
        QCOMPARE(AskName(*protocol).first, AuthorizationExpired);
        QVERIFY(!MakeProtocol()->IsLoggedIn());
    }
};

TAVRIX_TEST_MAIN(TestYoutubeNetworkProtocolSignIn)
#include "tst_YoutubeNetworkProtocolSignIn.moc"
