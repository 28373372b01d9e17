#pragma once

// The host's social protocol library: the request outcome, the protocol base
// and the YouTube protocol's two facets (sign-in and video sharing).
// Requests answer with a ticket at once and report later through callbacks.

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QPixmap>
#include <QString>
#include <QUrl>
#include <QtGlobal>

#include <functional>

namespace Tavrix::Social {

// 0 success, 2 cancelled, anything else a failure. 1 is the generic failure
// that callers report themselves; the protocol's own failures follow.
enum RequestResult : int
{
    Success = 0,
    Failed = 1,
    Cancelled = 2,
    NetworkError = 10,
    AuthorizationDenied = 11,
    AuthorizationExpired = 12,
    AuthorizationTimeout = 13,
    NoChannel = 14,
    QuotaExceeded = 15,
    UploadLimitExceeded = 16,
    InvalidMetadata = 17,
    FileUnreadable = 18,
    ServerError = 19,
    Forbidden = 20,
    ProtocolError = 21,
    BrowserUnavailable = 22,
    ClientNotConfigured = 23,
};

using Ticket = qint64;
constexpr Ticket InvalidTicket = -1;

// Common base of every protocol object the host keeps.
class BaseProtocol
{
public:
    virtual ~BaseProtocol() = default;

    // Cancels a running request; a cancelled request still gets its finish
    // callback with Cancelled. Unknown tickets, -1 included, are ignored.
    virtual void Cancel(Ticket ticket) = 0;
    // Re-reads the protocol's user-visible texts in the current language.
    virtual void Retranslate() {}
};

namespace Ability {

class Authorization
{
public:
    using LogInCallback = std::function<void(Ticket, RequestResult)>;
    using NameCallback = std::function<void(Ticket, RequestResult, QString)>;
    using ProfileCallback = std::function<void(Ticket, RequestResult, QUrl)>;
    using IdCallback = std::function<void(Ticket, RequestResult, QString)>;
    using PictureCallback = std::function<void(Ticket, RequestResult, QPixmap)>;

    virtual ~Authorization() = default;

    virtual Ticket LogIn(const QMap<QString, QString>& parameters, LogInCallback callback) = 0;
    virtual void LogOut() = 0;
    virtual bool IsLoggedIn() const = 0;
    virtual Ticket RequestUserName(NameCallback callback) = 0;
    virtual Ticket RequestUserProfile(ProfileCallback callback) = 0;
    virtual Ticket RequestUserId(IdCallback callback) = 0;
    virtual Ticket RequestUserPicture(PictureCallback callback) = 0;
};

template <class TResult>
class VideoSharing
{
public:
    struct FieldOption
    {
        QString value;
        QString displayText;
        QString description;
    };

    struct Field
    {
        QString displayName;
        QList<FieldOption> options;
        QString selectedValue;
        bool readOnly = false;
        bool visible = true;
    };

    using FinishCallback = std::function<void(Ticket, RequestResult, const TResult&)>;
    using ProgressCallback = std::function<void(Ticket, int)>;

    virtual ~VideoSharing() = default;

    virtual QMap<QString, Field> GetFields() const = 0;
    virtual Ticket Upload(const QString& file,
                          const QMap<QString, QString>& fields,
                          FinishCallback finished,
                          ProgressCallback progress) = 0;
};

} // namespace Ability

struct DefaultSharingResult
{
    QUrl url;
    QString videoId;
    // Why a request failed, in words a user understands; empty on success.
    QString message;
};

using Field = Ability::VideoSharing<DefaultSharingResult>::Field;
using FieldOption = Ability::VideoSharing<DefaultSharingResult>::FieldOption;

class YoutubeProtocol : public BaseProtocol,
                        public Ability::Authorization,
                        public Ability::VideoSharing<DefaultSharingResult>
{
public:
    static const QString FIELD_TITLE;
    static const QString FIELD_DESCRIPTION;
    static const QString FIELD_TAGS;
    static const QString FIELD_CATEGORY_ID;
    static const QString FIELD_PRIVACY;
};

} // namespace Tavrix::Social

Q_DECLARE_METATYPE(Tavrix::Social::RequestResult)
