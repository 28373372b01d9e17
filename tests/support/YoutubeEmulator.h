#pragma once

// The loopback YouTube emulator for the protocol's tests: started by the test
// on a free port with its own data folder, stopped with it. Also plays the
// user's browser on the emulator's sign-in pages.

#include "YoutubeConfiguration.h"
#include "YoutubeNetworkProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace TestSupport {

using RawHeaders = QList<QPair<QByteArray, QByteArray>>;

struct HttpAnswer
{
    int status = 0; // 0: no answer at all
    QByteArray body;
    QByteArray location;
    RawHeaders headers;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    QByteArray Header(const QByteArray& name) const;
};

// One HTTP exchange, waited for in a local event loop (the component under
// test keeps running meanwhile). Redirects are not followed.
HttpAnswer Fetch(QNetworkAccessManager& network, const QByteArray& verb, const QUrl& url,
                 const QByteArray& body = {}, const QByteArray& contentType = {},
                 const QString& bearerToken = {}, const RawHeaders& headers = {});

class YoutubeEmulator
{
public:
    explicit YoutubeEmulator(const QStringList& arguments = {});
    ~YoutubeEmulator();

    YoutubeEmulator(const YoutubeEmulator&) = delete;
    YoutubeEmulator& operator=(const YoutubeEmulator&) = delete;

    // Empty when the emulator did not come up; the reason is in Error().
    QUrl Origin() const { return m_origin; }
    QString Error() const { return m_error; }

    // POST/GET of the emulator's admin endpoints; the JSON answer.
    QJsonObject Post(const QString& path, const QJsonValue& body);
    QJsonObject Get(const QString& path) { return Send("GET", path).json(); }
    // Arms one fault (an object) or several (an array); changes settings.
    QJsonObject Arm(const QJsonValue& faults) { return Post(QStringLiteral("/_emulator/faults"), faults); }
    void Configure(const QJsonObject& changes) { Post(QStringLiteral("/_emulator/config"), changes); }
    // Every fault armed so far, with how often it fired; every upload session the emulator knows.
    QJsonArray Faults() { return Get(QStringLiteral("/_emulator/faults")).value(QStringLiteral("faults")).toArray(); }
    QJsonArray Uploads() { return Get(QStringLiteral("/_emulator/uploads")).value(QStringLiteral("uploads")).toArray(); }
    // Any request to the emulator, the path resolved against its origin.
    HttpAnswer Send(const QByteArray& verb, const QString& pathAndQuery, const QByteArray& body = {},
                    const QByteArray& type = {}, const QString& token = {}, const RawHeaders& headers = {});

    // The component's configuration for this emulator: emulator client, tokens
    // in `tokenFile`, small chunks and short backoff so faults are quick.
    Tavrix::Social::YouTube::Configuration Config(const QString& tokenFile) const;

    // Plays the browser on an authorization address: consents or denies and
    // returns where the emulator sends the browser back (the app's loopback).
    QUrl Consent(const QUrl& authorizationUrl, bool allow);

    // A protocol on `config`, signed in through the consent page with the test
    // as its browser; null when the sign-in did not succeed.
    std::unique_ptr<Tavrix::Social::YoutubeNetworkProtocol>
    SignedIn(const Tavrix::Social::YouTube::Configuration& config);

    QNetworkAccessManager& Network() { return m_network; }

private:
    QTemporaryDir m_data;
    QProcess m_process;
    QNetworkAccessManager m_network;
    QUrl m_origin;
    QString m_error;
};

} // namespace TestSupport
