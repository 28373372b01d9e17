#pragma once

#include "RQServiceYouTubeExport.h"

#include "SocialServices.h"

#include <memory>

namespace Tavrix::RQ {
class SocialSettings;
}

namespace Tavrix::RQ::Service::Sharing::YouTube {

namespace UI {
class YouTubeSharingErrorHandler;
}

// Signs the user in and out through the YouTube protocol, caches the user's
// name, picture and profile, and keeps the dialog's sign-in errors in step
// with the user state.
class RQSERVICEYOUTUBE_EXPORT YouTubeAuthLogic : public AbstractAuthLogic
{
public:
    YouTubeAuthLogic(const std::shared_ptr<SocialSettings>& settings, UI::YouTubeSharingErrorHandler& errorHandler);
    ~YouTubeAuthLogic() override;

    YouTubeAuthLogic(const YouTubeAuthLogic&) = delete;
    YouTubeAuthLogic& operator=(const YouTubeAuthLogic&) = delete;

    void UpdateUserInfo() override;
    QString GetUserName() const override;
    QUrl GetUserProfile() const override;
    QPixmap GetUserPicture() const override;
    void LogIn() override;
    void LogOut() override;
    bool IsLoggedIn() const override;
    UserState GetUserState() const override;
    void Cancel() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing::YouTube
