#include "ApiReply.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace Tavrix::Social::YouTube {

namespace {
int ParseRetryAfter(const QByteArray& value)
{
    if (value.isEmpty())
        return -1;
    bool ok = false;
    const int seconds = value.trimmed().toInt(&ok);
    if (ok)
        return qMax(0, seconds) * 1000;
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(value.trimmed()), Qt::RFC2822Date);
    if (!when.isValid())
        return -1;
    return static_cast<int>(qBound<qint64>(0, QDateTime::currentDateTimeUtc().msecsTo(when), 3600 * 1000));
}
} // namespace

ApiReply ApiReply::Read(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return FromParts(0, reply->errorString(), {}, {}, {}, {});
    return FromParts(status, {}, reply->readAll(), reply->rawHeader("Location"), reply->rawHeader("Range"),
                     reply->rawHeader("Retry-After"));
}

ApiReply ApiReply::FromParts(int status, const QString& transportError, const QByteArray& body,
                             const QByteArray& location, const QByteArray& range, const QByteArray& retryAfter)
{
    ApiReply answer;
    answer.status = status;
    if (answer.status == 0)
    {
        answer.transportFailed = true;
        answer.transportError = transportError;
        return answer;
    }
    answer.location = location;
    answer.range = range;
    answer.retryAfterMs = ParseRetryAfter(retryAfter);

    const QJsonDocument document = QJsonDocument::fromJson(body);
    answer.json = document.object();
    const QJsonValue error = answer.json.value(QStringLiteral("error"));
    if (error.isObject())
    {
        // The API's form: {"error": {"code", "message", "errors": [{"reason", ...}]}}
        const QJsonObject object = error.toObject();
        answer.message = object.value(QStringLiteral("message")).toString();
        const QJsonArray errors = object.value(QStringLiteral("errors")).toArray();
        if (!errors.isEmpty())
            answer.reason = errors.first().toObject().value(QStringLiteral("reason")).toString();
        if (answer.reason.isEmpty())
            answer.reason = object.value(QStringLiteral("status")).toString();
    }
    else if (error.isString())
    {
        // The OAuth form: {"error": "invalid_grant", "error_description": "..."}
        answer.reason = error.toString();
        answer.message = answer.json.value(QStringLiteral("error_description")).toString();
    }
    return answer;
}

bool ApiReply::Retryable() const
{
    if (transportFailed)
        return true;
    if (status == 500 || status == 502 || status == 503 || status == 504 || status == 429)
        return true;
    return status == 403
        && (reason == QLatin1String("rateLimitExceeded") || reason == QLatin1String("userRateLimitExceeded"));
}

RequestResult ApiReply::Failure() const
{
    if (transportFailed)
        return NetworkError;
    if (reason == QLatin1String("quotaExceeded") || reason == QLatin1String("dailyLimitExceeded"))
        return QuotaExceeded;
    if (reason == QLatin1String("uploadLimitExceeded"))
        return UploadLimitExceeded;
    if (reason == QLatin1String("youtubeSignupRequired"))
        return NoChannel;
    if (reason == QLatin1String("invalidTitle") || reason == QLatin1String("invalidDescription")
        || reason == QLatin1String("invalidTags") || reason == QLatin1String("invalidCategoryId")
        || reason == QLatin1String("invalidVideoMetadata"))
        return InvalidMetadata;
    if (reason == QLatin1String("invalid_grant"))
        return AuthorizationExpired;
    if (status == 401)
        return AuthorizationExpired;
    if (status == 403)
        return Forbidden;
    if (status >= 500 || status == 429)
        return ServerError;
    return ProtocolError;
}

QString ApiReply::Describe() const
{
    if (transportFailed)
        return QStringLiteral("no answer (%1)").arg(transportError);
    QString text = QStringLiteral("HTTP %1").arg(status);
    if (!reason.isEmpty())
        text += QLatin1Char(' ') + reason;
    if (!message.isEmpty())
        text += QStringLiteral(": ") + message;
    return text;
}

void PrepareRequest(QNetworkRequest& request, int transferTimeoutMs)
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(transferTimeoutMs);
}

QByteArray EncodeForm(const QList<QPair<QString, QString>>& form)
{
    QByteArray body;
    for (const auto& field : form)
    {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(field.first) + '=' + QUrl::toPercentEncoding(field.second);
    }
    return body;
}

QNetworkReply* PostForm(QNetworkAccessManager& network, const QUrl& url, const QList<QPair<QString, QString>>& form,
                        int transferTimeoutMs)
{
    QNetworkRequest request(url);
    PrepareRequest(request, transferTimeoutMs);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    return network.post(request, EncodeForm(form));
}

} // namespace Tavrix::Social::YouTube
