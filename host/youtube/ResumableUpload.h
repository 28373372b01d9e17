#pragma once

// One video upload over YouTube's resumable protocol: a session is opened with
// the metadata, then the file goes out chunk by chunk straight from disk.
// Broken connections, 5xx, 429 and rate limits are retried with backoff after
// asking the server how much it holds; an expired session starts over. Each
// session is kept on disk until the upload ends, so a later run uploading the
// same file with the same metadata goes on from what the server holds.

#include "SocialProtocol.h"

#include <QJsonObject>
#include <QObject>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace Tavrix::Social::YouTube {

struct Configuration;

class ResumableUpload : public QObject
{
    Q_OBJECT
public:
    using TokenReady = std::function<void(RequestResult, const QString& accessToken)>;
    // Hands out a valid access token; `refresh` forces a new one (after a 401).
    using TokenProvider = std::function<void(bool refresh, TokenReady ready)>;

    struct Outcome
    {
        RequestResult result = Failed;
        QJsonObject video;   // the video resource YouTube answered with, on success
        QString message;     // why it failed, for the log and the user
    };

    ResumableUpload(const Configuration& config, QNetworkAccessManager& network, TokenProvider tokens,
                    QObject* parent);
    ~ResumableUpload() override;

    // Starts at once; call from the event loop, `finished` may follow quickly.
    void Start(const QString& file, const QByteArray& metadataJson);
    // Stops every transfer and timer; no callback runs afterwards. The kept
    // session stays for a later run.
    void Abort();
    // The user gave up: the kept session goes.
    void Forget();

    std::function<void(int percent)> progressed;
    // A session kept from an earlier run goes on where the server stands.
    std::function<void(int percent)> resumed;
    std::function<void(const Outcome&)> finished;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::Social::YouTube
