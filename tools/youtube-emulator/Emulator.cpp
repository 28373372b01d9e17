#include "EmulatorImpl.h"

#include <QBuffer>
#include <QImage>

#include <glog/logging.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>

namespace Tavrix::YouTubeEmulator {

const QString kScopeUpload = QStringLiteral("https://www.googleapis.com/auth/youtube.upload");
const QString kScopeReadonly = QStringLiteral("https://www.googleapis.com/auth/youtube.readonly");
const QString kScopeYouTube = QStringLiteral("https://www.googleapis.com/auth/youtube");
const QString kScopeForceSsl = QStringLiteral("https://www.googleapis.com/auth/youtube.force-ssl");

namespace {
constexpr size_t kWorkers = 64;

// A small round picture for the channel and the video thumbnails.
QByteArray MakePicture()
{
    QImage image(88, 88, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const int dx = x - 44, dy = y - 44;
            image.setPixel(x, y, dx * dx + dy * dy <= 44 * 44 ? qRgb(200, 40, 40) : qRgba(0, 0, 0, 0));
        }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The library hands every POST and PUT a reader; a request without
// Content-Length or Transfer-Encoding has no body, so it gets none.
const httplib::ContentReader* BodyReader(const httplib::Request& req, const httplib::ContentReader& reader)
{
    const bool hasBody = req.has_header("Transfer-Encoding") ||
                         (req.has_header("Content-Length") && req.get_header_value("Content-Length") != "0");
    return hasBody ? &reader : nullptr;
}

int PortOf(const sockaddr_storage& address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}
} // namespace

Emulator::Impl::Impl(const Options& opts) : options(opts), folder(opts.dataDir)
{
    defaults.clientId = opts.clientId;
    defaults.clientSecret = opts.clientSecret;
    defaults.autoConsent = opts.autoConsent;
    defaults.accessTokenLifetime = opts.accessTokenLifetime;
    config = defaults;
    picture = MakePicture();
}

void Emulator::Impl::Remember(const std::string& pattern, const QString& method)
{
    for (Route& route : routes)
        if (route.pattern == pattern)
        {
            if (!route.methods.contains(method))
                route.methods << method;
            return;
        }
    routes.push_back(Route{pattern, std::regex(pattern), QStringList{method}});
}

void Emulator::Impl::Get(const std::string& pattern, httplib::Server::Handler handler)
{
    Remember(pattern, QStringLiteral("GET"));
    server.Get(pattern, std::move(handler));
}

void Emulator::Impl::WithBody(const std::string& method, const std::string& pattern, BodyHandler handler)
{
    Remember(pattern, QString::fromStdString(method));
    auto plain = [handler](const httplib::Request& req, httplib::Response& res) { handler(req, res, nullptr); };
    auto streamed = [handler](const httplib::Request& req, httplib::Response& res,
                              const httplib::ContentReader& reader) { handler(req, res, BodyReader(req, reader)); };
    if (method == "POST")
        server.Post(pattern, plain).Post(pattern, streamed);
    else if (method == "PUT")
        server.Put(pattern, plain).Put(pattern, streamed);
    else
        server.Delete(pattern, plain).Delete(pattern, streamed);
}

QString Emulator::Impl::Origin() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

bool ReadSmallBody(const httplib::ContentReader* reader, std::string& body, size_t limit, httplib::Response& res,
                   bool oauthForm)
{
    body.clear();
    if (!reader)
        return true;
    bool tooLarge = false;
    const bool complete = (*reader)([&](const char* data, size_t length) {
        if (body.size() + length > limit)
            tooLarge = true;
        else
            body.append(data, length);
        return true;
    });
    if (!complete)
    {
        res.status = 400;
        return false;
    }
    if (tooLarge)
    {
        const QString message = QStringLiteral("The request body is larger than %1 bytes.").arg(limit);
        if (oauthForm)
            SendOAuthError(res, 413, QStringLiteral("invalid_request"), message);
        else
            SendApiError(res, 413, QStringLiteral("badRequest"), message);
        return false;
    }
    return true;
}

void Drain(const httplib::ContentReader* reader)
{
    if (reader)
        (*reader)([](const char*, size_t) { return true; });
}

bool Emulator::Impl::DropConnection(const httplib::Request& req, int serverPort)
{
    DIR* fds = opendir("/proc/self/fd");
    if (!fds)
        return false;
    bool dropped = false;
    while (dirent* entry = readdir(fds))
    {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(fds))
            continue;
        sockaddr_storage local{}, peer{};
        socklen_t localLength = sizeof(local), peerLength = sizeof(peer);
        if (getsockname(int(fd), reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
            getpeername(int(fd), reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0)
            continue;
        if (PortOf(local) == serverPort && PortOf(peer) == req.remote_port)
        {
            // A reset, as a broken network or a restarted front end gives: with a
            // plain close the client's writes would stall against a zero window.
            // Disconnecting (AF_UNSPEC) resets at once and leaves the descriptor
            // to the library; with linger 0 its own close later adds nothing.
            const linger abortive{1, 0};
            setsockopt(int(fd), SOL_SOCKET, SO_LINGER, &abortive, sizeof(abortive));
            sockaddr unspecified{};
            unspecified.sa_family = AF_UNSPEC;
            dropped = ::connect(int(fd), &unspecified, sizeof(unspecified)) == 0;
            break;
        }
    }
    closedir(fds);
    return dropped;
}

bool Emulator::Impl::Authorize(const httplib::Request& req, httplib::Response& res, const QStringList& anyOfScopes)
{
    std::lock_guard<std::mutex> lock(mutex);
    return AuthorizeLocked(req, res, anyOfScopes);
}

bool Emulator::Impl::AuthorizeLocked(const httplib::Request& req, httplib::Response& res,
                                     const QStringList& anyOfScopes)
{
    const QString header = Header(req, "Authorization");
    ApiErrorItem item;
    item.location = QStringLiteral("Authorization");
    item.locationType = QStringLiteral("header");
    if (header.isEmpty())
    {
        item.reason = QStringLiteral("required");
        item.message = QStringLiteral("Login Required.");
        SendApiError(res, 401, item);
        return false;
    }
    const QStringList parts = header.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto token = parts.size() == 2 && parts[0].compare(QLatin1String("Bearer"), Qt::CaseInsensitive) == 0
                           ? signIn.accessTokens.constFind(parts[1])
                           : signIn.accessTokens.constEnd();
    if (token == signIn.accessTokens.constEnd() || token->expiresAt <= NowMsecs())
    {
        item.reason = QStringLiteral("authError");
        item.message = QStringLiteral("Invalid Credentials");
        SendApiError(res, 401, item);
        return false;
    }
    const QStringList granted = token->scope.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& scope : anyOfScopes)
        if (granted.contains(scope))
            return true;
    item.reason = QStringLiteral("insufficientPermissions");
    item.message = QStringLiteral("Request had insufficient authentication scopes.");
    SendApiError(res, 403, item);
    return false;
}

void Emulator::Impl::SendFaultStatus(httplib::Response& res, const Fault& fault, bool oauthForm)
{
    if (fault.retryAfter >= 0)
        res.set_header("Retry-After", std::to_string(fault.retryAfter));
    if (oauthForm)
    {
        const QString error = fault.reason.isEmpty()
                                  ? (fault.status >= 500 ? QStringLiteral("temporarily_unavailable")
                                                         : QStringLiteral("invalid_request"))
                                  : fault.reason;
        SendOAuthError(res, fault.status, error, QStringLiteral("Injected fault %1.").arg(fault.id));
        return;
    }
    QString reason = fault.reason;
    QString domain = QStringLiteral("global");
    QString message;
    switch (fault.status)
    {
    case 429:
        reason = reason.isEmpty() ? QStringLiteral("rateLimitExceeded") : reason;
        domain = QStringLiteral("usageLimits");
        message = QStringLiteral("Too Many Requests");
        break;
    case 500:
        reason = reason.isEmpty() ? QStringLiteral("internalError") : reason;
        message = QStringLiteral("Internal Error");
        break;
    case 502:
    case 503:
    case 504:
        reason = reason.isEmpty() ? QStringLiteral("backendError") : reason;
        message = QStringLiteral("Backend Error");
        break;
    case 403:
        reason = reason.isEmpty() ? QStringLiteral("forbidden") : reason;
        if (reason.contains(QLatin1String("RateLimit")) || reason.contains(QLatin1String("rateLimit")))
            domain = QStringLiteral("usageLimits");
        message = QStringLiteral("Forbidden");
        break;
    default:
        reason = reason.isEmpty() ? QStringLiteral("badRequest") : reason;
        message = QStringLiteral("Injected error");
    }
    SendApiError(res, fault.status, reason, message, domain);
}

bool Emulator::Impl::AnswerApiFault(httplib::Response& res, const std::vector<Fault>& fired)
{
    for (const Fault& fault : fired)
    {
        if (fault.quotaExceeded)
        {
            SendApiError(res, 403, QStringLiteral("quotaExceeded"),
                         QStringLiteral("The request cannot be completed because you have exceeded your quota."),
                         QStringLiteral("youtube.quota"));
            return true;
        }
        if (fault.uploadLimitExceeded)
        {
            SendApiError(res, 400, QStringLiteral("uploadLimitExceeded"),
                         QStringLiteral("The user has exceeded the number of videos they may upload."),
                         QStringLiteral("youtube.video"));
            return true;
        }
        if (fault.status)
        {
            SendFaultStatus(res, fault, false);
            return true;
        }
    }
    return false;
}

void Emulator::Impl::ApplyAction(const Fault& fault)
{
    const qint64 now = NowMsecs();
    if (fault.expireSessions)
        for (const auto& session : sessions)
            if (!session->complete && !session->expired)
            {
                session->expired = true;
                folder.SaveSession(*session);
            }
    if (fault.expireAccessTokens)
        for (AccessToken& token : signIn.accessTokens)
            token.expiresAt = std::min(token.expiresAt, now - 1);
    if (fault.revokeRefreshTokens)
    {
        for (Grant& grant : signIn.grants)
            grant.refreshToken.clear();
        signIn.refreshTokens.clear();
    }
    SaveSignInLocked();
}

void Emulator::Impl::ResetLocked()
{
    for (const auto& session : sessions)
        session->removed = true;
    folder.RemoveSessions(sessions.keys());
    sessions.clear();
    signIn = SignInState();
    faults.Clear();
    config = defaults;
    SaveSignInLocked();
}

void Emulator::Impl::AddFallbackRoutes()
{
    // Registered last: a known path asked with the wrong method gets 405,
    // anything else 404, both in the API's error form.
    auto fallback = [this](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader* reader) {
        Drain(reader);
        for (const Route& route : routes)
            if (std::regex_match(req.path, route.regex))
            {
                const QStringList& allowed = route.methods;
                res.set_header("Allow", allowed.join(QStringLiteral(", ")).toStdString());
                SendApiError(res, 405, QStringLiteral("methodNotAllowed"),
                             QStringLiteral("%1 is not allowed on %2; use %3.")
                                 .arg(QString::fromStdString(req.method), QString::fromStdString(req.path),
                                      allowed.join(QStringLiteral(" or "))));
                return;
            }
        SendApiError(res, 404, QStringLiteral("notFound"),
                     QStringLiteral("No such address: %1").arg(QString::fromStdString(req.path)));
    };
    server.Get(".*", [fallback](const httplib::Request& req, httplib::Response& res) { fallback(req, res, nullptr); });
    auto plain = [fallback](const httplib::Request& req, httplib::Response& res) { fallback(req, res, nullptr); };
    auto streamed = [fallback](const httplib::Request& req, httplib::Response& res,
                               const httplib::ContentReader& reader) { fallback(req, res, BodyReader(req, reader)); };
    server.Post(".*", plain).Post(".*", streamed).Put(".*", plain).Put(".*", streamed);
    server.Delete(".*", plain).Delete(".*", streamed).Patch(".*", plain).Patch(".*", streamed);
    server.Options(".*", plain);
}

Emulator::Emulator(const Options& options) : d(std::make_unique<Impl>(options)) {}

Emulator::~Emulator()
{
    Stop();
}

bool Emulator::Start(QString& error)
{
    if (!d->folder.Open(error) || !d->folder.Load(d->signIn, d->sessions, error))
        return false;
    d->AddSignInRoutes();
    d->AddApiRoutes();
    d->AddUploadRoutes();
    d->AddAdminRoutes();
    d->AddFallbackRoutes();
    d->server.set_keep_alive_max_count(1000);
    d->server.set_read_timeout(30);
    // One worker per connection: enough that idle or half-sent connections
    // (a browser's spare sockets, a stalled client) never starve real requests.
    d->server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    d->server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        // The path only: queries and bodies may carry codes and tokens.
        VLOG(30) << "Tavrix::YouTubeEmulator::Emulator::Run: " << req.method << ' ' << req.path << " -> "
                 << res.status;
    });
    if (d->options.port > 0)
    {
        if (!d->server.bind_to_port("127.0.0.1", d->options.port))
        {
            error = QStringLiteral("can not listen on 127.0.0.1:%1").arg(d->options.port);
            return false;
        }
        d->port = d->options.port;
    }
    else
    {
        d->port = d->server.bind_to_any_port("127.0.0.1");
        if (d->port <= 0)
        {
            error = QStringLiteral("can not listen on 127.0.0.1");
            return false;
        }
    }
    std::lock_guard<std::mutex> lock(d->mutex);
    d->SaveSignInLocked();
    return true;
}

int Emulator::Port() const
{
    return d->port;
}

void Emulator::Run()
{
    LOG(INFO) << "Tavrix::YouTubeEmulator::Emulator::Run: serving " << d->Origin().toStdString() << " from "
              << d->folder.Path().toStdString();
    d->server.listen_after_bind();
}

void Emulator::Stop()
{
    d->server.stop();
}

} // namespace Tavrix::YouTubeEmulator
