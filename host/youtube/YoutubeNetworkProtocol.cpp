#include "YoutubeNetworkProtocol.h"

#include "ApiReply.h"
#include "LoopbackSignIn.h"
#include "ResumableUpload.h"
#include "TokenRequest.h"
#include "TokenStore.h"
#include "VideoMetadata.h"
#include "YoutubeConfiguration.h"

#include "SocialUtils.h"
#include "UserSettings.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QImage>
#include <QJsonArray>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QProcessEnvironment>
#include <QTimer>
#include <QUrlQuery>

#include <glog/logging.h>

#include <map>
#include <vector>

namespace Tavrix::Social {

using namespace YouTube;

namespace {
constexpr char kConstruct[] = "Tavrix::Social::YoutubeNetworkProtocol::YoutubeNetworkProtocol: ";
constexpr char kCancel[] = "Tavrix::Social::YoutubeNetworkProtocol::Cancel: ";
constexpr char kLogIn[] = "Tavrix::Social::YoutubeNetworkProtocol::LogIn: ";
constexpr char kLogOut[] = "Tavrix::Social::YoutubeNetworkProtocol::LogOut: ";
constexpr char kRefresh[] = "Tavrix::Social::YoutubeNetworkProtocol::RefreshToken: ";
constexpr char kUserInfo[] = "Tavrix::Social::YoutubeNetworkProtocol::UserInfo: ";
constexpr char kCategories[] = "Tavrix::Social::YoutubeNetworkProtocol::Categories: ";
constexpr char kUpload[] = "Tavrix::Social::YoutubeNetworkProtocol::Upload: ";
// A token this close to its end is refreshed before use.
constexpr int kExpiryMarginSecs = 60;
// YouTube's own default category, "People & Blogs".
const QString kDefaultCategory = QStringLiteral("22");

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(YoutubeNetworkProtocol)
};

struct Category
{
    QString id;
    QString title;
};

// YouTube's assignable categories, offered until the account's own list has
// arrived: the dialog reads the options once when it is built, which is
// before any answer can be here. The identifiers are the same in every region.
QList<Category> StandardCategories()
{
    return {
        {QStringLiteral("1"), Tr::tr("Film & Animation")},
        {QStringLiteral("2"), Tr::tr("Autos & Vehicles")},
        {QStringLiteral("10"), Tr::tr("Music")},
        {QStringLiteral("15"), Tr::tr("Pets & Animals")},
        {QStringLiteral("17"), Tr::tr("Sports")},
        {QStringLiteral("19"), Tr::tr("Travel & Events")},
        {QStringLiteral("20"), Tr::tr("Gaming")},
        {QStringLiteral("22"), Tr::tr("People & Blogs")},
        {QStringLiteral("23"), Tr::tr("Comedy")},
        {QStringLiteral("24"), Tr::tr("Entertainment")},
        {QStringLiteral("25"), Tr::tr("News & Politics")},
        {QStringLiteral("26"), Tr::tr("Howto & Style")},
        {QStringLiteral("27"), Tr::tr("Education")},
        {QStringLiteral("28"), Tr::tr("Science & Technology")},
        {QStringLiteral("29"), Tr::tr("Nonprofits & Activism")},
    };
}

enum class Stage
{
    Idle,
    Running,
    Done
};
} // namespace

struct YoutubeNetworkProtocol::Impl
{
    struct Pending
    {
        std::function<void(RequestResult)> finish;
        std::function<void()> abort;
    };

    Configuration config;
    BrowserOpener openBrowser;
    QNetworkAccessManager network;
    // Receiver of every queued call and reply handler: they die with it.
    QObject context;
    TokenStore store;
    Tokens tokens;
    // A refresh token kept from an earlier run is used once before anything
    // else, so a grant withdrawn meanwhile shows as signed out at the start
    // and not after a conversion, when the access token has lapsed too.
    bool grantChecked = false;

    Ticket nextTicket = 1;
    std::map<Ticket, Pending> pending;
    Ticket signInTicket = InvalidTicket;

    QPointer<TokenRequest> refreshReply;
    std::vector<ResumableUpload::TokenReady> refreshWaiters;
    ResumeObserver resumeObserver;
    // Going away: what runs is stopped, not given up by the user.
    bool closing = false;

