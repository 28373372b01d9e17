#pragma once

// The loopback YouTube emulator for the protocol's tests: started by the test
// on a free port with its own data folder, stopped with it. Also plays the
// user's browser on the emulator's sign-in pages.

#include "YoutubeConfiguration.h"

#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace TestSupport {

struct HttpAnswer
{
    int status = 0;
    QByteArray body;
    QByteArray location;
    QJsonObject json() const;
};

// One HTTP exchange, waited for in a local event loop (the component under
// test keeps running meanwhile). Redirects are not followed.
HttpAnswer Fetch(QNetworkAccessManager& network, const QByteArray& verb, const QUrl& url,
                 const QByteArray& body = {}, const QByteArray& contentType = {},
                 const QString& bearerToken = {});

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
    QJsonObject Get(const QString& path);
    // Every upload session the emulator knows.
    QJsonArray Uploads();

    // The component's configuration for this emulator: emulator client, tokens
    // in `tokenFile`, small chunks and short backoff so faults are quick.
    Tavrix::Social::YouTube::Configuration Config(const QString& tokenFile) const;

    // Plays the browser on an authorization address: consents or denies and
    // returns where the emulator sends the browser back (the app's loopback).
    QUrl Consent(const QUrl& authorizationUrl, bool allow);

    QNetworkAccessManager& Network() { return m_network; }

private:
    QTemporaryDir m_data;
    QProcess m_process;
    QNetworkAccessManager m_network;
    QUrl m_origin;
    QString m_error;
};

} // namespace TestSupport
