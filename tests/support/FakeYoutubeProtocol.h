#pragma once

// A scriptable YouTube protocol for tests: records every call with its
// arguments, hands out tickets, and lets the test deliver each callback.

#include "SocialProtocol.h"

#include <QMap>
#include <QStringList>
#include <QVariantList>

#include <map>
#include <vector>

namespace TestSupport {

class FakeYoutubeProtocol : public Tavrix::Social::YoutubeProtocol
{
public:
    using RequestResult = Tavrix::Social::RequestResult;
    using Ticket = Tavrix::Social::Ticket;
    using FinishCallback = VideoSharing<Tavrix::Social::DefaultSharingResult>::FinishCallback;

    struct Call
    {
        QString name;
        QVariantList args;
        Ticket ticket = -1;
    };

    // --- what the test scripts ---
    bool loggedIn = false;
    QMap<QString, Tavrix::Social::Field> fields;
    // When set, Cancel of a running upload or request answers at once with
    // Cancelled, as the network protocol does.
    bool answerCancelAtOnce = false;

    // --- what the code under test did ---
    std::vector<Call> calls;
    QStringList CallNames() const;
    // Calls of one name, in order.
    std::vector<Call> CallsNamed(const QString& name) const;
    // The ticket of the last call of that name, -1 when none.
    Ticket LastTicket(const QString& name) const;
    bool IsPending(Ticket ticket) const;

    // --- delivering callbacks; each returns false when no such request waits ---
    bool FinishLogIn(Ticket ticket, RequestResult result) { return Deliver(m_logIns, ticket, result); }
    bool AnswerUserName(Ticket t, RequestResult r, const QString& name) { return Deliver(m_names, t, r, name); }
    bool AnswerUserProfile(Ticket t, RequestResult r, const QUrl& url) { return Deliver(m_profiles, t, r, url); }
    bool AnswerUserPicture(Ticket t, RequestResult r, const QPixmap& pic) { return Deliver(m_pictures, t, r, pic); }
    bool ReportProgress(Ticket ticket, int percent)
    {
        if (!m_uploads.count(ticket))
            return false;
        m_progress[ticket](ticket, percent);
        return true;
    }
    bool FinishUpload(Ticket ticket, RequestResult result, const QUrl& url = {})
    {
        Tavrix::Social::DefaultSharingResult data;
        data.url = url;
        return Deliver(m_uploads, ticket, result, data);
    }

    // --- the protocol ---
    void Cancel(Ticket ticket) override;
    Ticket LogIn(const QMap<QString, QString>& parameters, LogInCallback callback) override
    {
        return Keep(m_logIns, "LogIn", {ToVariant(parameters)}, std::move(callback));
    }
    void LogOut() override;
    bool IsLoggedIn() const override { return loggedIn; }
    Ticket RequestUserName(NameCallback done) override { return Keep(m_names, "RequestUserName", {}, done); }
    Ticket RequestUserProfile(ProfileCallback done) override { return Keep(m_profiles, "RequestUserProfile", {}, done); }
    Ticket RequestUserId(IdCallback done) override { return Keep(m_ids, "RequestUserId", {}, done); }
    Ticket RequestUserPicture(PictureCallback done) override { return Keep(m_pictures, "RequestUserPicture", {}, done); }
    QMap<QString, Tavrix::Social::Field> GetFields() const override;
    Ticket Upload(const QString& file, const QMap<QString, QString>& fieldValues, FinishCallback finished,
                  ProgressCallback progress) override
    {
        const Ticket ticket = Keep(m_uploads, "Upload", {file, ToVariant(fieldValues)}, std::move(finished));
        m_progress[ticket] = std::move(progress);
        return ticket;
    }

private:
    static QVariantMap ToVariant(const QMap<QString, QString>& values);

    // Records a request and keeps its callback under a new ticket.
    template <class TMap, class TCallback>
    Ticket Keep(TMap& waiting, const QString& name, const QVariantList& args, TCallback callback)
    {
        const Ticket ticket = m_nextTicket++;
        calls.push_back({name, args, ticket});
        waiting[ticket] = std::move(callback);
        return ticket;
    }

    // Hands the answer to the request's callback, which no longer waits.
    template <class TMap, class... TArgs>
    static bool Deliver(TMap& waiting, Ticket ticket, const TArgs&... args)
    {
        auto it = waiting.find(ticket);
        if (it == waiting.end())
            return false;
        auto callback = std::move(it->second);
        waiting.erase(it);
        callback(ticket, args...);
        return true;
    }

    Ticket m_nextTicket = 1;
    std::map<Ticket, LogInCallback> m_logIns;
    std::map<Ticket, NameCallback> m_names;
    std::map<Ticket, ProfileCallback> m_profiles;
    std::map<Ticket, IdCallback> m_ids;
    std::map<Ticket, PictureCallback> m_pictures;
    std::map<Ticket, FinishCallback> m_uploads;
    std::map<Ticket, ProgressCallback> m_progress;
};

// A field with options given as value/text pairs.
Tavrix::Social::Field MakeField(const QList<QPair<QString, QString>>& options, const QString& selected);

} // namespace TestSupport
