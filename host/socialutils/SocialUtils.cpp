#include "SocialUtils.h"

#include "SocialServices.h"

#include <QCoreApplication>

namespace Tavrix::RQ::Service::Sharing {

namespace {
// The names stay English in the logs; windows show them translated.
const char* ResultName(Social::RequestResult result)
{
    using namespace Social;
    switch (result)
    {
    case Success: return QT_TRANSLATE_NOOP("RequestResult", "Success");
    case Failed: return QT_TRANSLATE_NOOP("RequestResult", "Failed");
    case Cancelled: return QT_TRANSLATE_NOOP("RequestResult", "Cancelled");
    case NetworkError: return QT_TRANSLATE_NOOP("RequestResult", "Network unreachable");
    case AuthorizationDenied: return QT_TRANSLATE_NOOP("RequestResult", "Sign-in denied");
    case AuthorizationExpired: return QT_TRANSLATE_NOOP("RequestResult", "Sign-in expired");
    case AuthorizationTimeout: return QT_TRANSLATE_NOOP("RequestResult", "Sign-in timed out");
    case NoChannel: return QT_TRANSLATE_NOOP("RequestResult", "No YouTube channel");
    case QuotaExceeded: return QT_TRANSLATE_NOOP("RequestResult", "Quota exceeded");
    case UploadLimitExceeded: return QT_TRANSLATE_NOOP("RequestResult", "Upload limit reached");
    case InvalidMetadata: return QT_TRANSLATE_NOOP("RequestResult", "Invalid metadata");
    case FileUnreadable: return QT_TRANSLATE_NOOP("RequestResult", "File unreadable");
    case ServerError: return QT_TRANSLATE_NOOP("RequestResult", "Server error");
    case Forbidden: return QT_TRANSLATE_NOOP("RequestResult", "Forbidden");
    case ProtocolError: return QT_TRANSLATE_NOOP("RequestResult", "Protocol error");
    case BrowserUnavailable: return QT_TRANSLATE_NOOP("RequestResult", "Browser could not be opened");
    case ClientNotConfigured: return QT_TRANSLATE_NOOP("RequestResult", "YouTube client id not configured");
    }
    return nullptr;
}
} // namespace

std::string RequestResultToString(Social::RequestResult result)
{
    const char* name = ResultName(result);
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

QString RequestResultToText(Social::RequestResult result)
{
    const char* name = ResultName(result);
    const int number = static_cast<int>(result);
    return name ? QStringLiteral("%1 (%2)").arg(QCoreApplication::translate("RequestResult", name)).arg(number)
                : QCoreApplication::translate("RequestResult", "Unknown result (%1)").arg(number);
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
