#include "YoutubeEmulator.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

#include <optional>

namespace TestSupport {

QByteArray HttpAnswer::Header(const QByteArray& name) const
{
    for (const auto& header : headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    return {};
}

HttpAnswer Fetch(QNetworkAccessManager& network, const QByteArray& verb, const QUrl& url, const QByteArray& body,
                 const QByteArray& contentType, const QString& bearerToken, const RawHeaders& headers)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (!contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    if (!bearerToken.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + bearerToken.toLatin1());
    for (const auto& header : headers)
        request.setRawHeader(header.first, header.second);
    QNetworkReply* reply = network.sendCustomRequest(request, verb, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    HttpAnswer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.body = reply->readAll();
    answer.location = reply->rawHeader("Location");
    answer.headers = reply->rawHeaderPairs();
    reply->abort();
    reply->deleteLater();
    return answer;
}

YoutubeEmulator::YoutubeEmulator(const QStringList& arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(TAVRIX_YOUTUBE_EMULATOR),
                    QStringList{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), m_data.path()}
                        + arguments);
    const QDeadlineTimer deadline(20000);
    while (!m_process.canReadLine() && !deadline.hasExpired() && m_process.state() != QProcess::NotRunning)
        m_process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^youtube-emulator listening on (http://127\\.0\\.0\\.1:\\d+)$")).match(line);
    if (match.hasMatch())
        m_origin = QUrl(match.captured(1));
    else
        m_error = QStringLiteral("the emulator said \"%1\"").arg(line);
}

YoutubeEmulator::~YoutubeEmulator()
{
    // Idle keep-alive connections would hold up the emulator's shut-down.
    m_network.clearConnectionCache();
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

QJsonObject YoutubeEmulator::Post(const QString& path, const QJsonValue& body)
{
    const QByteArray data = body.isArray() ? QJsonDocument(body.toArray()).toJson(QJsonDocument::Compact)
                                           : QJsonDocument(body.toObject()).toJson(QJsonDocument::Compact);
    return Send("POST", path, data, "application/json").json();
}

HttpAnswer YoutubeEmulator::Send(const QByteArray& verb, const QString& pathAndQuery, const QByteArray& body,
                                 const QByteArray& type, const QString& token, const RawHeaders& headers)
{
    return Fetch(m_network, verb, m_origin.resolved(QUrl(pathAndQuery)), body, type, token, headers);
}

Tavrix::Social::YouTube::Configuration YoutubeEmulator::Config(const QString& tokenFile) const
{
    Tavrix::Social::YouTube::Configuration config;
    config.PointAt(m_origin);
    config.clientId = QStringLiteral("emulator-client-id");
    config.clientSecret = QStringLiteral("emulator-client-secret");
    config.useKeychain = false;
    config.tokenFile = tokenFile;
    config.chunkSize = 256 * 1024;
    config.retryBaseDelayMs = 20;
    config.retryMaxDelayMs = 200;
    config.transferTimeoutMs = 10000;
    return config;
}

QUrl YoutubeEmulator::Consent(const QUrl& authorizationUrl, bool allow)
{
    HttpAnswer page = Fetch(m_network, "GET", authorizationUrl);
    if (page.status == 302)
        return QUrl::fromEncoded(page.location);
    const QRegularExpressionMatch request =
        QRegularExpression(QStringLiteral("name=\"request\" value=\"([^\"]+)\"")).match(QString::fromUtf8(page.body));
    // The user's button must be on the page.
    const QString decision = allow ? QStringLiteral("allow") : QStringLiteral("deny");
    if (!request.hasMatch() || !page.body.contains("name=\"decision\" value=\"" + decision.toLatin1() + "\""))
        return {};
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("request"), request.captured(1));
    form.addQueryItem(QStringLiteral("decision"), decision);
    const HttpAnswer decided = Fetch(m_network, "POST", m_origin.resolved(QUrl(QStringLiteral("/o/oauth2/v2/consent"))),
                                     form.toString(QUrl::FullyEncoded).toLatin1(), "application/x-www-form-urlencoded");
    return decided.status == 302 ? QUrl::fromEncoded(decided.location) : QUrl();
}

std::unique_ptr<Tavrix::Social::YoutubeNetworkProtocol>
YoutubeEmulator::SignedIn(const Tavrix::Social::YouTube::Configuration& config)
{
    using namespace Tavrix::Social;
    auto opened = std::make_shared<QUrl>();
    auto protocol = std::make_unique<YoutubeNetworkProtocol>(config, [opened](const QUrl& url) {
        *opened = url;
        return true;
    });
    auto result = std::make_shared<std::optional<RequestResult>>();
    protocol->LogIn({}, [result](Ticket, RequestResult outcome) { *result = outcome; });
    Fetch(m_network, "GET", Consent(*opened, true));
    if (!QTest::qWaitFor([result] { return result->has_value(); }, 10000) || **result != Success)
        return nullptr;
    return protocol;
}

} // namespace TestSupport
