#pragma once

// Everything the emulator remembers: its settings, the sign-in grants with
// their codes and tokens, and the upload sessions. It lives in the data
// folder: "state.json" for settings and sign-in, and for each upload session
// "uploads/<id>.json" (the record), "uploads/<id>.bin" (the bytes) and
// "uploads/<id>.history.jsonl" (one line per request on the session).

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QString>

#include <memory>

namespace Tavrix::YouTubeEmulator {

struct Config
{
    QString clientId = QStringLiteral("emulator-client-id");
    QString clientSecret = QStringLiteral("emulator-client-secret");
    bool autoConsent = false;
    qint64 accessTokenLifetime = 3600;
    qint64 codeLifetime = 300;
    qint64 sessionLifetime = 7 * 24 * 3600;
    bool channel = true;
    QString noChannelMode = QStringLiteral("401");
    QString channelId = QStringLiteral("UCemulatorChannel0000001");
    QString channelTitle = QStringLiteral("Emulated Channel");
    QString channelHandle = QStringLiteral("@emulatedchannel");
    QString longUploadsStatus = QStringLiteral("eligible");
    // Uploads through an unaudited project come out private whatever was asked.
    bool forcePrivate = false;
    // Session PUTs must carry a valid access token (401 authError otherwise).
    bool requireTokenOnPut = false;

    QJsonObject ToJson() const;
    // Applies the fields present in `changes`; false with `error` on a bad one
    // (and then nothing is changed).
    bool Apply(const QJsonObject& changes, QString& error);
};

struct AuthCode
{
    QString clientId;
    QString redirectUri;
    QString challenge;
    QString scope;
    bool offline = false;
    qint64 expiresAt = 0;
    bool used = false;
    QString grantId; // set once redeemed
    bool consent = false; // asked with prompt=consent: a refresh token even when a grant exists
};

struct PendingConsent
{
    QString clientId;
    QString redirectUri;
    QString state;
    QString challenge;
    QString scope;
    bool offline = false;
    qint64 expiresAt = 0;
    bool consent = false;
};

struct Grant
{
    QString clientId;
    QString scope;
    QString refreshToken; // empty without offline access
    bool revoked = false;
    qint64 createdAt = 0;
};

struct AccessToken
{
    QString grantId;
    QString scope;
    qint64 expiresAt = 0;
};

struct UploadSession
{
    QString id;
    QString part;
    QJsonObject metadata;
    QString contentType;
    qint64 declaredSize = -1; // -1 until known
    qint64 stored = 0;
    qint64 createdAt = 0;
    qint64 expiresAt = 0;
    bool expired = false;
    bool complete = false;
    QString videoId;
    QString sha256;
    qint64 completedAt = 0;
    QJsonObject video;
    QJsonArray history;
    bool busy = false;    // a PUT is writing into the file
    bool removed = false; // reset while a PUT was writing: its files are gone

    QJsonObject ToJson(bool withHistory) const;
    static UploadSession FromJson(const QJsonObject& json);
};

// The sign-in part of the state, saved whole on every change (it is small).
struct SignInState
{
    QMap<QString, AuthCode> codes;
    QMap<QString, PendingConsent> consents;
    QMap<QString, Grant> grants;
    QMap<QString, AccessToken> accessTokens;
    QMap<QString, QString> refreshTokens; // token -> grant id

    void RevokeGrant(const QString& grantId);
    // A grant of `clientId` that still holds a refresh token.
    bool HasOfflineGrant(const QString& clientId) const;
};

class StateFolder
{
public:
    explicit StateFolder(const QString& path);
    ~StateFolder();
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;

    // False with `error` when the folder can not be created or read.
    bool Open(QString& error);
    QString Path() const;
    QString UploadFile(const QString& sessionId) const;

    // Settings are not restored: the command line decides them at each start.
    bool Load(SignInState& signIn, QMap<QString, std::shared_ptr<UploadSession>>& sessions,
              QString& error) const;
    void SaveSignIn(const Config& config, const SignInState& signIn) const;
    void SaveSession(const UploadSession& session) const;
    void AppendHistory(const UploadSession& session, const QJsonObject& entry) const;
    // Removes the files of the sessions given (and nothing else).
    void RemoveSessions(const QStringList& sessionIds) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace Tavrix::YouTubeEmulator
