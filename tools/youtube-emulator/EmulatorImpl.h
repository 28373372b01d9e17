#pragma once

// The emulator's private part, shared by the files that add its routes.

#include "Emulator.h"
#include "Faults.h"
#include "State.h"
#include "Wire.h"

#include <httplib.h>

#include <QByteArray>
#include <QSet>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <regex>

namespace Tavrix::YouTubeEmulator {

// Google's scopes that this emulator knows.
extern const QString kScopeUpload;
extern const QString kScopeReadonly;
extern const QString kScopeYouTube;
extern const QString kScopeForceSsl;

// Reads a body of at most `limit` bytes into `body`; a larger one is read to
// its end and refused with 413 (returns false, answer set).
bool ReadSmallBody(const httplib::ContentReader* reader, std::string& body, size_t limit, httplib::Response& res,
                   bool oauthForm);
// Reads and forgets a body, so the connection stays usable after a refusal.
void Drain(const httplib::ContentReader* reader);

struct Emulator::Impl
{
    explicit Impl(const Options& opts);

    Options options;
    Config defaults;
    Config config;
    StateFolder folder;
    httplib::Server server;
    int port = 0;

    std::mutex mutex; // guards everything below
    std::condition_variable sessionIdle;
    SignInState signIn;
    QMap<QString, std::shared_ptr<UploadSession>> sessions;
    FaultPlan faults;
    QByteArray picture;

    // Every route with its methods, to tell 405 from 404.
    struct Route
    {
        std::string pattern;
        std::regex regex;
        QStringList methods;
    };
    std::vector<Route> routes;

    using BodyHandler =
        std::function<void(const httplib::Request&, httplib::Response&, const httplib::ContentReader*)>;
    void Get(const std::string& pattern, httplib::Server::Handler handler);
    // A POST/PUT/DELETE route served whether or not the request has a body;
    // the body is never read into memory by the library.
    void WithBody(const std::string& method, const std::string& pattern, BodyHandler handler);
    void Remember(const std::string& pattern, const QString& method);

    void AddSignInRoutes();
    void AddApiRoutes();
    void AddUploadRoutes();
    void AddAdminRoutes();
    void AddFallbackRoutes();

    QString Origin() const;

    // Resets the TCP connection of `req` under the library's feet, so the
    // client sees the connection drop at once, without an answer.
    static bool DropConnection(const httplib::Request& req, int serverPort);

    // Checks `Authorization: Bearer`; answers 401/403 and returns false when
    // the token is missing, unknown, expired or lacks every scope given.
    bool Authorize(const httplib::Request& req, httplib::Response& res, const QStringList& anyOfScopes);
    // The same with the lock already held.
    bool AuthorizeLocked(const httplib::Request& req, httplib::Response& res, const QStringList& anyOfScopes);

    // Answers the status fault `fault` in the API's or the OAuth error form.
    static void SendFaultStatus(httplib::Response& res, const Fault& fault, bool oauthForm);
    // Answers quota/upload-limit/status faults of an API request; true when answered.
    static bool AnswerApiFault(httplib::Response& res, const std::vector<Fault>& fired);

    void SaveSignInLocked() const { folder.SaveSignIn(config, signIn); }
    void ApplyAction(const Fault& fault);
    void ResetLocked();

    // Upload pieces (UploadRoutes.cpp).
    void StartSession(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader* reader);
    void PutToSession(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader* reader);
    QJsonObject MakeVideo(const UploadSession& session) const;
};

} // namespace Tavrix::YouTubeEmulator