    // The signed-in user, fetched once per sign-in. Answers that arrive for an
    // older generation (before a sign-out or another sign-in) are dropped.
    quint64 generation = 0;
    Stage channelStage = Stage::Idle;
    RequestResult channelResult = Failed;
    bool hasChannel = false;
    QString channelId;
    QString channelName;
    QUrl pictureUrl;
    Stage pictureStage = Stage::Idle;
    RequestResult pictureResult = Failed;
    QPixmap picture;
    std::vector<Ticket> channelWaiters;
    std::vector<Ticket> pictureWaiters;
    Stage categoriesStage = Stage::Idle;
    QString categoriesLanguage;
    QList<Category> categories;

    explicit Impl(const Configuration& c)
        : config(c)
        , store(c)
    {
    }

    ~Impl()
    {
        // No callback after the component is gone.
        closing = true;
        for (auto& entry : pending)
            if (entry.second.abort)
                entry.second.abort();
        pending.clear();
        refreshWaiters.clear();
        delete refreshReply.data();
    }

    bool SignedIn() const
    {
        return !tokens.refreshToken.isEmpty()
            || (!tokens.accessToken.isEmpty() && QDateTime::currentDateTimeUtc() < tokens.expiresAt);
    }

    Ticket Add(std::function<void(RequestResult)> finish)
    {
        const Ticket ticket = nextTicket++;
        pending[ticket] = Pending{std::move(finish), {}};
        return ticket;
    }

    void Complete(Ticket ticket, RequestResult result)
    {
        const auto it = pending.find(ticket);
        if (it == pending.end())
            return;
        auto finish = std::move(it->second.finish);
        pending.erase(it);
        finish(result);
    }

    void CompleteLater(Ticket ticket, RequestResult result)
    {
        QMetaObject::invokeMethod(&context, [this, ticket, result] { Complete(ticket, result); }, Qt::QueuedConnection);
    }

    // --- tokens ---

    void WithToken(bool refresh, ResumableUpload::TokenReady ready)
    {
        if (!grantChecked && !tokens.refreshToken.isEmpty())
            refresh = true;
        if (!refresh && !tokens.accessToken.isEmpty()
            && QDateTime::currentDateTimeUtc().addSecs(kExpiryMarginSecs) < tokens.expiresAt)
        {
            ready(Success, tokens.accessToken);
            return;
        }
        if (tokens.refreshToken.isEmpty())
        {
            ready(AuthorizationExpired, {});
            return;
        }
        refreshWaiters.push_back(std::move(ready));
        if (refreshReply)
            return;
        VLOG(30) << kRefresh << "refreshing the access token";
        refreshReply = new TokenRequest(config, network,
                                        {{QStringLiteral("client_id"), config.clientId},
                                         {QStringLiteral("client_secret"), config.clientSecret},
                                         {QStringLiteral("grant_type"), QStringLiteral("refresh_token")},
                                         {QStringLiteral("refresh_token"), tokens.refreshToken}},
                                        [this](const ApiReply& answer) { OnRefreshed(answer); }, &context);
    }

    void OnRefreshed(const ApiReply& answer)
    {
        refreshReply->deleteLater();
        refreshReply = nullptr;
        auto waiters = std::move(refreshWaiters);
        refreshWaiters.clear();
        RequestResult result = Success;
        if (answer.Ok() && !answer.json.value(QStringLiteral("access_token")).toString().isEmpty())
        {
            tokens = TokensFromAnswer(answer.json, tokens.refreshToken);
            store.Save(tokens);
            grantChecked = true;
            LOG(INFO) << kRefresh << "access token refreshed";
        }
        else if (answer.reason == QLatin1String("invalid_grant"))
        {
            LOG(ERROR) << kRefresh << "Google refused the refresh token (revoked or expired), the user is signed out";
            ForgetUser();
            result = AuthorizationExpired;
        }
        else
        {
            LOG(ERROR) << kRefresh << "refresh failed: " << answer.Describe().toStdString();
            result = answer.Ok() ? ProtocolError : answer.Failure();
        }
        for (auto& ready : waiters)
            ready(result, result == Success ? tokens.accessToken : QString());
    }

