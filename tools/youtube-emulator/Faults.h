#pragma once

// Faults armed by a test through /_emulator/faults: each rule names the
// requests it applies to ("on"), lets `skip` of them pass, then fires up to
// `times` times (-1: until cleared) and counts how often it fired.

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <memory>
#include <vector>

namespace Tavrix::YouTubeEmulator {

struct Fault
{
    int id = 0;
    QStringList on;
    int times = 1;
    int skip = 0;
    int fired = 0;

    int status = 0;
    int retryAfter = -1;
    QString reason;
    bool storeChunk = false;
    qint64 dropAfterBytes = -1;
    bool omitRange = false;
    qint64 shortStoreBytes = -1;
    bool quotaExceeded = false;
    bool uploadLimitExceeded = false;
    qint64 throttleBytesPerSecond = 0;
    // Done at once when armed rather than waiting for a request.
    bool expireSessions = false;
    bool expireAccessTokens = false;
    bool revokeRefreshTokens = false;

    QJsonObject spec;

    bool IsAction() const { return expireSessions || expireAccessTokens || revokeRefreshTokens; }
    // Every fault but a slowdown decides the answer, so later rules wait.
    bool DecidesAnswer() const { return throttleBytesPerSecond == 0; }
    QJsonObject ToJson() const;
};

class FaultPlan
{
public:
    FaultPlan();
    ~FaultPlan();
    FaultPlan(const FaultPlan&) = delete;
    FaultPlan& operator=(const FaultPlan&) = delete;

    // Parses one rule; on a bad rule returns false with the reason in `error`.
    bool Parse(const QJsonObject& spec, Fault& fault, QString& error) const;
    // Keeps the rule and gives it its id.
    const Fault& Add(Fault fault);
    // The rules that fire for one request of kind `target` ("start",
    // "chunk", "status", "channels", "categories", "token", "revoke"),
    // already counted.
    std::vector<Fault> Take(const QString& target);
    QJsonArray ToJson() const;
    void Clear();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace Tavrix::YouTubeEmulator
