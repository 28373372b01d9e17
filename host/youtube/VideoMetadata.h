#pragma once

// The video resource sent with an upload: built from the plug-in's five
// fields, checked against YouTube's limits before a byte leaves the machine.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace Tavrix::Social::YouTube {

struct VideoMetadata
{
    QString title;
    QString description;
    QStringList tags;
    QString categoryId;
    QString privacy;
    // The fields ("title", "description", "tags") that CleanText changed.
    QStringList cleaned;

    // From the protocol's field map, the texts cleaned; the tags text is split at commas.
    static VideoMetadata FromFields(const QMap<QString, QString>& fields);

    // Empty when the metadata fits YouTube's limits, else a text naming the limit.
    QString Violation() const;
    // The JSON body of the resumable session's first request.
    QByteArray ToJson() const;
};

// Control characters become spaces (a multi-line text keeps its line breaks,
// as "\n", and its tabs), and the bidirectional override and isolate
// characters go: "rtl \u202Egnp.exe" would show as "rtl exe.png".
QString CleanText(const QString& text, bool multiline);
// "a, b c,,d " -> ["a", "b c", "d"]: trimmed, empty ones dropped.
QStringList SplitTags(const QString& text);
// The length YouTube counts: commas between tags, and quotes around a tag with a space.
int TagsLength(const QStringList& tags);

constexpr int kMaxTitleCharacters = 100;
constexpr int kMaxDescriptionBytes = 5000;
constexpr int kMaxTagsLength = 500;

} // namespace Tavrix::Social::YouTube
