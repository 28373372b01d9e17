// A first look at the plug-in from the host's side: the metadata fields it
// sends with an upload and what each request outcome reads as.

#include "SocialProtocol.h"
#include "SocialUtils.h"
#include "YouTubeSharingLogic.h"

#include <iostream>

int main()
{
    using namespace Tavrix::Social;
    std::cout << "RQServiceYouTube: fields sent with an upload:";
    for (const QString& field : {YoutubeProtocol::FIELD_TITLE, YoutubeProtocol::FIELD_DESCRIPTION,
                                 YoutubeProtocol::FIELD_TAGS, YoutubeProtocol::FIELD_CATEGORY_ID,
                                 YoutubeProtocol::FIELD_PRIVACY})
        std::cout << ' ' << field.toStdString();
    std::cout << "\nRequest outcomes:\n";
    for (RequestResult result : {Success, Failed, Cancelled, NetworkError, QuotaExceeded})
        std::cout << "  " << Tavrix::RQ::Service::Sharing::RequestResultToString(result) << '\n';
    return 0;
}
