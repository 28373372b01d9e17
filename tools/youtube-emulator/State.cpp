#include "State.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

#include <glog/logging.h>

namespace Tavrix::YouTubeEmulator {

namespace {
bool ReadBool(const QJsonObject& json, const char* key, bool& out, QString& error)
{
    if (!json.contains(key))
        return true;
    if (!json.value(key).isBool())
    {
        error = QStringLiteral("\"%1\" must be true or false").arg(key);
        return false;
    }
    out = json.value(key).toBool();
    return true;
}

bool ReadSeconds(const QJsonObject& json, const char* key, qint64& out, QString& error)
{
    if (!json.contains(key))
        return true;
    const double value = json.value(key).toDouble(-1);
    if (value < 0 || value != qint64(value))
    {
        error = QStringLiteral("\"%1\" must be a whole number of seconds").arg(key);
        return false;
    }
    out = qint64(value);
    return true;
}

bool ReadText(const QJsonObject& json, const char* key, QString& out, QString& error)
{
    if (!json.contains(key))
        return true;
    if (!json.value(key).isString() || json.value(key).toString().isEmpty())
    {
        error = QStringLiteral("\"%1\" must be a non-empty string").arg(key);
        return false;
    }
    out = json.value(key).toString();
    return true;
}

bool WriteJson(const QString& path, const QJsonObject& json)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return file.commit();
}

QJsonObject ReadJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}
} // namespace

QJsonObject Config::ToJson() const
{
    return QJsonObject{{"clientId", clientId},
                       {"autoConsent", autoConsent},
                       {"accessTokenLifetime", accessTokenLifetime},
                       {"codeLifetime", codeLifetime},
                       {"sessionLifetime", sessionLifetime},
                       {"channel", channel},
                       {"noChannelMode", noChannelMode},
                       {"channelId", channelId},
                       {"channelTitle", channelTitle},
                       {"channelHandle", channelHandle},
                       {"longUploadsStatus", longUploadsStatus},
                       {"forcePrivate", forcePrivate},
                       {"requireTokenOnPut", requireTokenOnPut}};
}

bool Config::Apply(const QJsonObject& changes, QString& error)
{
    static const QStringList known{"clientId",      "clientSecret",      "autoConsent",    "accessTokenLifetime",
                                   "codeLifetime",  "sessionLifetime",   "channel",        "noChannelMode",
                                   "channelId",     "channelTitle",      "channelHandle",  "longUploadsStatus",
                                   "forcePrivate",  "requireTokenOnPut"};
    for (auto it = changes.begin(); it != changes.end(); ++it)
        if (!known.contains(it.key()))
        {
            error = QStringLiteral("unknown setting \"%1\"").arg(it.key());
            return false;
        }
    Config next = *this;
    if (!ReadText(changes, "clientId", next.clientId, error) ||
        !ReadText(changes, "clientSecret", next.clientSecret, error) ||
        !ReadBool(changes, "autoConsent", next.autoConsent, error) ||
        !ReadSeconds(changes, "accessTokenLifetime", next.accessTokenLifetime, error) ||
        !ReadSeconds(changes, "codeLifetime", next.codeLifetime, error) ||
        !ReadSeconds(changes, "sessionLifetime", next.sessionLifetime, error) ||
        !ReadBool(changes, "channel", next.channel, error) ||
        !ReadText(changes, "noChannelMode", next.noChannelMode, error) ||
        !ReadText(changes, "channelId", next.channelId, error) ||
        !ReadText(changes, "channelTitle", next.channelTitle, error) ||
        !ReadText(changes, "channelHandle", next.channelHandle, error) ||
        !ReadText(changes, "longUploadsStatus", next.longUploadsStatus, error) ||
        !ReadBool(changes, "forcePrivate", next.forcePrivate, error) ||
        !ReadBool(changes, "requireTokenOnPut", next.requireTokenOnPut, error))
        return false;
    if (next.noChannelMode != QLatin1String("401") && next.noChannelMode != QLatin1String("empty"))
    {
        error = QStringLiteral("\"noChannelMode\" must be \"401\" or \"empty\"");
        return false;
    }
    *this = next;
    return true;
}

