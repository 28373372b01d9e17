#pragma once

#include "RQServiceYouTubeExport.h"

#include "../YouTubeSharingLogic.h"

#include "SocialServices.h"

#include <QPixmap>

#include <functional>
#include <memory>

class QCloseEvent;
class QEvent;
class QHideEvent;
class QKeyEvent;

namespace Tavrix::App {
class ICustomizationManager;
class ILinksGenerator;
class ILookAndFeelManager;
} // namespace Tavrix::App

namespace Tavrix::RQ {
class IProjectStreamsBuilder;
class PathsSettings;
class SocialSettings;
} // namespace Tavrix::RQ

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

class YouTubeSharingErrorHandler;

// The window in which the user signs in, describes the video, picks the
// export resolution, category, privacy and an optional local copy, and
// starts or cancels the sharing.
class RQSERVICEYOUTUBE_EXPORT YouTubeSharingDialog : public AbstractAuthDialog
{
    Q_OBJECT
    Q_PROPERTY(QPixmap notAuthenticatedPixmap READ NotAuthenticatedPixmap WRITE SetNotAuthenticatedPixmap)
public:
    YouTubeSharingDialog(YouTubeSharingErrorHandler& errorHandler,
                         const std::shared_ptr<SocialSettings>& socialSettings,
                         const std::shared_ptr<PathsSettings>& pathsSettings,
                         const std::shared_ptr<IProjectStreamsBuilder>& projectStreamsBuilder,
                         const std::shared_ptr<App::ICustomizationManager>& customizationManager,
                         const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeelManager,
                         const std::shared_ptr<App::ILinksGenerator>& linksGenerator,
                         QWidget* parent);
    ~YouTubeSharingDialog() override;

    YouTubeSharingDialog(const YouTubeSharingDialog&) = delete;
    YouTubeSharingDialog& operator=(const YouTubeSharingDialog&) = delete;

    void SetFileContext(const ConvertationContext& context);
    void SetCategoryDescriptionFetcher(const std::function<Social::Field()>& fetcher);
    void SetPrivacyDescriptionFetcher(const std::function<Social::Field()>& fetcher);

    QPixmap NotAuthenticatedPixmap() const;
    void SetNotAuthenticatedPixmap(const QPixmap& pixmap);

    void SetUserName(const QString& name) override;
    void SetUserPicture(const QPixmap& picture) override;
    void SetLoginStatus(bool loggedIn) override;

signals:
    void CancelRequested();
    void StartRequested(const Tavrix::RQ::ConvertationContext& context,
                        const Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingLogic::YouTubeInfoData& info,
                        bool needSaveAfterExport);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
