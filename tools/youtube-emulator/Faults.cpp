#include "Faults.h"

#include <QSet>

namespace Tavrix::YouTubeEmulator {

namespace {
const QStringList kAllTargets{"start", "chunk", "status", "channels", "categories", "token", "revoke"};

QStringList ExpandTargets(const QStringList& names)
{
    QStringList targets;
    for (const QString& name : names)
    {
        if (name == QLatin1String("api"))
            targets << "start" << "channels" << "categories";
        else if (name == QLatin1String("put"))
            targets << "chunk" << "status";
        else if (name == QLatin1String("any"))
            targets << kAllTargets;
        else
            targets << name;
    }
    targets.removeDuplicates();
    return targets;
}
} // namespace

QJsonObject Fault::ToJson() const
{
    QJsonObject json = spec;
    json.insert("id", id);
    if (!IsAction())
    {
        json.insert("on", QJsonArray::fromStringList(on));
        json.insert("times", times);
        json.insert("skip", skip);
    }
    json.insert("fired", fired);
    return json;
}

struct FaultPlan::Impl
{
    std::vector<Fault> faults;
    int nextId = 1;
};

FaultPlan::FaultPlan() : d(std::make_unique<Impl>()) {}
FaultPlan::~FaultPlan() = default;

bool FaultPlan::Parse(const QJsonObject& spec, Fault& fault, QString& error) const
{
    static const QSet<QString> known{"on",
                                     "times",
                                     "skip",
                                     "status",
                                     "retryAfter",
                                     "reason",
                                     "storeChunk",
                                     "dropAfterBytes",
                                     "omitRange",
                                     "shortStoreBytes",
                                     "quotaExceeded",
                                     "uploadLimitExceeded",
                                     "throttleBytesPerSecond",
                                     "expireSessions",
                                     "expireAccessTokens",
                                     "revokeRefreshTokens"};
    for (auto it = spec.begin(); it != spec.end(); ++it)
        if (!known.contains(it.key()))
        {
            error = QStringLiteral("unknown fault field \"%1\"").arg(it.key());
            return false;
        }

    fault = Fault();
    fault.spec = spec;
    QStringList kinds;
    QStringList allowed;
    QString defaultTarget = QStringLiteral("chunk");

    auto positive = [&](const char* key, qint64& out, qint64 minimum) {
        const double value = spec.value(key).toDouble(-1);
        if (value < minimum || value != qint64(value))
        {
            error = QStringLiteral("\"%1\" must be an integer of at least %2").arg(key).arg(minimum);
            return false;
        }
        out = qint64(value);
        return true;
    };
    auto flag = [&](const char* key) { return spec.value(key).toBool(false); };

    if (spec.contains("status"))
    {
        qint64 status = 0;
        if (!positive("status", status, 400) || status > 599)
        {
            error = QStringLiteral("\"status\" must be an HTTP error status (400-599)");
            return false;
        }
        fault.status = int(status);
        kinds << "status";
        allowed = kAllTargets;
        if (spec.contains("retryAfter"))
        {
            qint64 after = 0;
            if (!positive("retryAfter", after, 0))
                return false;
            fault.retryAfter = int(after);
        }
        fault.reason = spec.value("reason").toString();
        fault.storeChunk = flag("storeChunk");
    }
    if (spec.contains("dropAfterBytes"))
    {
        if (!positive("dropAfterBytes", fault.dropAfterBytes, 0))
            return false;
        kinds << "dropAfterBytes";
        allowed = QStringList{"chunk"};
    }
    if (spec.contains("shortStoreBytes"))
    {
        if (!positive("shortStoreBytes", fault.shortStoreBytes, 0))
            return false;
        kinds << "shortStoreBytes";
        allowed = QStringList{"chunk"};
    }
    if (spec.contains("throttleBytesPerSecond"))
    {
        if (!positive("throttleBytesPerSecond", fault.throttleBytesPerSecond, 1))
            return false;
        kinds << "throttleBytesPerSecond";
        allowed = QStringList{"chunk"};
    }
    if (flag("omitRange"))
    {
        fault.omitRange = true;
        kinds << "omitRange";
        allowed = QStringList{"chunk", "status"};
    }
    if (flag("quotaExceeded"))
    {
        fault.quotaExceeded = true;
        kinds << "quotaExceeded";
        allowed = QStringList{"start", "channels", "categories"};
        defaultTarget = QStringLiteral("start");
    }
    if (flag("uploadLimitExceeded"))
    {
        fault.uploadLimitExceeded = true;
        kinds << "uploadLimitExceeded";
        allowed = QStringList{"start"};
        defaultTarget = QStringLiteral("start");
    }
    fault.expireSessions = flag("expireSessions");
    fault.expireAccessTokens = flag("expireAccessTokens");
    fault.revokeRefreshTokens = flag("revokeRefreshTokens");
    if (fault.expireSessions)
        kinds << "expireSessions";
    if (fault.expireAccessTokens)
        kinds << "expireAccessTokens";
    if (fault.revokeRefreshTokens)
        kinds << "revokeRefreshTokens";

    if (kinds.size() != 1)
    {
        error = kinds.isEmpty() ? QStringLiteral("a fault needs one of status, dropAfterBytes, omitRange, "
                                                 "shortStoreBytes, quotaExceeded, uploadLimitExceeded, "
                                                 "throttleBytesPerSecond, expireSessions, expireAccessTokens, "
                                                 "revokeRefreshTokens")
                                : QStringLiteral("one fault per rule, got: %1").arg(kinds.join(", "));
        return false;
    }
    if (fault.IsAction())
        return true;

    QStringList on;
    const QJsonValue onValue = spec.value("on");
    if (onValue.isString())
        on << onValue.toString();
    else if (onValue.isArray())
        for (const QJsonValue& v : onValue.toArray())
            on << v.toString();
    else if (onValue.isUndefined())
        on << defaultTarget;
    fault.on = ExpandTargets(on);
    for (const QString& target : fault.on)
        if (!allowed.contains(target))
        {
            error = QStringLiteral("\"%1\" can not apply to \"%2\" (allowed: %3)")
                        .arg(kinds.first(), target, allowed.join(", "));
            return false;
        }
    if (fault.on.isEmpty())
    {
        error = QStringLiteral("\"on\" names no request");
        return false;
    }

    qint64 times = 1;
    if (spec.contains("times") && spec.value("times").toInt(0) != -1 && !positive("times", times, 1))
        return false;
    fault.times = spec.value("times").toInt(0) == -1 ? -1 : int(times);
    qint64 skip = 0;
    if (spec.contains("skip") && !positive("skip", skip, 0))
        return false;
    fault.skip = int(skip);
    return true;
}

const Fault& FaultPlan::Add(Fault fault)
{
    fault.id = d->nextId++;
    if (fault.IsAction())
        fault.fired = 1;
    d->faults.push_back(std::move(fault));
    return d->faults.back();
}

std::vector<Fault> FaultPlan::Take(const QString& target)
{
    std::vector<Fault> firing;
    for (Fault& fault : d->faults)
    {
        if (fault.IsAction() || !fault.on.contains(target) || (fault.times >= 0 && fault.fired >= fault.times))
            continue;
        if (fault.skip > 0)
        {
            --fault.skip;
            continue;
        }
        ++fault.fired;
        firing.push_back(fault);
        if (fault.DecidesAnswer())
            break;
    }
    return firing;
}

QJsonArray FaultPlan::ToJson() const
{
    QJsonArray list;
    for (const Fault& fault : d->faults)
        list.append(fault.ToJson());
    return list;
}

void FaultPlan::Clear()
{
    d->faults.clear();
}

} // namespace Tavrix::YouTubeEmulator