QJsonObject UploadSession::ToJson(bool withHistory) const
{
    QJsonObject json{{"uploadId", id},
                     {"part", part},
                     {"metadata", metadata},
                     {"contentType", contentType},
                     {"declaredSize", declaredSize < 0 ? QJsonValue() : QJsonValue(declaredSize)},
                     {"size", stored},
                     {"createdAt", createdAt},
                     {"expiresAt", expiresAt},
                     {"state", complete ? "complete" : expired ? "expired" : "active"},
                     {"videoId", videoId.isEmpty() ? QJsonValue() : QJsonValue(videoId)},
                     {"sha256", sha256.isEmpty() ? QJsonValue() : QJsonValue(sha256)},
                     {"completedAt", completedAt},
                     {"video", video}};
    if (withHistory)
        json.insert("history", history);
    return json;
}

UploadSession UploadSession::FromJson(const QJsonObject& json)
{
    UploadSession s;
    s.id = json.value("uploadId").toString();
    s.part = json.value("part").toString();
    s.metadata = json.value("metadata").toObject();
    s.contentType = json.value("contentType").toString();
    s.declaredSize = json.value("declaredSize").isDouble() ? qint64(json.value("declaredSize").toDouble()) : -1;
    s.stored = qint64(json.value("size").toDouble());
    s.createdAt = qint64(json.value("createdAt").toDouble());
    s.expiresAt = qint64(json.value("expiresAt").toDouble());
    s.expired = json.value("state").toString() == QLatin1String("expired");
    s.complete = json.value("state").toString() == QLatin1String("complete");
    s.videoId = json.value("videoId").toString();
    s.sha256 = json.value("sha256").toString();
    s.completedAt = qint64(json.value("completedAt").toDouble());
    s.video = json.value("video").toObject();
    return s;
}

void SignInState::RevokeGrant(const QString& grantId)
{
    auto grant = grants.find(grantId);
    if (grant == grants.end())
        return;
    grant->revoked = true;
    refreshTokens.remove(grant->refreshToken);
    for (auto it = accessTokens.begin(); it != accessTokens.end();)
        it = it->grantId == grantId ? accessTokens.erase(it) : std::next(it);
}

bool SignInState::HasOfflineGrant(const QString& clientId) const
{
    for (const Grant& grant : grants)
        if (grant.clientId == clientId && !grant.revoked && !grant.refreshToken.isEmpty())
            return true;
    return false;
}

struct StateFolder::Impl
{
    QDir root;
};

StateFolder::StateFolder(const QString& path) : d(std::make_unique<Impl>())
{
    d->root = QDir(QDir(path).absolutePath());
}

StateFolder::~StateFolder() = default;

bool StateFolder::Open(QString& error)
{
    if (!d->root.mkpath(QStringLiteral("uploads")))
    {
        error = QStringLiteral("can not create the data folder %1").arg(d->root.path());
        return false;
    }
    return true;
}

QString StateFolder::Path() const
{
    return d->root.path();
}

QString StateFolder::UploadFile(const QString& sessionId) const
{
    return d->root.filePath(QStringLiteral("uploads/%1.bin").arg(sessionId));
}

bool StateFolder::Load(SignInState& signIn, QMap<QString, std::shared_ptr<UploadSession>>& sessions,
                       QString& error) const
{
    const QString statePath = d->root.filePath(QStringLiteral("state.json"));
    if (QFile::exists(statePath))
    {
        const QJsonObject state = ReadJson(statePath);
        if (state.isEmpty())
        {
            error = QStringLiteral("%1 is not a state file of this emulator").arg(statePath);
            return false;
        }
        const QJsonObject codes = state.value("codes").toObject();
        for (auto it = codes.begin(); it != codes.end(); ++it)
        {
            const QJsonObject c = it.value().toObject();
            AuthCode code;
            code.clientId = c.value("clientId").toString();
            code.redirectUri = c.value("redirectUri").toString();
            code.challenge = c.value("challenge").toString();
            code.scope = c.value("scope").toString();
            code.offline = c.value("offline").toBool();
            code.expiresAt = qint64(c.value("expiresAt").toDouble());
            code.used = c.value("used").toBool();
            code.grantId = c.value("grantId").toString();
            code.consent = c.value("consent").toBool();
            signIn.codes.insert(it.key(), code);
        }
        const QJsonObject grants = state.value("grants").toObject();
        for (auto it = grants.begin(); it != grants.end(); ++it)
        {
            const QJsonObject g = it.value().toObject();
            Grant grant;
            grant.clientId = g.value("clientId").toString();
            grant.scope = g.value("scope").toString();
            grant.refreshToken = g.value("refreshToken").toString();
            grant.revoked = g.value("revoked").toBool();
            grant.createdAt = qint64(g.value("createdAt").toDouble());
            signIn.grants.insert(it.key(), grant);
            if (!grant.revoked && !grant.refreshToken.isEmpty())
                signIn.refreshTokens.insert(grant.refreshToken, it.key());
        }
        const QJsonObject tokens = state.value("accessTokens").toObject();
        for (auto it = tokens.begin(); it != tokens.end(); ++it)
        {
            const QJsonObject t = it.value().toObject();
            signIn.accessTokens.insert(
                it.key(), AccessToken{t.value("grantId").toString(), t.value("scope").toString(),
                                      qint64(t.value("expiresAt").toDouble())});
        }
    }

    const QDir uploads(d->root.filePath(QStringLiteral("uploads")));
    for (const QString& name : uploads.entryList({QStringLiteral("*.json")}, QDir::Files))
    {
        auto session = std::make_shared<UploadSession>(UploadSession::FromJson(ReadJson(uploads.filePath(name))));
        if (session->id.isEmpty())
            continue;
        QFile history(uploads.filePath(session->id + QStringLiteral(".history.jsonl")));
        if (history.open(QIODevice::ReadOnly))
            while (!history.atEnd())
            {
                const QJsonObject line = QJsonDocument::fromJson(history.readLine()).object();
                if (!line.isEmpty())
                    session->history.append(line);
            }
        // Bytes written after the last recorded state never counted: drop them.
        QFile bytes(UploadFile(session->id));
        if (bytes.exists() && bytes.size() > session->stored)
            bytes.resize(session->stored);
        if (bytes.size() < session->stored)
            session->stored = bytes.size();
        sessions.insert(session->id, session);
    }
    return true;
}

