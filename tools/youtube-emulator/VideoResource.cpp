#include "VideoResource.h"

#include <QDateTime>
#include <QJsonValue>
#include <QSet>

namespace Tavrix::YouTubeEmulator {

namespace {
struct Category
{
    const char* id;
    bool assignable;
    const char* en;
    const char* de;
    const char* fr;
};

// The list YouTube answers for most regions; the higher ids exist but
// cannot be given to an upload.
const Category kCategories[] = {
    {"1", true, "Film & Animation", "Filme & Animationen", "Films et animations"},
    {"2", true, "Autos & Vehicles", "Autos & Fahrzeuge", "Auto et véhicules"},
    {"10", true, "Music", "Musik", "Musique"},
    {"15", true, "Pets & Animals", "Tiere", "Animaux"},
    {"17", true, "Sports", "Sport", "Sports"},
    {"18", false, "Short Movies", "Kurzfilme", "Courts métrages"},
    {"19", true, "Travel & Events", "Reisen & Events", "Voyages et événements"},
    {"20", true, "Gaming", "Gaming", "Jeux vidéo"},
    {"21", false, "Videoblogging", "Videoblogs", "Blogs vidéo"},
    {"22", true, "People & Blogs", "Menschen & Blogs", "People et blogs"},
    {"23", true, "Comedy", "Comedy", "Humour"},
    {"24", true, "Entertainment", "Unterhaltung", "Divertissement"},
    {"25", true, "News & Politics", "Nachrichten & Politik", "Actualités et politique"},
    {"26", true, "Howto & Style", "Praktische Tipps & Styling", "Vie pratique et style"},
    {"27", true, "Education", "Bildung", "Éducation"},
    {"28", true, "Science & Technology", "Wissenschaft & Technik", "Science et technologie"},
    {"29", true, "Nonprofits & Activism", "Soziales Engagement", "Organisations à but non lucratif"},
    {"30", false, "Movies", "Filme", "Films"},
    {"31", false, "Anime/Animation", "Anime/Animation", "Anime/Animation"},
    {"32", false, "Action/Adventure", "Action/Abenteuer", "Action/Aventure"},
    {"33", false, "Classics", "Klassiker", "Classiques"},
    {"35", false, "Documentary", "Dokumentarfilm", "Documentaire"},
    {"36", false, "Drama", "Drama", "Drame"},
    {"37", false, "Family", "Familie", "Famille"},
    {"39", false, "Horror", "Horror", "Horreur"},
    {"40", false, "Sci-Fi/Fantasy", "Science-Fiction/Fantasy", "Science-fiction/Fantastique"},
    {"41", false, "Thriller", "Thriller", "Thriller"},
    {"44", false, "Trailers", "Trailer", "Bandes-annonces"},
};

const char* kCategoryChannel = "UCBR8-60-B28hp2BmDPdntcQ";

ResourceProblem Invalid(const QString& reason, const QString& message, const QString& location,
                        const QString& domain = QStringLiteral("youtube.video"))
{
    ResourceProblem problem;
    problem.item.reason = reason;
    problem.item.message = message;
    problem.item.domain = domain;
    problem.item.location = location;
    problem.item.locationType = QStringLiteral("other");
    return problem;
}

bool HasAngleBrackets(const QString& text)
{
    return text.contains(QLatin1Char('<')) || text.contains(QLatin1Char('>'));
}

int CodePoints(const QString& text)
{
    return text.toUcs4().size();
}
} // namespace

QJsonArray VideoCategories(const QString& hl)
{
    const QString language = hl.left(2).toLower();
    QJsonArray items;
    for (const Category& c : kCategories)
    {
        const char* title = language == QLatin1String("de") ? c.de : language == QLatin1String("fr") ? c.fr : c.en;
        items.append(QJsonObject{
            {"kind", "youtube#videoCategory"},
            {"etag", QStringLiteral("cat-%1-%2").arg(QLatin1String(c.id), language.isEmpty() ? "en" : language)},
            {"id", QLatin1String(c.id)},
            {"snippet", QJsonObject{{"title", QString::fromUtf8(title)},
                                    {"assignable", c.assignable},
                                    {"channelId", QLatin1String(kCategoryChannel)}}}});
    }
    return items;
}

bool IsAssignableCategory(const QString& id)
{
    for (const Category& c : kCategories)
        if (id == QLatin1String(c.id))
            return c.assignable;
    return false;
}

int TagsLength(const QJsonArray& tags)
{
    int total = tags.isEmpty() ? 0 : tags.size() - 1;
    for (const QJsonValue& tag : tags)
    {
        const QString text = tag.toString();
        total += CodePoints(text) + (text.contains(QLatin1Char(' ')) ? 2 : 0);
    }
    return total;
}

int DescriptionBytes(const QString& description)
{
    return description.toUtf8().size();
}

bool IsKnownVideoPart(const QString& part)
{
    static const QSet<QString> parts{"contentDetails", "fileDetails", "id",         "liveStreamingDetails",
                                     "localizations",  "player",      "processingDetails", "recordingDetails",
                                     "snippet",        "statistics",  "status",     "suggestions",
                                     "topicDetails"};
    return parts.contains(part);
}

std::optional<ResourceProblem> CheckVideoResource(const QJsonObject& resource)
{
    const QJsonObject snippet = resource.value("snippet").toObject();
    const QJsonValue title = snippet.value("title");
    if (!title.isString() || title.toString().trimmed().isEmpty() || CodePoints(title.toString()) > 100 ||
        HasAngleBrackets(title.toString()))
        return Invalid("invalidTitle", "The request metadata specifies an invalid or empty video title.",
                       "body.snippet.title");

    const QJsonValue description = snippet.value("description");
    if (!description.isUndefined() &&
        (!description.isString() || DescriptionBytes(description.toString()) > 5000 ||
         HasAngleBrackets(description.toString())))
        return Invalid("invalidDescription", "The request metadata specifies an invalid video description.",
                       "body.snippet.description");

    const QJsonValue tags = snippet.value("tags");
    if (!tags.isUndefined())
    {
        bool ok = tags.isArray();
        for (const QJsonValue& tag : tags.toArray())
            ok = ok && tag.isString() && !HasAngleBrackets(tag.toString());
        if (!ok || TagsLength(tags.toArray()) > 500)
            return Invalid("invalidTags", "The request metadata specifies invalid video keywords.",
                           "body.snippet.tags");
    }

    const QJsonValue category = snippet.value("categoryId");
    if (!category.isUndefined() && (!category.isString() || !IsAssignableCategory(category.toString())))
        return Invalid("invalidCategoryId", "The snippet.categoryId property specifies an invalid category ID.",
                       "body.snippet.categoryId");

    const QJsonValue status = resource.value("status");
    if (!status.isUndefined() && !status.isObject())
        return Invalid("invalidVideoMetadata", "The request metadata is invalid.", "body.status");
    const QJsonObject statusObject = status.toObject();
    const QJsonValue privacy = statusObject.value("privacyStatus");
    static const QSet<QString> privacies{"public", "unlisted", "private"};
    if (!privacy.isUndefined() && (!privacy.isString() || !privacies.contains(privacy.toString())))
        return Invalid("invalidVideoMetadata", "The request metadata is invalid: unknown privacyStatus.",
                       "body.status.privacyStatus");

    const QJsonValue kids = statusObject.value("selfDeclaredMadeForKids");
    if (!kids.isUndefined() && !kids.isBool())
        return Invalid("invalidVideoMetadata", "The request metadata is invalid: selfDeclaredMadeForKids.",
                       "body.status.selfDeclaredMadeForKids");

    const QJsonValue publishAt = statusObject.value("publishAt");
    if (!publishAt.isUndefined())
    {
        const QDateTime when = QDateTime::fromString(publishAt.toString(), Qt::ISODateWithMs);
        if (!publishAt.isString() || !when.isValid() || privacy.toString() != QLatin1String("private") ||
            when <= QDateTime::currentDateTimeUtc())
            return Invalid("invalidPublishAt", "The request metadata specifies an invalid scheduled publishing time.",
                           "body.status.publishAt");
    }
    return std::nullopt;
}

} // namespace Tavrix::YouTubeEmulator
