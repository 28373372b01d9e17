// youtube-emulator: Google sign-in and the YouTube Data API v3 on 127.0.0.1,
// for tests and as the protocol component's default back end.

#include "Emulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <glog/logging.h>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

namespace {
const char* kDescription = R"(Serves, on 127.0.0.1 only, the Google endpoints a desktop uploader uses:
  GET  /o/oauth2/v2/auth                  authorization page (PKCE S256, loopback redirect)
  POST /o/oauth2/v2/consent               the page's Allow/Deny form
  POST /token                             authorization_code and refresh_token grants
  POST /revoke                            token=...
  GET  /youtube/v3/channels               part=snippet[,status]&mine=true
  GET  /youtube/v3/videoCategories        part=snippet&regionCode=XX&hl=LL
  POST /upload/youtube/v3/videos          ?uploadType=resumable&part=snippet,status
  PUT  <Location of the session>          chunks (Content-Range) and status queries
  GET  /pictures/<channel>.png            the channel picture

The first line on stdout is "youtube-emulator listening on http://127.0.0.1:PORT".

Test endpoints (JSON):
  GET|POST /_emulator/config   settings: clientId, clientSecret, autoConsent, accessTokenLifetime,
                               codeLifetime, sessionLifetime (seconds), channel (false: the account
                               has no channel), noChannelMode ("401" | "empty"), channelId,
                               channelTitle, channelHandle, longUploadsStatus, forcePrivate,
                               requireTokenOnPut (session PUTs need a valid access token)
  POST /_emulator/faults       one rule or a list of rules (below); GET lists them with "fired"
                               counts; DELETE clears them
  POST /_emulator/reset        forgets tokens, sessions, uploaded files, faults and settings
  GET  /_emulator/uploads      every session: uploadId, state, file, size, declaredSize, sha256,
                               videoId, metadata, history of requests (?uploadId= for one)
  GET  /_emulator/state        live token counts and pending consent ids

Fault rules: {"<fault>": ..., "on": "<request kind>" or a list, "times": N (default 1, -1 until
cleared), "skip": N (let N matching requests pass first)}. Request kinds: start (session start),
chunk (PUT with bytes), status (PUT bytes */TOTAL), channels, categories, token, revoke; "api" is
start+channels+categories, "put" is chunk+status, "any" is all.
  {"status": 503, "retryAfter": 1}   answer that status (any kind; default on chunk), API error
                                     form (backendError, internalError, rateLimitExceeded...) or
                                     OAuth form on token/revoke; "reason" overrides the reason;
                                     on a chunk the bytes are dropped unless "storeChunk": true
  {"status": 429}                    rateLimitExceeded
  {"dropAfterBytes": N}              chunk: keep the first N bytes, then reset the connection
                                     without an answer
  {"shortStoreBytes": N}             chunk: store only N of its bytes; the 308 tells
  {"omitRange": true}                chunk or status: lose every stored byte and answer 308
                                     without Range
  {"throttleBytesPerSecond": N}      chunk: read the body at N bytes per second
  {"quotaExceeded": true}            start, channels, categories: 403 quotaExceeded
  {"uploadLimitExceeded": true}      start: 400 uploadLimitExceeded
  {"expireSessions": true}           at once: every open session answers 404 from now on
  {"expireAccessTokens": true}       at once: every access token answers 401 authError
  {"revokeRefreshTokens": true}      at once: every refresh token answers invalid_grant
State lives in the data folder: state.json, uploads/<id>.bin, uploads/<id>.json,
uploads/<id>.history.jsonl.)";

std::sig_atomic_t gStop = 0;
} // namespace

int main(int argc, char** argv)
{
    FLAGS_logtostderr = true;
    google::InitGoogleLogging(argv[0]);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("youtube-emulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (0 or absent: a free one)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("State folder (created if missing)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption autoConsent(QStringLiteral("auto-consent"),
                                         QStringLiteral("Consent at once instead of showing Allow/Deny."));
    const QCommandLineOption lifetime(QStringLiteral("access-token-lifetime"),
                                      QStringLiteral("Seconds an access token lives (default 3600)."),
                                      QStringLiteral("SECONDS"), QStringLiteral("3600"));
    const QCommandLineOption clientId(QStringLiteral("client-id"),
                                      QStringLiteral("OAuth client id (default emulator-client-id)."),
                                      QStringLiteral("ID"), QStringLiteral("emulator-client-id"));
    const QCommandLineOption clientSecret(QStringLiteral("client-secret"),
                                          QStringLiteral("OAuth client secret (default emulator-client-secret)."),
                                          QStringLiteral("SECRET"), QStringLiteral("emulator-client-secret"));
    parser.addOptions({port, data, autoConsent, lifetime, clientId, clientSecret});
    parser.process(app);

    Tavrix::YouTubeEmulator::Options options;
    bool ok = true;
    options.port = parser.value(port).toInt(&ok);
    if (!ok || options.port < 0 || options.port > 65535)
    {
        std::fprintf(stderr, "youtube-emulator: --port must be 0..65535\n");
        return 2;
    }
    options.accessTokenLifetime = parser.value(lifetime).toLongLong(&ok);
    if (!ok || options.accessTokenLifetime < 0)
    {
        std::fprintf(stderr, "youtube-emulator: --access-token-lifetime must be a number of seconds\n");
        return 2;
    }
    if (!parser.isSet(data))
    {
        std::fprintf(stderr, "youtube-emulator: --data DIR is required\n");
        return 2;
    }
    options.dataDir = parser.value(data);
    options.autoConsent = parser.isSet(autoConsent);
    options.clientId = parser.value(clientId);
    options.clientSecret = parser.value(clientSecret);

    // SIGINT/SIGTERM are taken by one thread that stops the server cleanly.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Tavrix::YouTubeEmulator::Emulator emulator(options);
    QString error;
    if (!emulator.Start(error))
    {
        std::fprintf(stderr, "youtube-emulator: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("youtube-emulator listening on http://127.0.0.1:%d\n", emulator.Port());
    std::fflush(stdout);

    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        gStop = 1;
        emulator.Stop();
    });
    emulator.Run();
    if (!gStop)
        pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return 0;
}
