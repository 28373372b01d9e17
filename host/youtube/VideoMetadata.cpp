#include "VideoMetadata.h"

#include "SocialProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Tavrix::Social::YouTube {

namespace {
bool HasAngleBrackets(const QString& text)
{
    return text.contains(QLatin1Char('<')) || text.contains(QLatin1Char('>'));
}
} // namespace

QStringList SplitTags(const QString& text)
{
    QStringList tags;
    for (const QString& part : text.split(QLatin1Char(',')))
    {
        const QString tag = part.trimmed();
        if (!tag.isEmpty())
            tags << tag;
    }
    return tags;
}

int TagsLength(const QStringList& tags)
{
    int length = tags.isEmpty() ? 0 : tags.size() - 1;
    for (const QString& tag : tags)
        length += tag.toUcs4().size() + (tag.contains(QLatin1Char(' ')) ? 2 : 0);
    return length;
}

VideoMetadata VideoMetadata::FromFields(const QMap<QString, QString>& fields)
{
    VideoMetadata metadata;
    metadata.title = fields.value(YoutubeProtocol::FIELD_TITLE);
    metadata.description = fields.value(YoutubeProtocol::FIELD_DESCRIPTION);
    metadata.tags = SplitTags(fields.value(YoutubeProtocol::FIELD_TAGS));
    metadata.categoryId = fields.value(YoutubeProtocol::FIELD_CATEGORY_ID).trimmed();
    metadata.privacy = fields.value(YoutubeProtocol::FIELD_PRIVACY).trimmed();
    // Nothing is published by accident: no choice means private.
    if (metadata.privacy.isEmpty())
        metadata.privacy = QStringLiteral("private");
    return metadata;
}

QString VideoMetadata::Violation() const
{
    if (title.trimmed().isEmpty())
        return QStringLiteral("the title is empty");
    const int titleLength = title.toUcs4().size();
    if (titleLength > kMaxTitleCharacters)
        return QStringLiteral("the title has %1 characters, more than the limit of %2")
            .arg(titleLength)
            .arg(kMaxTitleCharacters);
    if (HasAngleBrackets(title))
        return QStringLiteral("the title contains < or >, which YouTube does not allow");
    const int descriptionBytes = description.toUtf8().size();
    if (descriptionBytes > kMaxDescriptionBytes)
        return QStringLiteral("the description has %1 bytes, more than the limit of %2 bytes")
            .arg(descriptionBytes)
            .arg(kMaxDescriptionBytes);
    if (HasAngleBrackets(description))
        return QStringLiteral("the description contains < or >, which YouTube does not allow");
    const int tagsLength = TagsLength(tags);
    if (tagsLength > kMaxTagsLength)
        return QStringLiteral("the tags count %1 characters, more than the limit of %2")
            .arg(tagsLength)
            .arg(kMaxTagsLength);
    for (const QString& tag : tags)
        if (HasAngleBrackets(tag))
            return QStringLiteral("a tag contains < or >, which YouTube does not allow");
    static const QStringList privacies{QStringLiteral("public"), QStringLiteral("unlisted"), QStringLiteral("private")};
    if (!privacies.contains(privacy))
        return QStringLiteral("the privacy \"%1\" is none of public, unlisted, private").arg(privacy);
    return {};
}

QByteArray VideoMetadata::ToJson() const
{
    QJsonObject snippet{{QStringLiteral("title"), title}, {QStringLiteral("description"), description}};
    if (!tags.isEmpty())
        snippet.insert(QStringLiteral("tags"), QJsonArray::fromStringList(tags));
    if (!categoryId.isEmpty())
        snippet.insert(QStringLiteral("categoryId"), categoryId);
    const QJsonObject status{{QStringLiteral("privacyStatus"), privacy}};
    return QJsonDocument(QJsonObject{{QStringLiteral("snippet"), snippet}, {QStringLiteral("status"), status}})
        .toJson(QJsonDocument::Compact);
}

} // namespace Tavrix::Social::YouTube
