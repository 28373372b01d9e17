#pragma once

#include "RQServiceYouTubeExport.h"

#include "SocialServices.h"

#include <memory>

namespace Tavrix::App {
class ICustomizationManager;
class ILinksGenerator;
class ILookAndFeelManager;
} // namespace Tavrix::App

namespace Tavrix::RQ {
class IFileManager;
class IProjectStreamsBuilder;
class PathsSettings;
class SocialSettings;
namespace UI {
class ParentProvider;
}
} // namespace Tavrix::RQ

namespace Tavrix::RQ::Service::Sharing::YouTube {

// The YouTube sharing service: owns the dialog, the sign-in and upload logics
// and the host's helpers, and carries one sharing from the host's request to
// its result.
class RQSERVICEYOUTUBE_EXPORT YouTubeSharingManager : public AbstractSharingManager
{
    Q_OBJECT
public:
    using ResultStrategy = IResultStrategy<SharingResultContext, Social::RequestResult>;

    YouTubeSharingManager(const std::shared_ptr<SocialSettings>& socialSettings,
                          const std::shared_ptr<PathsSettings>& pathsSettings,
                          const std::shared_ptr<IProjectStreamsBuilder>& projectStreamsBuilder,
                          const std::shared_ptr<IFileManager>& fileManager,
                          const std::shared_ptr<App::ICustomizationManager>& customizationManager,
                          const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeelManager,
                          const std::shared_ptr<App::ILinksGenerator>& linksGenerator,
                          const std::shared_ptr<RQ::UI::ParentProvider>& parentProvider,
                          const std::shared_ptr<IProgressStrategy>& progress,
                          const std::shared_ptr<ResultStrategy>& result);
    ~YouTubeSharingManager() override;

    YouTubeSharingManager(const YouTubeSharingManager&) = delete;
    YouTubeSharingManager& operator=(const YouTubeSharingManager&) = delete;

    bool ShareFile(const ioPath& file, const CutIntervals& cutIntervals) override;
    bool Upload(const ConvertationContext& context) override;
    void Cancel() override;
    void Reset() override;
    Type GetType() const override;
    QString GetSharingName() const override;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing::YouTube
