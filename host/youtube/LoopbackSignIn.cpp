#include "LoopbackSignIn.h"

#include "ApiReply.h"
#include "Pkce.h"
#include "TokenRequest.h"
#include "YoutubeConfiguration.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <glog/logging.h>

namespace Tavrix::Social::YouTube {

namespace {
constexpr char kStart[] = "Tavrix::Social::YouTube::LoopbackSignIn::Start: ";
constexpr char kCallback[] = "Tavrix::Social::YouTube::LoopbackSignIn::Callback: ";
constexpr char kExchange[] = "Tavrix::Social::YouTube::LoopbackSignIn::Exchange: ";
constexpr int kMaxRequestBytes = 16 * 1024;

const QString kScopes = QStringLiteral("https://www.googleapis.com/auth/youtube.upload "
                                       "https://www.googleapis.com/auth/youtube.readonly");

QByteArray Page(int status, const QByteArray& reason, const QString& text)
{
    const QByteArray body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>YouTube</title></head>"
                            "<body style=\"font-family:sans-serif;margin:3em\"><p>"
        + text.toHtmlEscaped().toUtf8() + "</p></body></html>";
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
        + "\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\nConnection: close\r\n"
          "Content-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}
} // namespace

struct LoopbackSignIn::Impl
{
    Configuration config;
    QNetworkAccessManager& network;
    QTcpServer server;
    QTimer timeout;
    QByteArray verifier;
    QByteArray state;
    QUrl redirectUri;
    QUrl authorizationUrl;
    QPointer<TokenRequest> exchange;
    Done done;

    Impl(const Configuration& c, QNetworkAccessManager& n)
        : config(c)
        , network(n)
    {
    }

    void Finish(RequestResult result, const Tokens& tokens = {})
    {
        server.close();
        timeout.stop();
        // Whoever gets the outcome may delete this sign-in.
        Done call = std::move(done);
        done = nullptr;
        if (call)
            call(result, tokens);
    }

    void StopExchange()
    {
        delete exchange.data();
    }

    void Answer(QTcpSocket* socket, const QByteArray& response)
    {
        // The page must reach the browser even when this sign-in ends now:
        // the socket lives on by itself until its bytes are out.
        socket->setParent(nullptr);
        socket->write(response);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
    }

    // Handles one HTTP request of the browser; true once the sign-in is decided.
    void OnRequest(QTcpSocket* socket, const QByteArray& head)
    {
        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        if (requestLine.size() < 2 || requestLine[0] != "GET")
        {
            Answer(socket, Page(400, "Bad Request", QStringLiteral("Bad request.")));
            return;
        }
        const QUrl target(QString::fromLatin1(requestLine[1]));
        if (target.path() != redirectUri.path())
        {
            // The browser's favicon and the like: not the callback.
            Answer(socket, Page(404, "Not Found", QStringLiteral("Not found.")));
            return;
        }
        const QUrlQuery query(target);
        const QString givenState = query.queryItemValue(QStringLiteral("state"), QUrl::FullyDecoded);
        if (givenState != QString::fromLatin1(state))
        {
            // Any local program can call this address: a stray answer must not end
            // the sign-in, which goes on waiting for its own until the time-out.
            LOG(ERROR) << kCallback << "the callback's state does not match this sign-in, ignored; still waiting";
            Answer(socket, Page(400, "Bad Request",
                                QStringLiteral("This sign-in answer does not belong to the sign-in that was started. "
                                               "Start the sign-in again from the application.")));
            return;
        }
        const QString error = query.queryItemValue(QStringLiteral("error"), QUrl::FullyDecoded);
        if (!error.isEmpty())
        {
            LOG(ERROR) << kCallback << "the browser returned error=" << error.toStdString();
            Answer(socket, Page(200, "OK", QStringLiteral("Sign-in was not completed. You may close this page.")));
            Finish(error == QLatin1String("access_denied") ? AuthorizationDenied : ProtocolError);
            return;
        }
        // Decoded exactly once: the code may contain characters that arrive percent-encoded.
        const QString code = query.queryItemValue(QStringLiteral("code"), QUrl::FullyDecoded);
        if (code.isEmpty())
        {
            LOG(ERROR) << kCallback << "the callback carries neither a code nor an error";
            Answer(socket, Page(400, "Bad Request", QStringLiteral("Sign-in failed. You may close this page.")));
            Finish(ProtocolError);
            return;
        }
        Answer(socket, Page(200, "OK", QStringLiteral("Signed in to YouTube. You may close this page.")));
        server.close();
        LOG(INFO) << kCallback << "consent given, exchanging the code";
        Exchange(code);
    }

