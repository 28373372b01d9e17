#include "SocialProtocol.h"

namespace Tavrix::Social {

const QString YoutubeProtocol::FIELD_TITLE = QStringLiteral("title");
const QString YoutubeProtocol::FIELD_DESCRIPTION = QStringLiteral("description");
const QString YoutubeProtocol::FIELD_TAGS = QStringLiteral("tags");
const QString YoutubeProtocol::FIELD_CATEGORY_ID = QStringLiteral("categoryId");
const QString YoutubeProtocol::FIELD_PRIVACY = QStringLiteral("privacy");

} // namespace Tavrix::Social
