#include "FakeYoutubeProtocol.h"

namespace TestSupport {

using namespace Tavrix::Social;

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

void FakeYoutubeProtocol::Cancel(Ticket ticket)
{
    calls.push_back({QStringLiteral("Cancel"), {ticket}});
    // Whichever request holds the ticket answers; the rest find nothing to answer.
    if (answerCancelAtOnce)
        FinishUpload(ticket, Cancelled) || FinishLogIn(ticket, Cancelled) || AnswerUserName(ticket, Cancelled, {})
            || AnswerUserProfile(ticket, Cancelled, {}) || AnswerUserPicture(ticket, Cancelled, {});
}

void FakeYoutubeProtocol::LogOut()
{
    calls.push_back({QStringLiteral("LogOut"), {}});
    loggedIn = false;
}

QMap<QString, Field> FakeYoutubeProtocol::GetFields() const
{
    const_cast<FakeYoutubeProtocol*>(this)->calls.push_back({QStringLiteral("GetFields"), {}});
    return fields;
}

QVariantMap FakeYoutubeProtocol::ToVariant(const QMap<QString, QString>& values)
{
    QVariantMap asVariant;
    for (auto it = values.begin(); it != values.end(); ++it)
        asVariant.insert(it.key(), it.value());
    return asVariant;
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
