// The YouTube Data API's read endpoints: the signed-in channel, the video
// categories, and the pictures their answers point to.

#include "EmulatorImpl.h"
#include "VideoResource.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QSet>

namespace Tavrix::YouTubeEmulator {

namespace {
// Checks `part`; answers 400 and returns false when it is missing or names
// a part the resource does not have.
bool CheckParts(const httplib::Request& req, httplib::Response& res, const QSet<QString>& known, QStringList& parts)
{
    parts = Param(req, "part").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    if (parts.isEmpty())
    {
        SendLocatedError(res, 400, QStringLiteral("required"), QStringLiteral("Required parameter: part"),
                         QStringLiteral("part"));
        return false;
    }
    for (const QString& part : parts)
        if (!known.contains(part))
        {
            SendLocatedError(res, 400, QStringLiteral("unknownPart"), QStringLiteral("'%1'").arg(part),
                             QStringLiteral("part"));
            return false;
        }
    return true;
}
} // namespace

void Emulator::Impl::AddApiRoutes()
{
    Get("/youtube/v3/channels", [this](const httplib::Request& req, httplib::Response& res) {
        static const QSet<QString> known{"auditDetails", "brandingSettings", "contentDetails", "contentOwnerDetails",
                                         "id",           "localizations",    "snippet",        "statistics",
                                         "status",       "topicDetails"};
        QStringList parts;
        if (!CheckParts(req, res, known, parts))
            return;
        const bool mine = req.has_param("mine");
        const bool byId = req.has_param("id");
        if (int(mine) + int(byId) + int(req.has_param("forHandle")) + int(req.has_param("forUsername")) != 1)
            return SendApiError(res, 400, QStringLiteral("missingRequiredParameter"),
                                QStringLiteral("No filter selected. Expected one of: forUsername, forHandle, "
                                               "mine, id"));
        if (mine && Param(req, "mine") != QLatin1String("true"))
            return SendApiError(res, 400, QStringLiteral("invalidParameter"),
                                QStringLiteral("mine must be true"));
        if (!Authorize(req, res, {kScopeReadonly, kScopeYouTube, kScopeForceSsl}))
            return;

        std::lock_guard<std::mutex> lock(mutex);
        if (AnswerApiFault(res, faults.Take(QStringLiteral("channels"))))
            return;
        QJsonObject answer{{"kind", "youtube#channelListResponse"}};
        const bool found = config.channel &&
                           (mine || Param(req, "id").split(QLatin1Char(',')).contains(config.channelId) ||
                            Param(req, "forHandle").remove(QLatin1Char('@')) == config.channelHandle.mid(1));
        if (!config.channel && mine && config.noChannelMode == QLatin1String("401"))
            return SendSignupRequired(res);
        QJsonArray items;
        if (found)
        {
            QJsonObject channel{{"kind", "youtube#channel"}, {"etag", "channel-" + config.channelId},
                                {"id", config.channelId}};
            if (parts.contains(QStringLiteral("snippet")))
            {
                const QString picture = Origin() + QStringLiteral("/pictures/%1.png").arg(config.channelId);
                auto thumb = [&](int size) {
                    return QJsonObject{{"url", picture + QStringLiteral("?sz=%1").arg(size)},
                                       {"width", size},
                                       {"height", size}};
                };
                channel.insert("snippet",
                               QJsonObject{{"title", config.channelTitle},
                                           {"description", ""},
                                           {"customUrl", config.channelHandle},
                                           {"publishedAt", "2015-03-01T10:00:00Z"},
                                           {"thumbnails", QJsonObject{{"default", thumb(88)},
                                                                      {"medium", thumb(240)},
                                                                      {"high", thumb(800)}}},
                                           {"localized", QJsonObject{{"title", config.channelTitle},
                                                                     {"description", ""}}}});
            }
            if (parts.contains(QStringLiteral("status")))
                channel.insert("status", QJsonObject{{"privacyStatus", "public"},
                                                     {"isLinked", true},
                                                     {"longUploadsStatus", config.longUploadsStatus},
                                                     {"madeForKids", false}});
            items.append(channel);
        }
        // Like the real API: no results leave `items` out, and the etag stands
        // for the answer's content (it names no channel).
        answer.insert("etag", QString::fromLatin1(QCryptographicHash::hash(QJsonDocument(items).toJson(),
                                                                          QCryptographicHash::Sha1)
                                                      .toBase64(QByteArray::Base64UrlEncoding)));
        answer.insert("pageInfo", QJsonObject{{"totalResults", items.size()}, {"resultsPerPage", 5}});
        if (!items.isEmpty())
            answer.insert("items", items);
        SendJson(res, 200, answer);
    });

    Get("/youtube/v3/videoCategories", [this](const httplib::Request& req, httplib::Response& res) {
        QStringList parts;
        if (!CheckParts(req, res, {"id", "snippet"}, parts))
            return;
        const QString region = Param(req, "regionCode");
        if (req.has_param("id") == req.has_param("regionCode"))
            return SendApiError(res, 400, QStringLiteral("missingRequiredParameter"),
                                QStringLiteral("Exactly one of id and regionCode is expected."));
        if (req.has_param("regionCode") &&
            (region.size() != 2 || !region.at(0).isLetter() || !region.at(1).isLetter()))
            return SendApiError(res, 400, QStringLiteral("invalidRegionCode"),
                                QStringLiteral("The regionCode parameter specifies an invalid region code."));
        if (!Authorize(req, res, {kScopeReadonly, kScopeYouTube, kScopeForceSsl, kScopeUpload}))
            return;
        std::lock_guard<std::mutex> lock(mutex);
        if (AnswerApiFault(res, faults.Take(QStringLiteral("categories"))))
            return;
        const QStringList ids = Param(req, "id").split(QLatin1Char(','), Qt::SkipEmptyParts);
        QJsonArray items;
        for (const QJsonValue& value : VideoCategories(Param(req, "hl")))
        {
            QJsonObject item = value.toObject();
            if (!ids.isEmpty() && !ids.contains(item.value("id").toString()))
                continue;
            if (!parts.contains(QStringLiteral("snippet")))
                item.remove("snippet");
            items.append(item);
        }
        SendJson(res, 200, QJsonObject{{"kind", "youtube#videoCategoryListResponse"},
                                       {"etag", "categories-" + Param(req, "hl")},
                                       {"items", items}});
    });

    Get(R"(/pictures/([A-Za-z0-9_-]+)\.png)", [this](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!config.channel || QString::fromStdString(req.matches[1]) != config.channelId)
            return SendApiError(res, 404, QStringLiteral("notFound"), QStringLiteral("No such picture."));
        res.set_content(picture.toStdString(), "image/png");
    });

    Get(R"(/vi/([A-Za-z0-9_-]+)/(default|mqdefault|hqdefault)\.png)",
        [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex);
            const QString videoId = QString::fromStdString(req.matches[1]);
            for (const auto& session : sessions)
                if (session->complete && session->videoId == videoId)
                    return res.set_content(picture.toStdString(), "image/png");
            SendApiError(res, 404, QStringLiteral("notFound"), QStringLiteral("No such video."));
        });
}

} // namespace Tavrix::YouTubeEmulator
