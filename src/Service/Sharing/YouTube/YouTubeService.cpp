#include "YouTubeService.h"

#include "YouTubeSharingManager.h"

#include "SharingBehaviour.h"

namespace Tavrix::RQ::Service::Sharing::YouTube {

Hypodermic::ContainerBuilder Register()
{
    Hypodermic::ContainerBuilder builder;
    builder.registerType<YouTubeSharingManager>()
        .with<IProgressStrategy, SharingProgressBehaviour>()
        .with<YouTubeSharingManager::ResultStrategy, SharingResultBehaviour>();
    return builder;
}

std::shared_ptr<AbstractSharingManager> Resolve(Hypodermic::ComponentContext& context)
{
    return context.resolve<YouTubeSharingManager>();
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube
