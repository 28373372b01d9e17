#pragma once

// What a finished reply of Google's servers says, read once, and what it means
// for the caller: the request's result, and whether trying again may help.

#include "SocialProtocol.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <QList>
#include <QPair>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;
class QUrl;

namespace Tavrix::Social::YouTube {

struct ApiReply
{
    int status = 0;              // HTTP status; 0 when no answer came (broken connection)
    bool transportFailed = false;
    QString transportError;
    QJsonObject json;            // the body when it is a JSON object
    QString reason;              // API errors[0].reason, or the OAuth "error"
    QString message;             // API error message, or the OAuth "error_description"
    QByteArray location;
    QByteArray range;
    int retryAfterMs = -1;       // from Retry-After, -1 when absent

    static ApiReply Read(QNetworkReply* reply);
    // An answer read off a socket by other means; status 0 is a broken connection.
    static ApiReply FromParts(int status, const QString& transportError, const QByteArray& body,
                              const QByteArray& location, const QByteArray& range, const QByteArray& retryAfter);

    bool Ok() const { return status >= 200 && status < 300; }
    // Broken connections, 5xx, 429 and the rate-limit 403s: worth another try later.
    bool Retryable() const;
    // The result a failure stands for.
    RequestResult Failure() const;
    // "HTTP 403 quotaExceeded: The request cannot be completed..." for logs.
    QString Describe() const;
};

// Requests are never redirected: a 308 of the upload is its progress report.
void PrepareRequest(QNetworkRequest& request, int transferTimeoutMs);

// An application/x-www-form-urlencoded POST, every value percent-encoded.
QNetworkReply* PostForm(QNetworkAccessManager& network, const QUrl& url,
                        const QList<QPair<QString, QString>>& form, int transferTimeoutMs);
// "a=1&b=x%20y": percent-encoded, spaces as %20, never '+'.
QByteArray EncodeForm(const QList<QPair<QString, QString>>& form);

} // namespace Tavrix::Social::YouTube
