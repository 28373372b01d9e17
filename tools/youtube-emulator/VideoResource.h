#pragma once

// What videos.insert accepts: the category list and the checks on the video
// resource sent when a session starts.

#include "Wire.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <optional>

namespace Tavrix::YouTubeEmulator {

// The categories answered by videoCategories, titles in the language asked
// for by `hl` (English when that language is not known).
QJsonArray VideoCategories(const QString& hl);
bool IsAssignableCategory(const QString& id);

// The tag list's length as the API counts it: characters plus the commas
// between tags, and two more for a tag holding a space (it gets quoted).
int TagsLength(const QJsonArray& tags);
int DescriptionBytes(const QString& description);

// The first rule the resource breaks, as the API's 400 (or 403) answer.
struct ResourceProblem
{
    int code = 400;
    ApiErrorItem item;
};
std::optional<ResourceProblem> CheckVideoResource(const QJsonObject& resource);

// Parts the API knows for videos; anything else is refused as unknownPart.
bool IsKnownVideoPart(const QString& part);

} // namespace Tavrix::YouTubeEmulator