    // GET of an API address with the user's token; after a 401 the token is
    // refreshed and the request sent once more.
    void GetApi(const QUrl& url, std::function<void(RequestResult, const ApiReply&)> done, bool retried = false)
    {
        const quint64 issued = generation;
        WithToken(retried, [this, url, done, retried, issued](RequestResult result, const QString& token) {
            if (issued != generation)
                return;
            if (result != Success)
            {
                done(result, {});
                return;
            }
            QNetworkRequest request(url);
            PrepareRequest(request, config.transferTimeoutMs);
            request.setRawHeader("Authorization", "Bearer " + token.toLatin1());
            QNetworkReply* reply = network.get(request);
            QObject::connect(reply, &QNetworkReply::finished, &context, [this, reply, url, done, retried, issued] {
                reply->deleteLater();
                if (issued != generation)
                    return;
                const ApiReply answer = ApiReply::Read(reply);
                if (answer.status == 401 && answer.reason != QLatin1String("youtubeSignupRequired") && !retried)
                {
                    GetApi(url, done, true);
                    return;
                }
                done(answer.Ok() ? Success : answer.Failure(), answer);
            });
        });
    }

    // --- the signed-in user ---

    void ResetUser()
    {
        ++generation;
        channelStage = Stage::Idle;
        pictureStage = Stage::Idle;
        categoriesStage = Stage::Idle;
        hasChannel = false;
        channelId.clear();
        channelName.clear();
        pictureUrl.clear();
        picture = QPixmap();
        categories.clear();
        for (Ticket ticket : channelWaiters)
            CompleteLater(ticket, AuthorizationExpired);
        for (Ticket ticket : pictureWaiters)
            CompleteLater(ticket, AuthorizationExpired);
        channelWaiters.clear();
        pictureWaiters.clear();
    }

    void ForgetUser()
    {
        tokens = {};
        store.Clear();
        ResetUser();
    }

    QUrl ApiUrl(const QString& resource, const QList<QPair<QString, QString>>& parameters) const
    {
        QUrl url = config.apiUrl;
        url.setPath(url.path() + QLatin1Char('/') + resource);
        QUrlQuery query;
        query.setQueryItems(parameters);
        url.setQuery(query);
        return url;
    }

    void EnsureUser()
    {
        if (!SignedIn())
            return;
        EnsureCategories();
        if (channelStage != Stage::Idle)
            return;
        channelStage = Stage::Running;
        GetApi(ApiUrl(QStringLiteral("channels"),
                      {{QStringLiteral("part"), QStringLiteral("snippet")}, {QStringLiteral("mine"), QStringLiteral("true")}}),
               [this](RequestResult result, const ApiReply& answer) { OnChannel(result, answer); });
    }

    void OnChannel(RequestResult result, const ApiReply& answer)
    {
        if (result == Success)
        {
            const QJsonArray items = answer.json.value(QStringLiteral("items")).toArray();
            hasChannel = !items.isEmpty();
            if (hasChannel)
            {
                const QJsonObject channel = items.first().toObject();
                const QJsonObject snippet = channel.value(QStringLiteral("snippet")).toObject();
                channelId = channel.value(QStringLiteral("id")).toString();
                channelName = snippet.value(QStringLiteral("title")).toString();
                pictureUrl = QUrl(snippet.value(QStringLiteral("thumbnails"))
                                      .toObject()
                                      .value(QStringLiteral("default"))
                                      .toObject()
                                      .value(QStringLiteral("url"))
                                      .toString());
                LOG(INFO) << kUserInfo << "signed in as channel " << channelId.toStdString();
            }
        }
        else if (result == NoChannel)
        {
            hasChannel = false;
            result = Success;
        }
        if (result == Success && !hasChannel)
            LOG(INFO) << kUserInfo << "this Google account has no YouTube channel";
        if (result != Success)
            LOG(ERROR) << kUserInfo << "the channel could not be read: " << answer.Describe().toStdString();

        // A failure is not kept: the next request asks again.
        channelStage = result == Success ? Stage::Done : Stage::Idle;
        channelResult = result;
        auto waiters = std::move(channelWaiters);
        channelWaiters.clear();
        for (Ticket ticket : waiters)
            Complete(ticket, result);

        if (result != Success || !hasChannel || !pictureUrl.isValid())
        {
            FinishPicture(result != Success ? result : (hasChannel ? ProtocolError : NoChannel), false);
            return;
        }
        FetchPicture();
    }

