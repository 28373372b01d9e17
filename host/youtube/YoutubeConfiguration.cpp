#include "YoutubeConfiguration.h"

#include "UserSettings.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStandardPaths>

namespace Tavrix::Social::YouTube {

namespace {
constexpr qint64 kChunkUnit = 256 * 1024;

QUrl WithPath(const QUrl& origin, const QString& path)
{
    QUrl url = origin;
    QString base = origin.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    url.setPath(base + path);
    url.setQuery(QString());
    return url;
}

// The first non-empty of the environment variable and the setting, if any.
QString Pick(const RQ::IProductSettingsManager* settings, const QProcessEnvironment& environment, const char* key,
             const char* variable)
{
    const QString fromEnvironment = variable ? environment.value(QLatin1String(variable)) : QString();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return settings ? settings->GetValue(QLatin1String(key)).toString() : QString();
}
} // namespace

void Configuration::PointAt(const QUrl& origin)
{
    authorizationUrl = WithPath(origin, QStringLiteral("/o/oauth2/v2/auth"));
    tokenUrl = WithPath(origin, QStringLiteral("/token"));
    revokeUrl = WithPath(origin, QStringLiteral("/revoke"));
    apiUrl = WithPath(origin, QStringLiteral("/youtube/v3"));
    uploadUrl = WithPath(origin, QStringLiteral("/upload/youtube/v3/videos"));
}

qint64 Configuration::EffectiveChunkSize() const
{
    return qMax<qint64>(1, chunkSize / kChunkUnit) * kChunkUnit;
}

int Configuration::RetryDelayMs(int attempt, int retryAfterMs) const
{
    if (retryAfterMs >= 0)
        return retryAfterMs;
    const qint64 exponential = qint64(retryBaseDelayMs) << qBound(0, attempt - 1, 20);
    return static_cast<int>(qMin<qint64>(exponential, retryMaxDelayMs))
        + static_cast<int>(QRandomGenerator::global()->bounded(qMax(1, retryBaseDelayMs)));
}

Configuration Configuration::FromSettings(const RQ::IProductSettingsManager* settings,
                                          const QProcessEnvironment& environment)
{
    Configuration config;
    config.tokenFile = QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                           .filePath(QStringLiteral("youtube-tokens.json"));

    config.sessionFolder = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                               .filePath(QStringLiteral("upload-sessions"));

    const QString base = Pick(settings, environment, "YouTube/BaseUrl", "TAVRIX_YOUTUBE_BASE_URL");
    if (!base.isEmpty())
        config.PointAt(QUrl(base));

    const struct
    {
        const char* key;
        QUrl* url;
    } endpoints[] = {
        {"YouTube/AuthorizationUrl", &config.authorizationUrl}, {"YouTube/TokenUrl", &config.tokenUrl},
        {"YouTube/RevokeUrl", &config.revokeUrl},               {"YouTube/ApiUrl", &config.apiUrl},
        {"YouTube/UploadUrl", &config.uploadUrl},
    };
    for (const auto& endpoint : endpoints)
    {
        const QString value = Pick(settings, {}, endpoint.key, nullptr);
        if (!value.isEmpty())
            *endpoint.url = QUrl(value);
    }

    config.clientId = Pick(settings, environment, "YouTube/ClientId", "TAVRIX_YOUTUBE_CLIENT_ID");
    config.clientSecret = Pick(settings, environment, "YouTube/ClientSecret", "TAVRIX_YOUTUBE_CLIENT_SECRET");

    bool ok = false;
    const qint64 chunk = Pick(settings, environment, "YouTube/ChunkSize", "TAVRIX_YOUTUBE_CHUNK_SIZE").toLongLong(&ok);
    if (ok && chunk > 0)
        config.chunkSize = chunk;

    const qint64 lifetime =
        Pick(settings, environment, "YouTube/SessionLifetime", "TAVRIX_YOUTUBE_SESSION_LIFETIME").toLongLong(&ok);
    if (ok && lifetime >= 0)
        config.sessionLifetime = lifetime;

    const QString tokenFile = Pick(settings, environment, "YouTube/TokenFile", "TAVRIX_YOUTUBE_TOKEN_FILE");
    if (!tokenFile.isEmpty())
        config.tokenFile = tokenFile;
    if (environment.value(QStringLiteral("TAVRIX_YOUTUBE_TOKEN_STORAGE")) == QLatin1String("file"))
        config.useKeychain = false;
    return config;
}

} // namespace Tavrix::Social::YouTube
