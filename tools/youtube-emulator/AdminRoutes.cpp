// The test's side door under /_emulator/: settings, faults, reset and what
// was uploaded.

#include "EmulatorImpl.h"

#include <QJsonDocument>

namespace Tavrix::YouTubeEmulator {

namespace {
// Reads the JSON body of an admin request (empty reads as {}); answers 400
// and returns false when it is not JSON.
bool ReadJsonBody(const httplib::ContentReader* reader, httplib::Response& res, QJsonDocument& document)
{
    std::string body;
    if (!ReadSmallBody(reader, body, 1 << 20, res, false))
        return false;
    QJsonParseError error;
    document = QJsonDocument::fromJson(QByteArray::fromStdString(body.empty() ? std::string("{}") : body), &error);
    if (error.error != QJsonParseError::NoError)
    {
        SendApiError(res, 400, QStringLiteral("parseError"), QStringLiteral("Parse Error: %1").arg(error.errorString()));
        return false;
    }
    return true;
}
} // namespace

void Emulator::Impl::AddAdminRoutes()
{
    Get("/_emulator/config", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        SendJson(res, 200, config.ToJson());
    });
    WithBody("POST", "/_emulator/config",
             [this](const httplib::Request&, httplib::Response& res, const httplib::ContentReader* reader) {
                 QJsonDocument document;
                 if (!ReadJsonBody(reader, res, document))
                     return;
                 if (!document.isObject())
                     return SendApiError(res, 400, QStringLiteral("invalidParameter"),
                                         QStringLiteral("The settings must be a JSON object."));
                 std::lock_guard<std::mutex> lock(mutex);
                 QString error;
                 if (!config.Apply(document.object(), error))
                     return SendApiError(res, 400, QStringLiteral("invalidParameter"), error);
                 SaveSignInLocked();
                 SendJson(res, 200, config.ToJson());
             });

    Get("/_emulator/faults", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        SendJson(res, 200, QJsonObject{{"faults", faults.ToJson()}});
    });
    WithBody("POST", "/_emulator/faults",
             [this](const httplib::Request&, httplib::Response& res, const httplib::ContentReader* reader) {
                 QJsonDocument document;
                 if (!ReadJsonBody(reader, res, document))
                     return;
                 QJsonArray specs = document.isArray() ? document.array() : QJsonArray{document.object()};
                 std::vector<Fault> parsed;
                 for (const QJsonValue& spec : specs)
                 {
                     Fault fault;
                     QString error;
                     if (!spec.isObject() || !faults.Parse(spec.toObject(), fault, error))
                         return SendApiError(res, 400, QStringLiteral("invalidParameter"),
                                             error.isEmpty() ? QStringLiteral("A fault must be a JSON object.")
                                                             : error);
                     parsed.push_back(fault);
                 }
                 // All rules are checked before any is armed.
                 std::lock_guard<std::mutex> lock(mutex);
                 QJsonArray added;
                 for (const Fault& fault : parsed)
                 {
                     const Fault& kept = faults.Add(fault);
                     if (kept.IsAction())
                         ApplyAction(kept);
                     added.append(kept.ToJson());
                 }
                 SendJson(res, 200, QJsonObject{{"added", added}, {"faults", faults.ToJson()}});
             });
    WithBody("DELETE", "/_emulator/faults",
             [this](const httplib::Request&, httplib::Response& res, const httplib::ContentReader* reader) {
                 Drain(reader);
                 std::lock_guard<std::mutex> lock(mutex);
                 faults.Clear();
                 SendJson(res, 200, QJsonObject{{"faults", QJsonArray()}});
             });

    WithBody("POST", "/_emulator/reset",
             [this](const httplib::Request&, httplib::Response& res, const httplib::ContentReader* reader) {
                 Drain(reader);
                 std::lock_guard<std::mutex> lock(mutex);
                 ResetLocked();
                 SendJson(res, 200, QJsonObject{{"reset", true}});
             });

    Get("/_emulator/uploads", [this](const httplib::Request& req, httplib::Response& res) {
        const QString only = Param(req, "uploadId");
        std::lock_guard<std::mutex> lock(mutex);
        QJsonArray list;
        for (const auto& session : sessions)
        {
            if (!only.isEmpty() && session->id != only)
                continue;
            QJsonObject item = session->ToJson(true);
            item.insert("file", folder.UploadFile(session->id));
            item.insert("sessionUri",
                        Origin() + QStringLiteral("/upload/youtube/v3/videos?uploadType=resumable&upload_id=") +
                            session->id);
            list.append(item);
        }
        SendJson(res, 200, QJsonObject{{"uploads", list}});
    });

    Get("/_emulator/state", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        const qint64 now = NowMsecs();
        int liveAccess = 0;
        for (const AccessToken& token : signIn.accessTokens)
            liveAccess += token.expiresAt > now ? 1 : 0;
        QJsonArray consents;
        for (auto it = signIn.consents.constBegin(); it != signIn.consents.constEnd(); ++it)
            consents.append(it.key());
        SendJson(res, 200, QJsonObject{{"dataDir", folder.Path()},
                                       {"liveAccessTokens", liveAccess},
                                       {"liveRefreshTokens", signIn.refreshTokens.size()},
                                       {"pendingConsents", consents},
                                       {"config", config.ToJson()}});
    });
}

} // namespace Tavrix::YouTubeEmulator
