#include "YouTubeAuthLogic.h"

#include "UI/YouTubeSharingErrorHandler.h"

#include "CoreUtils.h"
#include "SocialUtils.h"
#include "UserSettings.h"

#include <QPointer>

#include <glog/logging.h>

#include <functional>
#include <set>
#include <string>

namespace Tavrix::RQ::Service::Sharing::YouTube {

namespace {
constexpr char kLogIn[] = "Tavrix::RQ::Service::Sharing::YouTube::YouTubeAuthLogic::LogIn";
constexpr char kLogOut[] = "Tavrix::RQ::Service::Sharing::YouTube::YouTubeAuthLogic::LogOut";
constexpr char kUpdateUserInfo[] = "Tavrix::RQ::Service::Sharing::YouTube::YouTubeAuthLogic::UpdateUserInfo";
// Callback lines carry a fixed prefix instead of the operation name.
constexpr char kLogInCallback[] = "YouTubeSharingLogic::LogIn/FinishCallBack: ";
constexpr char kInfoCallback[] = "YouTubeSharingLogic::UpdateUserInfo/FinishCallBack: ";

using ErrorHandler = UI::YouTubeSharingErrorHandler;
} // namespace

struct YouTubeAuthLogic::Impl
{
    Impl(YouTubeAuthLogic* self, const std::shared_ptr<SocialSettings>& settings, ErrorHandler& handler)
        : owner(self)
        , errorHandler(handler)
        , protocol(NotNull<SocialSettings>(settings)->YouTubeProtocol())
    {
    }

    // Wraps a handler so that an answer arriving after the object is gone,
    // which the protocol promises never to send, still reaches nothing.
    template <class... TArgs>
    std::function<void(qint64, Social::RequestResult, TArgs...)> Guarded(
        void (Impl::*handler)(qint64, Social::RequestResult, TArgs...))
    {
        QPointer<YouTubeAuthLogic> guard(owner);
        return [guard, handler](qint64 ticket, Social::RequestResult result, TArgs... values) {
            if (guard && guard->m_impl)
                (guard->m_impl.get()->*handler)(ticket, result, values...);
        };
    }

    void RefreshState()
    {
        const UserState state = owner->GetUserState();
        errorHandler.SetError(ErrorHandler::UserNotLoggedIn, state == LoggedOut);
        errorHandler.SetError(ErrorHandler::ProfileInvalid, state == ProfileInvalid);
        if (state == cachedState)
            return;
        cachedState = state;
        emit owner->UserStateUpdated(state);
    }

    void OnLogIn(qint64 ticket, Social::RequestResult result)
    {
        pendingTickets.erase(ticket);
        if (result == Social::Success)
        {
            LOG(INFO) << kLogInCallback << "auth completed";
        }
        else if (result == Social::Cancelled)
        {
            LOG(INFO) << kLogInCallback << "auth cancelled";
            return;
        }
        else
        {
            LOG(ERROR) << kLogInCallback << "auth failed with result=" << RequestResultToString(result);
        }
        owner->UpdateUserInfo();
    }

    // The steps every user-information answer shares. False for a cancelled
    // request, which must leave cache, state and signals alone.
    template <class T, class TDescribe>
    bool Accept(qint64 ticket, Social::RequestResult result, const char* request, T& cached, const T& value,
                TDescribe describe)
    {
        pendingTickets.erase(ticket);
        if (result == Social::Success)
        {
            VLOG(30) << kInfoCallback << request << " completed with " << describe();
            cached = value;
        }
        else if (result == Social::Cancelled)
        {
            VLOG(30) << kInfoCallback << request << " cancelled";
            return false;
        }
        else
        {
            LOG(ERROR) << kInfoCallback << request << " failed with result=" << RequestResultToString(result);
            cached = T();
        }
        return true;
    }

    void OnUserName(qint64 ticket, Social::RequestResult result, QString name)
    {
        if (Accept(ticket, result, "userName", userName, name, [&] { return "name=" + name.toStdString(); }))
            emit owner->UserNameUpdated(userName);
    }

    void OnUserPicture(qint64 ticket, Social::RequestResult result, QPixmap picture)
    {
        const auto describe = [&] {
            return "size=" + std::to_string(picture.width()) + "x" + std::to_string(picture.height());
        };
        if (Accept(ticket, result, "userPic", userPicture, picture, describe))
            emit owner->UserPictureUpdated(userPicture);
    }