    void FetchPicture()
    {
        pictureStage = Stage::Running;
        QNetworkRequest request(pictureUrl);
        PrepareRequest(request, config.transferTimeoutMs);
        // The picture host is not the API: no token goes there.
        QNetworkReply* reply = network.get(request);
        const quint64 issued = generation;
        QObject::connect(reply, &QNetworkReply::finished, &context, [this, reply, issued] {
            reply->deleteLater();
            if (issued != generation)
                return;
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            if (status != 200)
            {
                const ApiReply answer = ApiReply::Read(reply);
                LOG(ERROR) << kUserInfo << "the channel picture could not be fetched: " << answer.Describe().toStdString();
                FinishPicture(answer.Failure(), false);
                return;
            }
            QImage image;
            if (!image.loadFromData(reply->readAll()))
            {
                LOG(ERROR) << kUserInfo << "the channel picture is not an image";
                FinishPicture(ProtocolError, false);
                return;
            }
            picture = QPixmap::fromImage(image);
            FinishPicture(Success, true);
        });
    }

    void FinishPicture(RequestResult result, bool keep)
    {
        pictureResult = result;
        pictureStage = keep || result == NoChannel ? Stage::Done : Stage::Idle;
        auto waiters = std::move(pictureWaiters);
        pictureWaiters.clear();
        for (Ticket ticket : waiters)
            Complete(ticket, result);
    }

    void EnsureCategories()
    {
        if (categoriesStage != Stage::Idle || !SignedIn())
            return;
        categoriesStage = Stage::Running;
        const QLocale locale;
        const QStringList parts = locale.name().split(QLatin1Char('_'));
        QString language = parts.value(0);
        QString region = parts.value(1);
        if (language.isEmpty() || language == QLatin1String("C"))
            language = QStringLiteral("en");
        if (region.isEmpty())
            region = QStringLiteral("US");
        categoriesLanguage = locale.name();
        GetApi(ApiUrl(QStringLiteral("videoCategories"), {{QStringLiteral("part"), QStringLiteral("snippet")},
                                                           {QStringLiteral("regionCode"), region},
                                                           {QStringLiteral("hl"), language}}),
               [this](RequestResult result, const ApiReply& answer) {
                   if (result != Success)
                   {
                       LOG(ERROR) << kCategories << "the categories could not be read: " << answer.Describe().toStdString();
                       categoriesStage = Stage::Idle;
                       return;
                   }
                   categories.clear();
                   for (const QJsonValue& item : answer.json.value(QStringLiteral("items")).toArray())
                   {
                       const QJsonObject object = item.toObject();
                       const QJsonObject snippet = object.value(QStringLiteral("snippet")).toObject();
                       // Only what a video may be filed under.
                       if (snippet.value(QStringLiteral("assignable")).toBool())
                           categories.append({object.value(QStringLiteral("id")).toString(),
                                              snippet.value(QStringLiteral("title")).toString()});
                   }
                   categoriesStage = Stage::Done;
                   LOG(INFO) << kCategories << categories.size() << " assignable categories";
               });
    }

