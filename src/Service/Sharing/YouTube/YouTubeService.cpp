#include "YouTubeService.h"

#include "YouTubeSharingManager.h"

#include "AppServices.h"
#include "ParentProvider.h"
#include "ProjectManager.h"
#include "ProjectStreams.h"
#include "SharingBehaviour.h"
#include "UserSettings.h"

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