    void OnUserProfile(qint64 ticket, Social::RequestResult result, QUrl profile)
    {
        const auto describe = [&] { return "profile=" + profile.toString().toStdString(); };
        if (!Accept(ticket, result, "userProfile", userProfile, profile, describe))
            return;
        profileChecked = true;
        emit owner->UserProfileUpdated(userProfile);
        RefreshState();
    }

    YouTubeAuthLogic* owner;
    QUrl userProfile;
    QString userName;
    QPixmap userPicture;
    UserState cachedState = LoggedOut;
    bool profileChecked = false;
    std::set<qint64> pendingTickets;
    ErrorHandler& errorHandler;
    NotNull<Social::YoutubeProtocol> protocol;
};

YouTubeAuthLogic::YouTubeAuthLogic(const std::shared_ptr<SocialSettings>& settings, ErrorHandler& errorHandler)
    : m_impl(std::make_unique<Impl>(this, settings, errorHandler))
{
}

YouTubeAuthLogic::~YouTubeAuthLogic()
{
    Cancel();
    // reset() empties the pointer before freeing, so a late answer sees no Impl.
    m_impl.reset();
}

void YouTubeAuthLogic::UpdateUserInfo()
{
    m_impl->profileChecked = false;
    if (!m_impl->protocol->IsLoggedIn())
    {
        m_impl->RefreshState();
        VLOG(30) << kUpdateUserInfo << ": " << "User is not logged in";
        m_impl->userName.clear();
        emit UserNameUpdated(m_impl->userName);
        m_impl->userProfile.clear();
        emit UserProfileUpdated(m_impl->userProfile);
        m_impl->userPicture = QPixmap();
        emit UserPictureUpdated(m_impl->userPicture);
        return;
    }

    VLOG(30) << kUpdateUserInfo << ": " << "User is logged in";
    m_impl->pendingTickets.insert(m_impl->protocol->RequestUserProfile(m_impl->Guarded(&Impl::OnUserProfile)));
    m_impl->pendingTickets.insert(m_impl->protocol->RequestUserPicture(m_impl->Guarded(&Impl::OnUserPicture)));
    m_impl->pendingTickets.insert(m_impl->protocol->RequestUserName(m_impl->Guarded(&Impl::OnUserName)));
}

QString YouTubeAuthLogic::GetUserName() const
{
    return m_impl->userName;
}

QUrl YouTubeAuthLogic::GetUserProfile() const
{
    return m_impl->userProfile;
}

QPixmap YouTubeAuthLogic::GetUserPicture() const
{
    return m_impl->userPicture;
}

void YouTubeAuthLogic::LogIn()
{
    if (m_impl->protocol->IsLoggedIn())
    {
        LOG(INFO) << kLogIn << ": " << "User is already logged in, no action";
        return;
    }
    LOG(INFO) << kLogIn << ": " << "User is not logged in, try to log in";
    m_impl->pendingTickets.insert(m_impl->protocol->LogIn(QMap<QString, QString>(), m_impl->Guarded(&Impl::OnLogIn)));
}

void YouTubeAuthLogic::LogOut()
{
    if (!m_impl->protocol->IsLoggedIn())
    {
        LOG(INFO) << kLogOut << ": " << "User is not logged in, no action";
        return;
    }
    LOG(INFO) << kLogOut << ": " << "User is logged in, try to log out";
    Cancel();
    m_impl->protocol->LogOut();
    UpdateUserInfo();
}

bool YouTubeAuthLogic::IsLoggedIn() const
{
    return m_impl->protocol->IsLoggedIn();
}

YouTubeAuthLogic::UserState YouTubeAuthLogic::GetUserState() const
{
    if (!IsLoggedIn())
        return LoggedOut;
    if (m_impl->profileChecked && m_impl->userProfile.isEmpty())
        return ProfileInvalid;
    return LoggedIn;
}

void YouTubeAuthLogic::Cancel()
{
    // A protocol may answer a cancel at once, and the answer removes its ticket.
    // An ordered set cancels in ticket order, which keeps the log reproducible.
    const std::set<qint64> tickets = m_impl->pendingTickets;
    for (qint64 ticket : tickets)
        m_impl->protocol->Cancel(ticket);
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube
