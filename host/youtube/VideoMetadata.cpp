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

QString CleanText(const QString& text, bool multiline)
{
    QString clean;
    clean.reserve(text.size());
    for (int i = 0; i < text.size(); ++i)
    {
        const QChar c = text.at(i);
        const ushort code = c.unicode();
        if ((code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069))
            continue;
        if (multiline && code == '\r')
        {
            if (i + 1 == text.size() || text.at(i + 1) != QLatin1Char('\n'))
                clean += QLatin1Char('\n');
            continue;
        }
        if (multiline && (code == '\n' || code == '\t'))
            clean += c;
        else
            clean += c.category() == QChar::Other_Control ? QChar(QLatin1Char(' ')) : c;
    }
    return clean;
}

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
    const auto clean = [&metadata, &fields](const QString& field, const char* name, bool multiline) {
        const QString text = fields.value(field);
        const QString cleanText = CleanText(text, multiline);
        if (cleanText != text)
            metadata.cleaned << QLatin1String(name);
        return cleanText;
    };
    metadata.title = clean(YoutubeProtocol::FIELD_TITLE, "title", false);
    metadata.description = clean(YoutubeProtocol::FIELD_DESCRIPTION, "description", true);
    metadata.tags = SplitTags(clean(YoutubeProtocol::FIELD_TAGS, "tags", false));
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