void StateFolder::SaveSignIn(const Config& config, const SignInState& signIn) const
{
    QJsonObject codes;
    for (auto it = signIn.codes.begin(); it != signIn.codes.end(); ++it)
        codes.insert(it.key(), QJsonObject{{"clientId", it->clientId},
                                           {"redirectUri", it->redirectUri},
                                           {"challenge", it->challenge},
                                           {"scope", it->scope},
                                           {"offline", it->offline},
                                           {"expiresAt", it->expiresAt},
                                           {"used", it->used},
                                           {"grantId", it->grantId},
                                           {"consent", it->consent}});
    QJsonObject grants;
    for (auto it = signIn.grants.begin(); it != signIn.grants.end(); ++it)
        grants.insert(it.key(), QJsonObject{{"clientId", it->clientId},
                                            {"scope", it->scope},
                                            {"refreshToken", it->refreshToken},
                                            {"revoked", it->revoked},
                                            {"createdAt", it->createdAt}});
    QJsonObject tokens;
    for (auto it = signIn.accessTokens.begin(); it != signIn.accessTokens.end(); ++it)
        tokens.insert(it.key(),
                      QJsonObject{{"grantId", it->grantId}, {"scope", it->scope}, {"expiresAt", it->expiresAt}});
    const QJsonObject state{
        {"config", config.ToJson()}, {"codes", codes}, {"grants", grants}, {"accessTokens", tokens}};
    if (!WriteJson(d->root.filePath(QStringLiteral("state.json")), state))
        LOG(ERROR) << "Tavrix::YouTubeEmulator::StateFolder::SaveSignIn: can not write state.json in "
                   << d->root.path().toStdString();
}

void StateFolder::SaveSession(const UploadSession& session) const
{
    if (!WriteJson(d->root.filePath(QStringLiteral("uploads/%1.json").arg(session.id)), session.ToJson(false)))
        LOG(ERROR) << "Tavrix::YouTubeEmulator::StateFolder::SaveSession: can not write the record of "
                   << session.id.toStdString();
}

void StateFolder::AppendHistory(const UploadSession& session, const QJsonObject& entry) const
{
    QFile file(d->root.filePath(QStringLiteral("uploads/%1.history.jsonl").arg(session.id)));
    if (!file.open(QIODevice::Append))
    {
        LOG(ERROR) << "Tavrix::YouTubeEmulator::StateFolder::AppendHistory: can not write the history of "
                   << session.id.toStdString();
        return;
    }
    file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
}

void StateFolder::RemoveSessions(const QStringList& sessionIds) const
{
    for (const QString& id : sessionIds)
        for (const char* suffix : {".json", ".bin", ".history.jsonl"})
            QFile::remove(d->root.filePath(QStringLiteral("uploads/%1%2").arg(id, QLatin1String(suffix))));
}

} // namespace Tavrix::YouTubeEmulator
