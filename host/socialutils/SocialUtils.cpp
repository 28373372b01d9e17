#include "SocialUtils.h"

#include "SocialServices.h"

namespace Tavrix::RQ::Service::Sharing {

std::string RequestResultToString(Social::RequestResult result)
{
    using namespace Social;
    const char* name = nullptr;
    switch (result)
    {
    case Success: name = "Success"; break;
    case Failed: name = "Failed"; break;
    case Cancelled: name = "Cancelled"; break;
    case NetworkError: name = "Network unreachable"; break;
    case AuthorizationDenied: name = "Sign-in denied"; break;
    case AuthorizationExpired: name = "Sign-in expired"; break;
    case AuthorizationTimeout: name = "Sign-in timed out"; break;
    case NoChannel: name = "No YouTube channel"; break;
    case QuotaExceeded: name = "Quota exceeded"; break;
    case UploadLimitExceeded: name = "Upload limit reached"; break;
    case InvalidMetadata: name = "Invalid metadata"; break;
    case FileUnreadable: name = "File unreadable"; break;
    case ServerError: name = "Server error"; break;
    case Forbidden: name = "Forbidden"; break;
    case ProtocolError: name = "Protocol error"; break;
    case BrowserUnavailable: name = "Browser could not be opened"; break;
    case ClientNotConfigured: name = "YouTube client id not configured"; break;
    }
    const std::string number = std::to_string(static_cast<int>(result));
    return name ? std::string(name) + " (" + number + ")" : "Unknown result (" + number + ")";
}

SocialAuthConnector::SocialAuthConnector(AbstractAuthLogic& logic, AbstractAuthDialog& dialog, QObject* parent)
    : QObject(parent)
{
    connect(&dialog, &AbstractAuthDialog::LogInRequested, this, [&logic] { logic.LogIn(); });
    connect(&dialog, &AbstractAuthDialog::LogOutRequested, this, [&logic] { logic.LogOut(); });
    connect(&logic, &AbstractAuthLogic::UserNameUpdated, this, [&dialog](const QString& name) { dialog.SetUserName(name); });
    connect(&logic, &AbstractAuthLogic::UserPictureUpdated, this,
            [&dialog](const QPixmap& picture) { dialog.SetUserPicture(picture); });
    connect(&logic, &AbstractAuthLogic::UserStateUpdated, this, [&dialog](AbstractAuthLogic::UserState state) {
        dialog.SetLoginStatus(state != AbstractAuthLogic::LoggedOut);
    });
}

} // namespace Tavrix::RQ::Service::Sharing
