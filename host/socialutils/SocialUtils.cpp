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
