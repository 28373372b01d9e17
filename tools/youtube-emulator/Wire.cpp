#include "Wire.h"

#include <httplib.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QUrl>

namespace Tavrix::YouTubeEmulator {

namespace {
QString StatusName(int code)
{
    switch (code)
    {
    case 400: return QStringLiteral("INVALID_ARGUMENT");
    case 401: return QStringLiteral("UNAUTHENTICATED");
    case 403: return QStringLiteral("PERMISSION_DENIED");
    case 404: return QStringLiteral("NOT_FOUND");
    case 409: return QStringLiteral("ABORTED");
    case 413: return QStringLiteral("OUT_OF_RANGE");
    case 429: return QStringLiteral("RESOURCE_EXHAUSTED");
    case 500: return QStringLiteral("INTERNAL");
    case 503: return QStringLiteral("UNAVAILABLE");
    default: return QString();
    }
}
} // namespace

QJsonObject ApiErrorBody(int code, const ApiErrorItem& item)
{
    QJsonObject entry{{"message", item.message}, {"domain", item.domain}, {"reason", item.reason}};
    if (!item.location.isEmpty())
    {
        entry.insert("location", item.location);
        entry.insert("locationType", item.locationType.isEmpty() ? QStringLiteral("parameter") : item.locationType);
    }
    QJsonObject error{{"code", code}, {"message", item.message}, {"errors", QJsonArray{entry}}};
    const QString status = StatusName(code);
    if (!status.isEmpty())
        error.insert("status", status);
    return QJsonObject{{"error", error}};
}

void SendApiError(httplib::Response& res, int code, const ApiErrorItem& item)
{
    if (code == 401)
        res.set_header("WWW-Authenticate", "Bearer realm=\"https://accounts.google.com/\", error=\"invalid_token\"");
    SendJson(res, code, ApiErrorBody(code, item));
}

void SendApiError(httplib::Response& res, int code, const QString& reason, const QString& message,
                  const QString& domain)
{
    ApiErrorItem item;
    item.reason = reason;
    item.message = message;
    item.domain = domain;
    SendApiError(res, code, item);
}

void SendLocatedError(httplib::Response& res, int code, const QString& reason, const QString& message,
                      const QString& location, const QString& locationType, const QString& domain)
{
    ApiErrorItem item;
    item.reason = reason;
    item.message = message;
    item.domain = domain;
    item.location = location;
    item.locationType = locationType;
    SendApiError(res, code, item);
}

void SendSignupRequired(httplib::Response& res)
{
    SendLocatedError(res, 401, QStringLiteral("youtubeSignupRequired"), QStringLiteral("Unauthorized"),
                     QStringLiteral("Authorization"), QStringLiteral("header"), QStringLiteral("youtube.header"));
}

void SendOAuthError(httplib::Response& res, int code, const QString& error, const QString& description)
{
    res.set_header("Cache-Control", "no-store");
    SendJson(res, code, QJsonObject{{"error", error}, {"error_description", description}});
}

void SendJson(httplib::Response& res, int code, const QJsonObject& body)
{
    res.status = code;
    res.set_content(QJsonDocument(body).toJson(QJsonDocument::Indented).toStdString(),
                    "application/json; charset=UTF-8");
}

FormFields ParseForm(const std::string& body)
{
    FormFields fields;
    const QByteArray raw = QByteArray::fromStdString(body);
    for (const QByteArray& pair : raw.split('&'))
    {
        if (pair.isEmpty())
            continue;
        const int eq = pair.indexOf('=');
        QByteArray name = eq < 0 ? pair : pair.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        name.replace('+', ' ');
        value.replace('+', ' ');
        fields[QString::fromUtf8(QByteArray::fromPercentEncoding(name))]
            << QString::fromUtf8(QByteArray::fromPercentEncoding(value));
    }
    return fields;
}

QString FormValue(const FormFields& form, const QString& name)
{
    const auto it = form.find(name);
    return it == form.end() || it->isEmpty() ? QString() : it->first();
}

QString Param(const httplib::Request& req, const char* name)
{
    return req.has_param(name) ? QString::fromStdString(req.get_param_value(name)) : QString();
}

QString Header(const httplib::Request& req, const char* name)
{
    return QString::fromStdString(req.get_header_value(name));
}

QString RandomToken(int length)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-";
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text.append(QLatin1Char(alphabet[QRandomGenerator::system()->bounded(64)]));
    return text;
}

QString S256Challenge(const QString& verifier)
{
    const QByteArray digest = QCryptographicHash::hash(verifier.toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool IsValidVerifier(const QString& verifier)
{
    if (verifier.size() < 43 || verifier.size() > 128)
        return false;
    for (const QChar c : verifier)
    {
        const ushort u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
                        u == '.' || u == '_' || u == '~';
        if (!ok)
            return false;
    }
    return true;
}

QString PercentEncode(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString IsoTime(qint64 msecsSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC).toString(Qt::ISODateWithMs);
}

qint64 NowMsecs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace Tavrix::YouTubeEmulator
