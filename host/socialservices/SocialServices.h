#pragma once

// The host's social-service interface library: what a sharing service
// implements (manager, sign-in logic, sign-in dialog), the conversion request
// exchanged with the host, and the progress and result strategies.

#include "CoreUtils.h"
#include "MediaPresets.h"
#include "SocialProtocol.h"

#include <QDialog>
#include <QMap>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <QTime>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Tavrix::RQ {

class Project;

using CutIntervals = std::vector<std::pair<std::int64_t, std::int64_t>>;

// What the host converts: source into output, with the export preset and the
// cut intervals of the conversion part.
struct ConvertationContext
{
    struct Conversion
    {
        std::shared_ptr<Project> project;
        Conf::IPresetPtr preset;
        CutIntervals cutIntervals;
        bool flag = false;
    };

    struct Extra
    {
        std::string data;
        std::int32_t value = 0;
    };

    ioPath sourcePath;
    ioPath outputPath;
    std::optional<Conversion> conversion;
    std::optional<Extra> extra;
};

// Shows the progress of a long operation and offers to cancel it.
class IProgressStrategy : public QObject
{
    Q_OBJECT
public:
    using TextGetter = std::function<QString()>;

    using QObject::QObject;

    virtual void SetProgressText(const TextGetter& getter) = 0;
    virtual void SetAccelerationInfo(const TextGetter& getter) = 0;
    virtual void SetSaveFormatTextGetter(const TextGetter& getter) = 0;
    // fraction from 0.0 to 1.0
    virtual void Process(float fraction, const QTime& elapsed, const QTime& remaining) = 0;
    virtual void OnPause() = 0;
    virtual void OnResume() = 0;
    virtual void OnStart(const ConvertationContext& context) = 0;
    // Must be harmless when nothing runs.
    virtual void OnStop() = 0;

signals:
    void CancelRequested();
};

// Presents the outcome of one operation.
template <class TContext, class TResult>
class IResultStrategy
{
public:
    virtual ~IResultStrategy() = default;
    virtual void SetSuccessText(const std::function<QString()>& getter) = 0;
    virtual void Process(const TContext& context, const TResult& result) = 0;
};

} // namespace Tavrix::RQ

namespace Tavrix::RQ::Service::Sharing {

struct SharingResultContext
{
    ConvertationContext context;
    QUrl url;
    std::set<std::int32_t> resultFlags;
    QMap<QString, QString> details;
};

// A sharing service as the host drives it.
class AbstractSharingManager : public QObject
{
    Q_OBJECT
public:
    enum Type : int
    {
        File = 0,
        Email = 1,
        Clipboard = 2,
        Cloud = 3,
        YouTube = 4,
    };

    using QObject::QObject;

    virtual bool ShareFile(const ioPath& file, const CutIntervals& cutIntervals) = 0;
    virtual bool Upload(const ConvertationContext& context) = 0;
    virtual void Cancel() = 0;
    virtual void Reset() = 0;
    virtual Type GetType() const = 0;
    virtual QString GetSharingName() const = 0;

signals:
    void ConvertingRequested(const Tavrix::RQ::ConvertationContext& context);
    void ConvertingRequested(const Tavrix::RQ::ConvertationContext& context, bool saveOnly);
    void SharingStarted(const QString& category, const QMap<QString, QString>& parameters);
    void SharingFinished(bool success);
    void SharingCanceled();
};

// The sign-in side of a sharing service.
class AbstractAuthLogic : public QObject
{
    Q_OBJECT
public:
    enum UserState : std::int32_t
    {
        LoggedIn = 0,
        ProfileInvalid = 1,
        LoggedOut = 2,
    };
    Q_ENUM(UserState)

    using QObject::QObject;

    virtual void UpdateUserInfo() = 0;
    virtual QString GetUserName() const = 0;
    virtual QUrl GetUserProfile() const = 0;
    virtual QPixmap GetUserPicture() const = 0;
    virtual void LogIn() = 0;
    virtual void LogOut() = 0;
    virtual bool IsLoggedIn() const = 0;
    virtual UserState GetUserState() const = 0;
    virtual void Cancel() = 0;

signals:
    void UserStateUpdated(Tavrix::RQ::Service::Sharing::AbstractAuthLogic::UserState state);
    void UserNameUpdated(const QString& name);
    void UserPictureUpdated(const QPixmap& picture);
    void UserProfileUpdated(const QUrl& profile);
};

// A dialog that shows who is signed in and asks to sign in or out.
class AbstractAuthDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AbstractAuthDialog(QWidget* parent);

    virtual void SetUserName(const QString& name) = 0;
    virtual void SetUserPicture(const QPixmap& picture) = 0;
    virtual void SetLoginStatus(bool loggedIn) = 0;

signals:
    void LogInRequested();
    void LogOutRequested();
};

} // namespace Tavrix::RQ::Service::Sharing

Q_DECLARE_METATYPE(Tavrix::RQ::ConvertationContext)
Q_DECLARE_METATYPE(Tavrix::RQ::Service::Sharing::AbstractAuthLogic::UserState)
