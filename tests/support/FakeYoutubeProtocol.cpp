#include "FakeYoutubeProtocol.h"

namespace TestSupport {

using namespace Tavrix::Social;

namespace {
template <class TMap>
auto Take(TMap& map, Ticket ticket)
{
    typename TMap::mapped_type callback{};
    auto it = map.find(ticket);
    if (it != map.end())
    {
        callback = std::move(it->second);
        map.erase(it);
    }
    return callback;
}
} // namespace

QStringList FakeYoutubeProtocol::CallNames() const
{
    QStringList names;
    for (const Call& call : calls)
        names << call.name;
    return names;
}

std::vector<FakeYoutubeProtocol::Call> FakeYoutubeProtocol::CallsNamed(const QString& name) const
{
    std::vector<Call> found;
    for (const Call& call : calls)
        if (call.name == name)
            found.push_back(call);
    return found;
}

Ticket FakeYoutubeProtocol::LastTicket(const QString& name) const
{
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->name == name)
            return it->ticket;
    return -1;
}

bool FakeYoutubeProtocol::IsPending(Ticket ticket) const
{
    return m_logIns.count(ticket) || m_names.count(ticket) || m_profiles.count(ticket) || m_ids.count(ticket)
        || m_pictures.count(ticket) || m_uploads.count(ticket);
}

Ticket FakeYoutubeProtocol::Record(const QString& name, const QVariantList& args)
{
    const bool startsRequest = name != QLatin1String("LogOut") && name != QLatin1String("Cancel")
        && name != QLatin1String("IsLoggedIn") && name != QLatin1String("GetFields");
    const Ticket ticket = startsRequest ? m_nextTicket++ : -1;
    calls.push_back({name, args, ticket});
    return ticket;
}

bool FakeYoutubeProtocol::FinishLogIn(Ticket ticket, RequestResult result)
{
    auto callback = Take(m_logIns, ticket);
    if (!callback)
        return false;
    callback(ticket, result);
    return true;
}

bool FakeYoutubeProtocol::AnswerUserName(Ticket ticket, RequestResult result, const QString& name)
{
    auto callback = Take(m_names, ticket);
    if (!callback)
        return false;
    callback(ticket, result, name);
    return true;
}

bool FakeYoutubeProtocol::AnswerUserProfile(Ticket ticket, RequestResult result, const QUrl& profile)
{
    auto callback = Take(m_profiles, ticket);
    if (!callback)
        return false;
    callback(ticket, result, profile);
    return true;
}

bool FakeYoutubeProtocol::AnswerUserPicture(Ticket ticket, RequestResult result, const QPixmap& picture)
{
    auto callback = Take(m_pictures, ticket);
    if (!callback)
        return false;
    callback(ticket, result, picture);
    return true;
}

bool FakeYoutubeProtocol::ReportProgress(Ticket ticket, int percent)
{
    auto it = m_uploads.find(ticket);
    if (it == m_uploads.end())
        return false;
    auto progress = it->second.second;
    progress(ticket, percent);
    return true;
}

bool FakeYoutubeProtocol::FinishUpload(Ticket ticket, RequestResult result, const QUrl& url)
{
    auto callbacks = Take(m_uploads, ticket);
    if (!callbacks.first)
        return false;
    DefaultSharingResult data;
    data.url = url;
    callbacks.first(ticket, result, data);
    return true;
}

void FakeYoutubeProtocol::Cancel(Ticket ticket)
{
    Record(QStringLiteral("Cancel"), {ticket});
    if (!answerCancelAtOnce)
        return;
    if (m_uploads.count(ticket))
        FinishUpload(ticket, Cancelled);
    else if (m_logIns.count(ticket))
        FinishLogIn(ticket, Cancelled);
    else if (m_names.count(ticket))
        AnswerUserName(ticket, Cancelled, {});
    else if (m_profiles.count(ticket))
        AnswerUserProfile(ticket, Cancelled, {});
    else if (m_pictures.count(ticket))
        AnswerUserPicture(ticket, Cancelled, {});
}

Ticket FakeYoutubeProtocol::LogIn(const QMap<QString, QString>& parameters, LogInCallback callback)
{
    QVariantMap asVariant;
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        asVariant.insert(it.key(), it.value());
    const Ticket ticket = Record(QStringLiteral("LogIn"), {asVariant});
    m_logIns[ticket] = std::move(callback);
    return ticket;
}

void FakeYoutubeProtocol::LogOut()
{
    Record(QStringLiteral("LogOut"));
    loggedIn = false;
}

bool FakeYoutubeProtocol::IsLoggedIn() const
{
    return loggedIn;
}

Ticket FakeYoutubeProtocol::RequestUserName(NameCallback callback)
{
    const Ticket ticket = Record(QStringLiteral("RequestUserName"));
    m_names[ticket] = std::move(callback);
    return ticket;
}

Ticket FakeYoutubeProtocol::RequestUserProfile(ProfileCallback callback)
{
    const Ticket ticket = Record(QStringLiteral("RequestUserProfile"));
    m_profiles[ticket] = std::move(callback);
    return ticket;
}

Ticket FakeYoutubeProtocol::RequestUserId(IdCallback callback)
{
    const Ticket ticket = Record(QStringLiteral("RequestUserId"));
    m_ids[ticket] = std::move(callback);
    return ticket;
}

Ticket FakeYoutubeProtocol::RequestUserPicture(PictureCallback callback)
{
    const Ticket ticket = Record(QStringLiteral("RequestUserPicture"));
    m_pictures[ticket] = std::move(callback);
    return ticket;
}

QMap<QString, Field> FakeYoutubeProtocol::GetFields() const
{
    const_cast<FakeYoutubeProtocol*>(this)->Record(QStringLiteral("GetFields"));
    return fields;
}

Ticket FakeYoutubeProtocol::Upload(const QString& file, const QMap<QString, QString>& fieldValues,
                                   VideoSharing<Tavrix::Social::DefaultSharingResult>::FinishCallback finished, ProgressCallback progress)
{
    QVariantMap asVariant;
    for (auto it = fieldValues.begin(); it != fieldValues.end(); ++it)
        asVariant.insert(it.key(), it.value());
    const Ticket ticket = Record(QStringLiteral("Upload"), {file, asVariant});
    m_uploads[ticket] = {std::move(finished), std::move(progress)};
    return ticket;
}

Field MakeField(const QList<QPair<QString, QString>>& options, const QString& selected)
{
    Field field;
    for (const auto& option : options)
        field.options.append({option.first, option.second, QString()});
    field.selectedValue = selected;
    return field;
}

} // namespace TestSupport
