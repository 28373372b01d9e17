#pragma once

// How the host enters the plug-in: Register once for the builder that holds
// the YouTube sharing service, Resolve for each new service object.

#include "RQServiceYouTubeExport.h"

#include <Hypodermic/Hypodermic.h>

#include <memory>

namespace Tavrix::RQ::Service::Sharing {
class AbstractSharingManager;
}

namespace Tavrix::RQ::Service::Sharing::YouTube {

RQSERVICEYOUTUBE_EXPORT Hypodermic::ContainerBuilder Register();
RQSERVICEYOUTUBE_EXPORT std::shared_ptr<AbstractSharingManager> Resolve(Hypodermic::ComponentContext& context);

} // namespace Tavrix::RQ::Service::Sharing::YouTube
