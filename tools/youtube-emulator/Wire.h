#pragma once

// Small pieces of Google's wire formats shared by every endpoint: the two
// error forms, form bodies, random identifiers and PKCE.

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QString>

#include <string>

namespace httplib {
struct Response;
struct Request;
} // namespace httplib

namespace Tavrix::YouTubeEmulator {

// One entry of the API error form's "errors" list.
struct ApiErrorItem
{
    QString reason;
    QString message;
    QString domain = QStringLiteral("global");
    QString location;
    QString locationType;
};

// {"error": {"code": N, "message": ..., "errors": [...], "status": ...}}
QJsonObject ApiErrorBody(int code, const ApiErrorItem& item);
void SendApiError(httplib::Response& res, int code, const ApiErrorItem& item);
// The shorthand most answers need: one reason, one message.
void SendApiError(httplib::Response& res, int code, const QString& reason, const QString& message,
                  const QString& domain = QStringLiteral("global"));

// An error about one parameter or header, named in "location".
void SendLocatedError(httplib::Response& res, int code, const QString& reason, const QString& message,
                      const QString& location, const QString& locationType = QStringLiteral("parameter"),
                      const QString& domain = QStringLiteral("global"));
// 401 youtubeSignupRequired: the account has no YouTube channel.
void SendSignupRequired(httplib::Response& res);

// {"error": "...", "error_description": "..."}, the form of the sign-in endpoints.
void SendOAuthError(httplib::Response& res, int code, const QString& error, const QString& description);

void SendJson(httplib::Response& res, int code, const QJsonObject& body);

// application/x-www-form-urlencoded, '+' as space; a repeated name is kept as
// a list so callers can refuse it.
using FormFields = QMap<QString, QStringList>;
FormFields ParseForm(const std::string& body);
QString FormValue(const FormFields& form, const QString& name);

// A query parameter, or an empty string.
QString Param(const httplib::Request& req, const char* name);
QString Header(const httplib::Request& req, const char* name);

// Random text from [A-Za-z0-9_-], from the system's cryptographic source.
QString RandomToken(int length);

// base64url(SHA-256(text)) without padding: the S256 code challenge.
QString S256Challenge(const QString& verifier);

// RFC 7636: 43 to 128 characters from [A-Za-z0-9-._~].
bool IsValidVerifier(const QString& verifier);

QString PercentEncode(const QString& text);
QString IsoTime(qint64 msecsSinceEpoch);
qint64 NowMsecs();

} // namespace Tavrix::YouTubeEmulator
