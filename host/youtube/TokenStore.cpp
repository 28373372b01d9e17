#include "TokenStore.h"

#include "YoutubeConfiguration.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>

#include <glog/logging.h>
#include <qt5keychain/keychain.h>

namespace Tavrix::Social::YouTube {

namespace {
constexpr char kLoad[] = "Tavrix::Social::YouTube::TokenStore::Load: ";
constexpr char kSave[] = "Tavrix::Social::YouTube::TokenStore::Save: ";
constexpr char kClear[] = "Tavrix::Social::YouTube::TokenStore::Clear: ";
const QString kKeychainKey = QStringLiteral("youtube-oauth-tokens");
constexpr int kKeychainWaitMs = 3000;

QByteArray Serialize(const Tokens& tokens)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("access_token"), tokens.accessToken},
                                     {QStringLiteral("refresh_token"), tokens.refreshToken},
                                     {QStringLiteral("expires_at"), tokens.expiresAt.toString(Qt::ISODate)}})
        .toJson(QJsonDocument::Compact);
}

Tokens Deserialize(const QByteArray& data)
{
    const QJsonObject object = QJsonDocument::fromJson(data).object();
    Tokens tokens;
    tokens.accessToken = object.value(QStringLiteral("access_token")).toString();
    tokens.refreshToken = object.value(QStringLiteral("refresh_token")).toString();
    tokens.expiresAt = QDateTime::fromString(object.value(QStringLiteral("expires_at")).toString(), Qt::ISODate);
    return tokens;
}
} // namespace

Tokens TokensFromAnswer(const QJsonObject& answer, const QString& previousRefreshToken)
{
    Tokens tokens;
    tokens.accessToken = answer.value(QStringLiteral("access_token")).toString();
    tokens.refreshToken = answer.value(QStringLiteral("refresh_token")).toString(previousRefreshToken);
    const int expiresIn = answer.value(QStringLiteral("expires_in")).toInt(3600);
    tokens.expiresAt = QDateTime::currentDateTimeUtc().addSecs(expiresIn);
    return tokens;
}

struct TokenStore::Impl
{
    Configuration config;
    bool keychain = false;

    bool WriteFile(const Tokens& tokens)
    {
        QDir().mkpath(QFileInfo(config.tokenFile).absolutePath());
        QSaveFile file(config.tokenFile);
        // Owner-only before the first byte is written.
        if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return false;
        file.write(Serialize(tokens));
        return file.commit();
    }
};

TokenStore::TokenStore(const Configuration& config)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->config = config;
}

TokenStore::~TokenStore() = default;

Tokens TokenStore::Load()
{
    if (m_impl->config.useKeychain)
    {
        auto* job = new QKeychain::ReadPasswordJob(m_impl->config.keychainService);
        job->setAutoDelete(false);
        job->setKey(kKeychainKey);
        QEventLoop loop;
        bool done = false;
        QObject::connect(job, &QKeychain::Job::finished, &loop, [&loop, &done] {
            done = true;
            loop.quit();
        });
        QTimer::singleShot(kKeychainWaitMs, &loop, &QEventLoop::quit);
        job->start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (!done)
        {
            // A keychain that does not answer in time is treated as absent.
            QObject::connect(job, &QKeychain::Job::finished, job, &QObject::deleteLater);
            job = nullptr;
        }
        const std::unique_ptr<QKeychain::ReadPasswordJob> answered(job);
        if (answered && answered->error() == QKeychain::NoError)
        {
            m_impl->keychain = true;
            LOG(INFO) << kLoad << "tokens read from the keychain";
            return Deserialize(answered->textData().toUtf8());
        }
        if (answered && answered->error() == QKeychain::EntryNotFound)
            m_impl->keychain = true;
        else
            LOG(INFO) << kLoad << "no keychain answers, tokens are kept in " << m_impl->config.tokenFile.toStdString();
    }

    QFile file(m_impl->config.tokenFile);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return {};
    const Tokens tokens = Deserialize(file.readAll());
    if (m_impl->keychain && !tokens.IsEmpty())
    {
        // A keychain appeared since the last run: move the tokens there.
        file.close();
        Save(tokens);
        QFile::remove(m_impl->config.tokenFile);
    }
    LOG(INFO) << kLoad << "tokens read from " << m_impl->config.tokenFile.toStdString();
    return tokens;
}

void TokenStore::Save(const Tokens& tokens)
{
    if (m_impl->keychain)
    {
        auto* job = new QKeychain::WritePasswordJob(m_impl->config.keychainService);
        job->setKey(kKeychainKey);
        job->setTextData(QString::fromUtf8(Serialize(tokens)));
        QObject::connect(job, &QKeychain::Job::finished, [](QKeychain::Job* finished) {
            if (finished->error() != QKeychain::NoError)
                LOG(ERROR) << kSave << "the keychain refused the tokens: " << finished->errorString().toStdString();
        });
        job->start();
        return;
    }
    if (!m_impl->WriteFile(tokens))
        LOG(ERROR) << kSave << "could not write " << m_impl->config.tokenFile.toStdString();
}

void TokenStore::Clear()
{
    if (m_impl->keychain)
    {
        auto* job = new QKeychain::DeletePasswordJob(m_impl->config.keychainService);
        job->setKey(kKeychainKey);
        job->start();
    }
    if (QFile::exists(m_impl->config.tokenFile) && !QFile::remove(m_impl->config.tokenFile))
        LOG(ERROR) << kClear << "could not remove " << m_impl->config.tokenFile.toStdString();
}

QString TokenStore::Place() const
{
    return m_impl->keychain ? QStringLiteral("keychain") : m_impl->config.tokenFile;
}

} // namespace Tavrix::Social::YouTube
