#pragma once

// How the host enters the plug-in: Register once for the builder that holds
// the YouTube sharing service, Resolve for each new service object.

#include "RQServiceYouTubeExport.h"

// The container keeps process-wide settings (runtime registration, logging) in
// function-local statics of its headers. This library is built with hidden
// visibility, which would give it copies of its own that ignore what the host
// configures; with default visibility it shares the host's.
#pragma GCC visibility push(default)
#include <Hypodermic/Hypodermic.h>
#pragma GCC visibility pop

#include <memory>

namespace Tavrix::RQ::Service::Sharing {
class AbstractSharingManager;
}

namespace Tavrix::RQ::Service::Sharing::YouTube {

RQSERVICEYOUTUBE_EXPORT Hypodermic::ContainerBuilder Register();
// A host service the manager needs, missing from the container, reaches the
// caller as the container's ActivationException, whose message names it
// ("... Unable to resolve TYPE"); the manager's parameters are built in the
// container's own order, so with several missing any one may be named.
RQSERVICEYOUTUBE_EXPORT std::shared_ptr<AbstractSharingManager> Resolve(Hypodermic::ComponentContext& context);

} // namespace Tavrix::RQ::Service::Sharing::YouTube