    // A request about the signed-in user: answered from what was fetched, or
    // once the fetch arrives.
    Ticket RequestUser(bool wantsPicture, std::function<void(Ticket, RequestResult)> deliver)
    {
        const Ticket ticket = nextTicket++;
        pending[ticket] = Pending{[deliver, ticket](RequestResult result) { deliver(ticket, result); }, {}};
        if (!SignedIn())
        {
            CompleteLater(ticket, AuthorizationExpired);
            return ticket;
        }
        const Stage stage = wantsPicture ? pictureStage : channelStage;
        if (stage == Stage::Done)
        {
            CompleteLater(ticket, wantsPicture ? pictureResult : channelResult);
            return ticket;
        }
        (wantsPicture ? pictureWaiters : channelWaiters).push_back(ticket);
        if (wantsPicture && channelStage == Stage::Done && pictureStage == Stage::Idle)
            QMetaObject::invokeMethod(&context, [this] { FetchPictureIfIdle(); }, Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(&context, [this] { EnsureUser(); }, Qt::QueuedConnection);
        return ticket;
    }

    void FetchPictureIfIdle()
    {
        if (pictureStage == Stage::Idle && channelStage == Stage::Done && hasChannel && pictureUrl.isValid())
            FetchPicture();
    }

    // Stops every running request; their callbacks follow through the event loop.
    void AbortAll(RequestResult result)
    {
        for (auto& entry : pending)
        {
            if (entry.second.abort)
                entry.second.abort();
            entry.second.abort = nullptr;
            CompleteLater(entry.first, result);
        }
    }
};

YoutubeNetworkProtocol::YoutubeNetworkProtocol(const Configuration& config, BrowserOpener openBrowser)
    : m_impl(std::make_unique<Impl>(config))
{
    m_impl->openBrowser = openBrowser ? std::move(openBrowser)
                                      : BrowserOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
    m_impl->tokens = m_impl->store.Load();
    if (m_impl->SignedIn())
    {
        LOG(INFO) << kConstruct << "signed in from an earlier session";
        QMetaObject::invokeMethod(&m_impl->context, [impl = m_impl.get()] { impl->EnsureUser(); }, Qt::QueuedConnection);
    }
}

YoutubeNetworkProtocol::~YoutubeNetworkProtocol() = default;

void YoutubeNetworkProtocol::Cancel(Ticket ticket)
{
    const auto it = m_impl->pending.find(ticket);
    if (it == m_impl->pending.end())
        return;
    Impl::Pending entry = std::move(it->second);
    m_impl->pending.erase(it);
    LOG(INFO) << kCancel << "request cancelled, ticket=" << ticket;
    if (entry.abort)
        entry.abort();
    if (m_impl->signInTicket == ticket)
        m_impl->signInTicket = InvalidTicket;
    entry.finish(Cancelled);
}

void YoutubeNetworkProtocol::Retranslate()
{
    // Category titles come from YouTube in the user's language.
    if (m_impl->categoriesStage == Stage::Done && m_impl->categoriesLanguage != QLocale().name())
    {
        m_impl->categoriesStage = Stage::Idle;
        m_impl->EnsureCategories();
    }
}

Ticket YoutubeNetworkProtocol::LogIn(const QMap<QString, QString>& parameters, LogInCallback callback)
{
    Q_UNUSED(parameters);
    Impl& impl = *m_impl;
    const Ticket ticket = impl.Add([callback, ticket = impl.nextTicket](RequestResult result) { callback(ticket, result); });
    if (impl.config.clientId.isEmpty())
    {
        LOG(ERROR) << kLogIn << "no OAuth client id is configured, see the README";
        impl.CompleteLater(ticket, ClientNotConfigured);
        return ticket;
    }
    // A second sign-in replaces the first: the user started again.
    if (impl.signInTicket != InvalidTicket)
    {
        auto previous = impl.pending.find(impl.signInTicket);
        if (previous != impl.pending.end() && previous->second.abort)
        {
            previous->second.abort();
            previous->second.abort = nullptr;
        }
        impl.CompleteLater(impl.signInTicket, Cancelled);
    }
    impl.signInTicket = ticket;

    auto* flow = new LoopbackSignIn(impl.config, impl.network, &impl.context);
    impl.pending[ticket].abort = [flow] {
        flow->Abort();
        flow->deleteLater();
    };
    LOG(INFO) << kLogIn << "sign-in started, ticket=" << ticket;
    flow->Start(impl.openBrowser, [this, ticket, flow](RequestResult result, const Tokens& tokens) {
        Impl& impl = *m_impl;
        flow->deleteLater();
        if (impl.signInTicket == ticket)
            impl.signInTicket = InvalidTicket;
        if (result == Success)
        {
            impl.ResetUser();
            impl.tokens = tokens;
            impl.store.Save(tokens);
            impl.grantChecked = true;
            LOG(INFO) << kLogIn << "signed in, tokens kept in " << impl.store.Place().toStdString();
            impl.EnsureUser();
        }
        else
        {
            LOG(ERROR) << kLogIn << "sign-in failed with result="
                       << RQ::Service::Sharing::RequestResultToString(result);
        }
        impl.Complete(ticket, result);
    });
    return ticket;
}

void YoutubeNetworkProtocol::LogOut()
{
    Impl& impl = *m_impl;
    const QString token = !impl.tokens.refreshToken.isEmpty() ? impl.tokens.refreshToken : impl.tokens.accessToken;
    if (!token.isEmpty())
    {
        QNetworkReply* reply = PostForm(impl.network, impl.config.revokeUrl, {{QStringLiteral("token"), token}},
                                        impl.config.transferTimeoutMs);
        QObject::connect(reply, &QNetworkReply::finished, &impl.context, [reply] {
            reply->deleteLater();
            const ApiReply answer = ApiReply::Read(reply);
            if (answer.Ok())
                LOG(INFO) << kLogOut << "the grant was revoked";
            else
                LOG(ERROR) << kLogOut << "revoking the grant failed: " << answer.Describe().toStdString();
        });
    }
    LOG(INFO) << kLogOut << "signed out";
    impl.AbortAll(Cancelled);
    impl.signInTicket = InvalidTicket;
    impl.refreshWaiters.clear();
    delete impl.refreshReply.data();
    impl.ForgetUser();
}

bool YoutubeNetworkProtocol::IsLoggedIn() const
{
    return m_impl->SignedIn();
}

Ticket YoutubeNetworkProtocol::RequestUserName(NameCallback callback)
{
    return m_impl->RequestUser(false, [this, callback](Ticket ticket, RequestResult result) {
        if (result == Success && !m_impl->hasChannel)
            result = NoChannel;
        callback(ticket, result, result == Success ? m_impl->channelName : QString());
    });
}

Ticket YoutubeNetworkProtocol::RequestUserProfile(ProfileCallback callback)
{
    // No channel gives an empty profile: signed in, but nothing can be published.
    return m_impl->RequestUser(false, [this, callback](Ticket ticket, RequestResult result) {
        const bool known = result == Success && m_impl->hasChannel;
        callback(ticket, result,
                 known ? QUrl(QStringLiteral("https://www.youtube.com/channel/") + m_impl->channelId) : QUrl());
    });
}

Ticket YoutubeNetworkProtocol::RequestUserId(IdCallback callback)
{
    return m_impl->RequestUser(false, [this, callback](Ticket ticket, RequestResult result) {
        if (result == Success && !m_impl->hasChannel)
            result = NoChannel;
        callback(ticket, result, result == Success ? m_impl->channelId : QString());
    });
}

Ticket YoutubeNetworkProtocol::RequestUserPicture(PictureCallback callback)
{
    return m_impl->RequestUser(true, [this, callback](Ticket ticket, RequestResult result) {
        callback(ticket, result, result == Success ? m_impl->picture : QPixmap());
    });
}

QMap<QString, Field> YoutubeNetworkProtocol::GetFields() const
{
    m_impl->EnsureCategories();

    QMap<QString, Field> fields;
    Field title;
    title.displayName = Tr::tr("Title");
    fields.insert(FIELD_TITLE, title);
    Field description;
    description.displayName = Tr::tr("Description");
    fields.insert(FIELD_DESCRIPTION, description);
    Field tags;
    tags.displayName = Tr::tr("Tags");
    fields.insert(FIELD_TAGS, tags);

    Field category;
    category.displayName = Tr::tr("Category");
    const QList<Category> categories = m_impl->categories.isEmpty() ? StandardCategories() : m_impl->categories;
    for (const Category& item : categories)
    {
        category.options.append({item.id, item.title, {}});
        if (item.id == kDefaultCategory)
            category.selectedValue = item.id;
    }
    if (category.selectedValue.isEmpty() && !category.options.isEmpty())
        category.selectedValue = category.options.first().value;
    fields.insert(FIELD_CATEGORY_ID, category);

    Field privacy;
    privacy.displayName = Tr::tr("Privacy");
    privacy.options = {
        {QStringLiteral("public"), Tr::tr("Public"), Tr::tr("Everyone can find and watch the video")},
        {QStringLiteral("unlisted"), Tr::tr("Unlisted"), Tr::tr("Anyone with the link can watch the video")},
        {QStringLiteral("private"), Tr::tr("Private"), Tr::tr("Only you can watch the video")},
    };
    // Nothing is published by accident.
    privacy.selectedValue = QStringLiteral("private");
    fields.insert(FIELD_PRIVACY, privacy);
    return fields;
}

Ticket YoutubeNetworkProtocol::Upload(const QString& file,
                                      const QMap<QString, QString>& fields,
                                      FinishCallback finished,
                                      ProgressCallback progress)
{
    Impl& impl = *m_impl;
    auto outcome = std::make_shared<DefaultSharingResult>();
    const Ticket ticket = impl.Add([finished, outcome, ticket = impl.nextTicket](RequestResult result) {
        finished(ticket, result, *outcome);
    });
    if (!impl.SignedIn())
    {
        LOG(ERROR) << kUpload << "not signed in, ticket=" << ticket;
        outcome->message = QStringLiteral("not signed in to YouTube");
        impl.CompleteLater(ticket, AuthorizationExpired);
        return ticket;
    }
    const VideoMetadata metadata = VideoMetadata::FromFields(fields);
    if (!metadata.cleaned.isEmpty())
        LOG(INFO) << kUpload << "control characters became spaces and direction overrides were removed in the "
                  << metadata.cleaned.join(QStringLiteral(", ")).toStdString() << ", ticket=" << ticket;
    const QString violation = metadata.Violation();
    if (!violation.isEmpty())
    {
        // Nothing is sent: YouTube would refuse it after the whole file went up.
        LOG(ERROR) << kUpload << "metadata refused before sending: " << violation.toStdString() << ", ticket=" << ticket;
        outcome->message = violation;
        impl.CompleteLater(ticket, InvalidMetadata);
        return ticket;
    }

    auto* upload = new ResumableUpload(
        impl.config, impl.network,
        [this](bool refresh, ResumableUpload::TokenReady ready) { m_impl->WithToken(refresh, std::move(ready)); },
        &impl.context);
    impl.pending[ticket].abort = [&impl, upload] {
        upload->Abort();
        if (!impl.closing)
            upload->Forget();
        upload->deleteLater();
    };
    upload->progressed = [this, ticket, progress](int percent) {
        if (progress && m_impl->pending.count(ticket))
            progress(ticket, percent);
    };
    upload->resumed = [this, ticket](int percent) {
        if (m_impl->resumeObserver && m_impl->pending.count(ticket))
            m_impl->resumeObserver(ticket, percent);
    };
    const QString requested = metadata.privacy;
    upload->finished = [this, ticket, upload, outcome, requested](const ResumableUpload::Outcome& done) {
        upload->deleteLater();
        if (done.result == Success)
        {
            outcome->videoId = done.video.value(QStringLiteral("id")).toString();
            outcome->url = QUrl(QStringLiteral("https://www.youtube.com/watch?v=") + outcome->videoId);
            const QString answered =
                done.video.value(QStringLiteral("status")).toObject().value(QStringLiteral("privacyStatus")).toString();
            if (answered == requested)
                LOG(INFO) << kUpload << "published as " << answered.toStdString() << ", ticket=" << ticket;
            else
                LOG(INFO) << kUpload << "privacy " << requested.toStdString() << " was asked but YouTube set "
                          << answered.toStdString()
                          << " (uploads of an API project that Google has not audited stay private), ticket="
                          << ticket;
        }
        else
        {
            outcome->message = done.message;
        }
        m_impl->Complete(ticket, done.result);
    };
    const QByteArray json = metadata.ToJson();
    QMetaObject::invokeMethod(upload, [upload, file, json] { upload->Start(file, json); }, Qt::QueuedConnection);
    LOG(INFO) << kUpload << "upload started, ticket=" << ticket;
    return ticket;
}

void YoutubeNetworkProtocol::SetResumeObserver(ResumeObserver observer)
{
    m_impl->resumeObserver = std::move(observer);
}

void InstallYoutubeNetworkProtocolFactory()
{
    RQ::SocialSettings::SetYouTubeProtocolFactory([](const std::shared_ptr<RQ::IProductSettingsManager>& settings) {
        const Configuration config =
            Configuration::FromSettings(settings.get(), QProcessEnvironment::systemEnvironment());
        return std::make_shared<YoutubeNetworkProtocol>(config);
    });
}

} // namespace Tavrix::Social