    void Exchange(const QString& code)
    {
        const TokenRequest::Form form{{QStringLiteral("code"), code},
                                      {QStringLiteral("client_id"), config.clientId},
                                      {QStringLiteral("client_secret"), config.clientSecret},
                                      {QStringLiteral("redirect_uri"), redirectUri.toString(QUrl::FullyEncoded)},
                                      {QStringLiteral("grant_type"), QStringLiteral("authorization_code")},
                                      {QStringLiteral("code_verifier"), QString::fromLatin1(verifier)}};
        exchange = new TokenRequest(config, network, form, [this](const ApiReply& answer) { OnExchanged(answer); },
                                    &server);
    }

    void OnExchanged(const ApiReply& answer)
    {
        exchange->deleteLater();
        exchange = nullptr;
        if (!answer.Ok())
        {
            LOG(ERROR) << kExchange << "the code exchange failed: " << answer.Describe().toStdString();
            Finish(answer.reason == QLatin1String("invalid_grant") ? AuthorizationDenied : answer.Failure());
            return;
        }
        const Tokens tokens = TokensFromAnswer(answer.json, {});
        if (tokens.accessToken.isEmpty())
        {
            LOG(ERROR) << kExchange << "the token answer has no access token";
            Finish(ProtocolError);
            return;
        }
        if (tokens.refreshToken.isEmpty())
            LOG(ERROR) << kExchange << "no refresh token granted, the sign-in lasts until the access token expires";
        LOG(INFO) << kExchange << "signed in";
        Finish(Success, tokens);
    }
};

LoopbackSignIn::LoopbackSignIn(const Configuration& config, QNetworkAccessManager& network, QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(config, network))
{
    m_impl->timeout.setSingleShot(true);
    connect(&m_impl->timeout, &QTimer::timeout, this, [this] {
        LOG(ERROR) << kCallback << "no answer from the browser within " << m_impl->config.signInTimeoutMs << " ms";
        m_impl->StopExchange();
        m_impl->Finish(AuthorizationTimeout);
    });
    connect(&m_impl->server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_impl->server.nextPendingConnection())
        {
            socket->setParent(this);
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (socket->property("answered").toBool())
                    return;
                QByteArray buffered = socket->property("head").toByteArray() + socket->readAll();
                if (!buffered.contains("\r\n\r\n"))
                {
                    if (buffered.size() > kMaxRequestBytes)
                        socket->abort();
                    else
                        socket->setProperty("head", buffered);
                    return;
                }
                socket->setProperty("answered", true);
                m_impl->OnRequest(socket, buffered);
            });
        }
    });
}

LoopbackSignIn::~LoopbackSignIn()
{
    Abort();
}

void LoopbackSignIn::Start(const BrowserOpener& openBrowser, Done done)
{
    m_impl->done = std::move(done);
    // Loopback only: nothing on the network may answer in the browser's place.
    if (!m_impl->server.listen(QHostAddress::LocalHost, 0))
    {
        LOG(ERROR) << kStart << "cannot listen on 127.0.0.1: " << m_impl->server.errorString().toStdString();
        QTimer::singleShot(0, this, [this] { m_impl->Finish(NetworkError); });
        return;
    }
    m_impl->verifier = MakeCodeVerifier();
    m_impl->state = MakeState();
    m_impl->redirectUri = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_impl->server.serverPort()));

    const QList<QPair<QString, QString>> parameters{
        {QStringLiteral("client_id"), m_impl->config.clientId},
        {QStringLiteral("redirect_uri"), m_impl->redirectUri.toString(QUrl::FullyEncoded)},
        {QStringLiteral("response_type"), QStringLiteral("code")},
        {QStringLiteral("scope"), kScopes},
        {QStringLiteral("state"), QString::fromLatin1(m_impl->state)},
        {QStringLiteral("code_challenge"), QString::fromLatin1(CodeChallenge(m_impl->verifier))},
        {QStringLiteral("code_challenge_method"), QStringLiteral("S256")},
        {QStringLiteral("access_type"), QStringLiteral("offline")},
        // Google grants a refresh token only when its consent screen shows: without
        // it a user who granted access before (another computer, a wiped keychain)
        // would be signed out again within the hour.
        {QStringLiteral("prompt"), QStringLiteral("consent select_account")},
    };
    m_impl->authorizationUrl = m_impl->config.authorizationUrl;
    m_impl->authorizationUrl.setQuery(QString::fromLatin1(EncodeForm(parameters)), QUrl::StrictMode);

    m_impl->timeout.start(m_impl->config.signInTimeoutMs);
    LOG(INFO) << kStart << "waiting for the browser on port " << m_impl->server.serverPort();
    if (!openBrowser || !openBrowser(m_impl->authorizationUrl))
    {
        LOG(ERROR) << kStart << "the browser could not be opened";
        QTimer::singleShot(0, this, [this] { m_impl->Finish(BrowserUnavailable); });
    }
}

void LoopbackSignIn::Abort()
{
    m_impl->done = nullptr;
    m_impl->StopExchange();
    m_impl->server.close();
    m_impl->timeout.stop();
}

QUrl LoopbackSignIn::AuthorizationUrl() const
{
    return m_impl->authorizationUrl;
}

} // namespace Tavrix::Social::YouTube
