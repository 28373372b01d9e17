#pragma once

// Keeps the user's OAuth tokens between runs: in the keychain when a secret
// service answers, else in a file that only the user may read. Tokens are
// never logged; log lines name the place, not the content.

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <memory>

namespace Tavrix::Social::YouTube {

struct Configuration;

struct Tokens
{
    QString accessToken;
    QString refreshToken;
    QDateTime expiresAt; // UTC

    bool IsEmpty() const { return accessToken.isEmpty() && refreshToken.isEmpty(); }
};

// The tokens of a token endpoint's answer; a refresh answer has no refresh
// token, so the previous one is kept.
Tokens TokensFromAnswer(const QJsonObject& answer, const QString& previousRefreshToken);

class TokenStore
{
public:
    explicit TokenStore(const Configuration& config);
    ~TokenStore();

    TokenStore(const TokenStore&) = delete;
    TokenStore& operator=(const TokenStore&) = delete;

    // Asks the keychain once (waiting a few seconds at most) and decides where
    // tokens live from then on.
    Tokens Load();
    void Save(const Tokens& tokens);
    void Clear();
    // "keychain" or the file's path.
    QString Place() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::Social::YouTube
