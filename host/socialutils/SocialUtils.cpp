#include "SocialUtils.h"

#include "SocialServices.h"

#include <QCoreApplication>

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

QString RequestResultAdvice(Social::RequestResult result)
{
    using namespace Social;
    const char* text = nullptr;
    switch (result)
    {
    case Success: text = QT_TRANSLATE_NOOP("RequestResult", "Done."); break;
    case Cancelled: text = QT_TRANSLATE_NOOP("RequestResult", "It was cancelled."); break;
    case NetworkError:
        text = QT_TRANSLATE_NOOP("RequestResult",
                                 "YouTube could not be reached. Check the internet connection and try again.");
        break;
    case AuthorizationDenied:
        text = QT_TRANSLATE_NOOP("RequestResult", "Google did not give access to the YouTube account. Sign in again "
                                                  "and allow this program to upload.");
        break;
    case AuthorizationExpired:
        text = QT_TRANSLATE_NOOP("RequestResult", "The sign-in to YouTube has expired or was withdrawn. Sign in again.");
        break;
    case AuthorizationTimeout:
        text = QT_TRANSLATE_NOOP("RequestResult", "The sign-in was not finished in the browser in time. Try again.");
        break;
    case NoChannel:
        text = QT_TRANSLATE_NOOP("RequestResult", "This Google account has no YouTube channel. Create one on "
                                                  "youtube.com, or sign in with another account.");
        break;
    case QuotaExceeded:
        text = QT_TRANSLATE_NOOP("RequestResult", "The daily upload quota is used up. It resets at midnight Pacific "
                                                  "time; try again after that.");
        break;
    case UploadLimitExceeded:
        text = QT_TRANSLATE_NOOP("RequestResult", "YouTube takes no more uploads from this account for now. Try "
                                                  "again later, usually within a day.");
        break;
    case InvalidMetadata:
        text = QT_TRANSLATE_NOOP("RequestResult",
                                 "YouTube refused the title, description or tags. Change them and try again.");
        break;
    case FileUnreadable:
        text = QT_TRANSLATE_NOOP("RequestResult", "The video file could not be read.");
        break;
    case ServerError:
        text = QT_TRANSLATE_NOOP("RequestResult", "YouTube has a problem on its side. Try again in a few minutes.");
        break;
    case Forbidden:
        text = QT_TRANSLATE_NOOP("RequestResult",
                                 "YouTube does not let this account upload. Check the account on youtube.com.");
        break;
    case ProtocolError:
        text = QT_TRANSLATE_NOOP("RequestResult",
                                 "The answer from Google could not be understood or trusted. Try again.");
        break;
    case BrowserUnavailable:
        text = QT_TRANSLATE_NOOP("RequestResult", "No web browser could be opened for the sign-in. Set a default "
                                                  "browser and try again.");
        break;
    case ClientNotConfigured:
        text = QT_TRANSLATE_NOOP("RequestResult", "This program has no YouTube client id, so it cannot sign in. The "
                                                  "README explains how to get one.");
        break;
    case Failed: break;
    }
    return text ? QCoreApplication::translate("RequestResult", text)
                : QCoreApplication::translate("RequestResult", "Something went wrong. Try again.");
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
