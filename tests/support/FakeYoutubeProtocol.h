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
    bool FinishLogIn(Ticket ticket, RequestResult result);
    bool AnswerUserName(Ticket ticket, RequestResult result, const QString& name);
    bool AnswerUserProfile(Ticket ticket, RequestResult result, const QUrl& profile);
    bool AnswerUserPicture(Ticket ticket, RequestResult result, const QPixmap& picture);
    bool ReportProgress(Ticket ticket, int percent);
    bool FinishUpload(Ticket ticket, RequestResult result, const QUrl& url = {});

    // --- the protocol ---
    void Cancel(Ticket ticket) override;
    Ticket LogIn(const QMap<QString, QString>& parameters, LogInCallback callback) override;
    void LogOut() override;
    bool IsLoggedIn() const override;
    Ticket RequestUserName(NameCallback callback) override;
    Ticket RequestUserProfile(ProfileCallback callback) override;
    Ticket RequestUserId(IdCallback callback) override;
    Ticket RequestUserPicture(PictureCallback callback) override;
    QMap<QString, Tavrix::Social::Field> GetFields() const override;
    Ticket Upload(const QString& file, const QMap<QString, QString>& fields,
                  VideoSharing<Tavrix::Social::DefaultSharingResult>::FinishCallback finished, ProgressCallback progress) override;

private:
    Ticket Record(const QString& name, const QVariantList& args = {});

    Ticket m_nextTicket = 1;
    std::map<Ticket, LogInCallback> m_logIns;
    std::map<Ticket, NameCallback> m_names;
    std::map<Ticket, ProfileCallback> m_profiles;
    std::map<Ticket, IdCallback> m_ids;
    std::map<Ticket, PictureCallback> m_pictures;
    std::map<Ticket, std::pair<VideoSharing<Tavrix::Social::DefaultSharingResult>::FinishCallback, ProgressCallback>> m_uploads;
};

// A field with options given as value/text pairs.
Tavrix::Social::Field MakeField(const QList<QPair<QString, QString>>& options, const QString& selected);

} // namespace TestSupport
