#pragma once

// Where the YouTube protocol component talks to, with which OAuth client, and
// how patient it is. Google's real endpoints unless the host's settings or the
// environment say otherwise (the emulator in tests, a proxy for a company).

#include <QString>
#include <QUrl>
#include <QtGlobal>

class QProcessEnvironment;

namespace Tavrix::RQ {
class IProductSettingsManager;
}

namespace Tavrix::Social::YouTube {

struct Configuration
{
    QUrl authorizationUrl{QStringLiteral("https://accounts.google.com/o/oauth2/v2/auth")};
    QUrl tokenUrl{QStringLiteral("https://oauth2.googleapis.com/token")};
    QUrl revokeUrl{QStringLiteral("https://oauth2.googleapis.com/revoke")};
    QUrl apiUrl{QStringLiteral("https://www.googleapis.com/youtube/v3")};
    QUrl uploadUrl{QStringLiteral("https://www.googleapis.com/upload/youtube/v3/videos")};

    // A desktop client's id and secret; the secret of such a client is not secret.
    QString clientId;
    QString clientSecret;

    // How long the browser may take before the sign-in gives up.
    int signInTimeoutMs = 5 * 60 * 1000;
    // A transfer with no byte moving for this long is treated as a broken connection.
    int transferTimeoutMs = 60 * 1000;
    // Bytes per PUT of the resumable upload; rounded down to a multiple of 256 KiB.
    qint64 chunkSize = 32 * 1024 * 1024;
    // Backoff of the upload's retries: base * 2^attempt, capped, plus up to base of jitter.
    int retryBaseDelayMs = 1000;
    int retryMaxDelayMs = 64 * 1000;
    // Consecutive failed attempts without any byte stored before the upload gives up.
    int maxRetries = 8;
    // Retries of a token request (code exchange, refresh): the user is waiting.
    int maxTokenRetries = 4;
    // Open upload sessions are kept here so an upload resumes after a restart;
    // empty keeps none. They are forgotten after the lifetime (seconds): YouTube
    // keeps a session about a week.
    QString sessionFolder;
    qint64 sessionLifetime = 6 * 24 * 3600;

    // Tokens go to the keychain when one answers, else to this file (mode 0600).
    bool useKeychain = true;
    QString keychainService = QStringLiteral("Tavrix YouTube");
    QString tokenFile;

    // Every endpoint on one origin, with Google's paths: the emulator's layout.
    void PointAt(const QUrl& origin);
    // The chunk size actually used: a positive multiple of 256 KiB.
    qint64 EffectiveChunkSize() const;
    // The wait before retry number `attempt` (from 1): the server's Retry-After
    // when it gave one (-1: none), else exponential backoff with jitter.
    int RetryDelayMs(int attempt, int retryAfterMs) const;

    // Defaults (sessions in the application's data folder), then the product's settings, then the environment:
    //   settings "YouTube/BaseUrl", "YouTube/ClientId", "YouTube/ClientSecret",
    //     "YouTube/AuthorizationUrl", "YouTube/TokenUrl", "YouTube/RevokeUrl",
    //     "YouTube/ApiUrl", "YouTube/UploadUrl", "YouTube/ChunkSize", "YouTube/TokenFile",
    //     "YouTube/SessionLifetime" (seconds);
    //   environment TAVRIX_YOUTUBE_BASE_URL, TAVRIX_YOUTUBE_CLIENT_ID,
    //     TAVRIX_YOUTUBE_CLIENT_SECRET, TAVRIX_YOUTUBE_CHUNK_SIZE, TAVRIX_YOUTUBE_TOKEN_FILE,
    //     TAVRIX_YOUTUBE_SESSION_LIFETIME,
    //     TAVRIX_YOUTUBE_TOKEN_STORAGE ("file" keeps tokens out of the keychain).
    static Configuration FromSettings(const RQ::IProductSettingsManager* settings, const QProcessEnvironment& environment);
};

} // namespace Tavrix::Social::YouTube
