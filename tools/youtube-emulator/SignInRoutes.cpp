// Google sign-in: the authorization page with its consent, the token
// endpoint (authorization code with PKCE, refresh token) and revocation.

#include "EmulatorImpl.h"

#include <QUrl>

#include <glog/logging.h>

namespace Tavrix::YouTubeEmulator {

namespace {
const QStringList kKnownScopes{kScopeUpload,
                               kScopeReadonly,
                               kScopeYouTube,
                               kScopeForceSsl,
                               QStringLiteral("openid"),
                               QStringLiteral("email"),
                               QStringLiteral("profile"),
                               QStringLiteral("https://www.googleapis.com/auth/userinfo.email"),
                               QStringLiteral("https://www.googleapis.com/auth/userinfo.profile")};

// Desktop clients may only come back to a loopback address, on any port.
bool IsLoopbackRedirect(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString host = url.host();
    return url.isValid() && url.scheme() == QLatin1String("http") && url.userInfo().isEmpty() &&
           !url.hasFragment() &&
           (host == QLatin1String("127.0.0.1") || host == QLatin1String("::1") || host == QLatin1String("localhost"));
}

QString HtmlEscape(const QString& text)
{
    return text.toHtmlEscaped();
}

void SendPage(httplib::Response& res, int status, const QString& title, const QString& body)
{
    res.status = status;
    const QString page = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
                                        "<style>body{font-family:sans-serif;max-width:32em;margin:3em auto}"
                                        "button{font-size:1.1em;margin-right:1em}</style></head>"
                                        "<body><h1>%1</h1>%2</body></html>")
                             .arg(HtmlEscape(title), body);
    res.set_content(page.toStdString(), "text/html; charset=utf-8");
}

void SendErrorPage(httplib::Response& res, int status, const QString& error, const QString& description)
{
    SendPage(res, status, QStringLiteral("Error %1: %2").arg(status).arg(error),
             QStringLiteral("<p>%1</p>").arg(HtmlEscape(description)));
}

// The redirect back to the app, the values percent-encoded exactly once.
void Redirect(httplib::Response& res, const QString& redirectUri, const QList<QPair<QString, QString>>& fields)
{
    QString location = redirectUri + (redirectUri.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?'));
    QStringList pairs;
    for (const auto& field : fields)
        pairs << field.first + QLatin1Char('=') + PercentEncode(field.second);
    location += pairs.join(QLatin1Char('&'));
    res.set_redirect(location.toStdString(), 302);
}

bool IsBase64UrlChallenge(const QString& challenge)
{
    if (challenge.size() != 43)
        return false;
    for (const QChar c : challenge)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return false;
    return true;
}
} // namespace

void Emulator::Impl::AddSignInRoutes()
{
    Get("/o/oauth2/v2/auth", [this](const httplib::Request& req, httplib::Response& res) {
        const QString clientId = Param(req, "client_id");
        const QString redirectUri = Param(req, "redirect_uri");
        const QString state = Param(req, "state");
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (clientId != config.clientId)
                return SendErrorPage(res, 401, QStringLiteral("invalid_client"),
                                     QStringLiteral("The OAuth client was not found."));
        }
        if (!IsLoopbackRedirect(redirectUri))
            return SendErrorPage(res, 400, QStringLiteral("invalid_request"),
                                 QStringLiteral("redirect_uri must be a loopback address such as "
                                                "http://127.0.0.1:PORT/ for a desktop client."));

        auto fail = [&](const QString& error, const QString& description) {
            QList<QPair<QString, QString>> fields{{"error", error}, {"error_description", description}};
            if (!state.isEmpty())
                fields.append({"state", state});
            Redirect(res, redirectUri, fields);
        };
        if (Param(req, "response_type") != QLatin1String("code"))
            return fail("unsupported_response_type", "response_type must be code.");
        const QStringList scopes = Param(req, "scope").split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (scopes.isEmpty())
            return fail("invalid_request", "Missing required parameter: scope");
        for (const QString& scope : scopes)
            if (!kKnownScopes.contains(scope))
                return fail("invalid_scope", QStringLiteral("Some requested scopes were invalid: %1").arg(scope));
        if (state.isEmpty())
            return fail("invalid_request", "Missing required parameter: state");
        if (Param(req, "code_challenge_method") != QLatin1String("S256"))
            return fail("invalid_request", "code_challenge_method must be S256.");
        const QString challenge = Param(req, "code_challenge");
        if (!IsBase64UrlChallenge(challenge))
            return fail("invalid_request", "code_challenge must be base64url(SHA-256(verifier)) without padding.");
        const QString accessType = Param(req, "access_type");
        if (!accessType.isEmpty() && accessType != QLatin1String("online") && accessType != QLatin1String("offline"))
            return fail("invalid_request", "access_type must be online or offline.");
        const QStringList prompts = Param(req, "prompt").split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& prompt : prompts)
            if (prompt != QLatin1String("none") && prompt != QLatin1String("consent") &&
                prompt != QLatin1String("select_account"))
                return fail("invalid_request", QStringLiteral("Invalid prompt: %1").arg(prompt));

        PendingConsent pending;
        pending.clientId = clientId;
        pending.redirectUri = redirectUri;
        pending.state = state;
        pending.challenge = challenge;
        pending.scope = scopes.join(QLatin1Char(' '));
        pending.offline = accessType == QLatin1String("offline");
        pending.consent = prompts.contains(QStringLiteral("consent"));

        std::lock_guard<std::mutex> lock(mutex);
        if (config.autoConsent)
        {
            const QString code = QStringLiteral("4/0") + RandomToken(70);
            signIn.codes.insert(code, AuthCode{clientId, redirectUri, challenge, pending.scope, pending.offline,
                                               NowMsecs() + config.codeLifetime * 1000, false, QString(),
                                               pending.consent});
            SaveSignInLocked();
            return Redirect(res, redirectUri, {{"state", state}, {"code", code}, {"scope", pending.scope}});
        }
        if (prompts.contains(QStringLiteral("none")))
            return fail("interaction_required", "The user must consent first.");
        const QString id = RandomToken(24);
        pending.expiresAt = NowMsecs() + 3600 * 1000;
        signIn.consents.insert(id, pending);
        QString scopeList;
        for (const QString& scope : scopes)
            scopeList += QStringLiteral("<li>%1</li>").arg(HtmlEscape(scope));
        SendPage(res, 200, QStringLiteral("Sign in to %1").arg(HtmlEscape(config.channelTitle)),
                 QStringLiteral("<p>The application <b>%1</b> asks to:</p><ul>%2</ul>"
                                "<form method=\"post\" action=\"/o/oauth2/v2/consent\">"
                                "<input type=\"hidden\" name=\"request\" value=\"%3\">"
                                "<button type=\"submit\" name=\"decision\" value=\"allow\" id=\"allow\">Allow</button>"
                                "<button type=\"submit\" name=\"decision\" value=\"deny\" id=\"deny\">Deny</button>"
                                "</form>")
                     .arg(HtmlEscape(clientId), scopeList, id));
    });

    WithBody("POST", "/o/oauth2/v2/consent",
             [this](const httplib::Request&, httplib::Response& res, const httplib::ContentReader* reader) {
                 std::string body;
                 if (!ReadSmallBody(reader, body, 64 * 1024, res, true))
                     return;
                 const FormFields form = ParseForm(body);
                 std::lock_guard<std::mutex> lock(mutex);
                 const auto pending = signIn.consents.find(FormValue(form, "request"));
                 if (pending == signIn.consents.end() || pending->expiresAt <= NowMsecs())
                     return SendErrorPage(res, 400, QStringLiteral("invalid_request"),
                                          QStringLiteral("This sign-in request is unknown or has expired."));
                 const PendingConsent consent = *pending;
                 signIn.consents.erase(pending);
                 if (FormValue(form, "decision") != QLatin1String("allow"))
                     return Redirect(res, consent.redirectUri, {{"error", "access_denied"}, {"state", consent.state}});
                 const QString code = QStringLiteral("4/0") + RandomToken(70);
                 signIn.codes.insert(code, AuthCode{consent.clientId, consent.redirectUri, consent.challenge,
                                                    consent.scope, consent.offline,
                                                    NowMsecs() + config.codeLifetime * 1000, false, QString(),
                                                    consent.consent});
                 SaveSignInLocked();
                 Redirect(res, consent.redirectUri, {{"state", consent.state}, {"code", code}, {"scope", consent.scope}});
             });

    WithBody("POST", "/token", [this](const httplib::Request& req, httplib::Response& res,
                                      const httplib::ContentReader* reader) {
        std::string body;
        if (!ReadSmallBody(reader, body, 64 * 1024, res, true))
            return;
        res.set_header("Pragma", "no-cache");
        if (!Header(req, "Content-Type").startsWith(QLatin1String("application/x-www-form-urlencoded")))
            return SendOAuthError(res, 400, "invalid_request",
                                  "The body must be application/x-www-form-urlencoded.");
        const FormFields form = ParseForm(body);
        for (auto it = form.begin(); it != form.end(); ++it)
            if (it->size() > 1)
                return SendOAuthError(res, 400, "invalid_request",
                                      QStringLiteral("Parameter %1 given more than once.").arg(it.key()));

        QString clientId = FormValue(form, "client_id");
        QString clientSecret = FormValue(form, "client_secret");
        const QString authorization = Header(req, "Authorization");
        if (authorization.startsWith(QLatin1String("Basic "), Qt::CaseInsensitive))
        {
            const QString pair = QString::fromUtf8(QByteArray::fromBase64(authorization.mid(6).trimmed().toLatin1()));
            clientId = QUrl::fromPercentEncoding(pair.section(QLatin1Char(':'), 0, 0).toUtf8());
            clientSecret = QUrl::fromPercentEncoding(pair.section(QLatin1Char(':'), 1).toUtf8());
        }

        std::lock_guard<std::mutex> lock(mutex);
        for (const Fault& fault : faults.Take(QStringLiteral("token")))
            if (fault.status)
                return SendFaultStatus(res, fault, true);
        const QString grantType = FormValue(form, "grant_type");
        if (grantType.isEmpty())
            return SendOAuthError(res, 400, "invalid_request", "Missing required parameter: grant_type");
        if (grantType != QLatin1String("authorization_code") && grantType != QLatin1String("refresh_token"))
            return SendOAuthError(res, 400, "unsupported_grant_type", "Invalid grant_type: " + grantType);
        if (clientId != config.clientId)
            return SendOAuthError(res, 401, "invalid_client", "The OAuth client was not found.");
        if (clientSecret != config.clientSecret)
            return SendOAuthError(res, 401, "invalid_client", "Unauthorized");

        const qint64 now = NowMsecs();
        QString grantId;
        QString scope;
        bool newRefreshToken = false;
        if (grantType == QLatin1String("authorization_code"))
        {
            const QString codeText = FormValue(form, "code");
            if (codeText.isEmpty())
                return SendOAuthError(res, 400, "invalid_request", "Missing required parameter: code");
            auto code = signIn.codes.find(codeText);
            if (code == signIn.codes.end() || code->clientId != clientId)
                return SendOAuthError(res, 400, "invalid_grant", "Malformed auth code.");
            if (code->used)
            {
                // A code presented twice may have been stolen: what it gave is withdrawn.
                signIn.RevokeGrant(code->grantId);
                SaveSignInLocked();
                return SendOAuthError(res, 400, "invalid_grant", "Bad Request");
            }
            if (code->expiresAt <= now)
                return SendOAuthError(res, 400, "invalid_grant", "Bad Request");
            if (FormValue(form, "redirect_uri") != code->redirectUri)
                return SendOAuthError(res, 400, "redirect_uri_mismatch", "Bad Request");
            const QString verifier = FormValue(form, "code_verifier");
            if (verifier.isEmpty())
                return SendOAuthError(res, 400, "invalid_grant", "Missing code verifier.");
            if (!IsValidVerifier(verifier) || S256Challenge(verifier) != code->challenge)
                return SendOAuthError(res, 400, "invalid_grant", "Invalid code verifier.");

            code->used = true;
            // Like Google: a refresh token comes with the consent screen only, which
            // shows on the first grant for this client or with prompt=consent.
            const bool consentShown = code->consent || !signIn.HasOfflineGrant(clientId);
            grantId = RandomToken(16);
            code->grantId = grantId;
            Grant grant;
            grant.clientId = clientId;
            grant.scope = code->scope;
            grant.createdAt = now;
            if (code->offline && consentShown)
            {
                grant.refreshToken = QStringLiteral("1//") + RandomToken(100);
                signIn.refreshTokens.insert(grant.refreshToken, grantId);
                newRefreshToken = true;
            }
            signIn.grants.insert(grantId, grant);
            scope = grant.scope;
        }
        else
        {
            const QString refreshToken = FormValue(form, "refresh_token");
            if (refreshToken.isEmpty())
                return SendOAuthError(res, 400, "invalid_request", "Missing required parameter: refresh_token");
            const auto found = signIn.refreshTokens.constFind(refreshToken);
            if (found == signIn.refreshTokens.constEnd() || signIn.grants.value(*found).revoked ||
                signIn.grants.value(*found).clientId != clientId)
                return SendOAuthError(res, 400, "invalid_grant", "Token has been expired or revoked.");
            grantId = *found;
            scope = signIn.grants.value(grantId).scope;
        }

        const QString accessToken = QStringLiteral("ya29.") + RandomToken(120);
        signIn.accessTokens.insert(accessToken,
                                   AccessToken{grantId, scope, now + config.accessTokenLifetime * 1000});
        SaveSignInLocked();
        QJsonObject answer{{"access_token", accessToken},
                           {"expires_in", config.accessTokenLifetime},
                           {"scope", scope},
                           {"token_type", "Bearer"}};
        if (newRefreshToken)
            answer.insert("refresh_token", signIn.grants.value(grantId).refreshToken);
        res.set_header("Cache-Control", "no-store");
        SendJson(res, 200, answer);
        LOG(INFO) << "Tavrix::YouTubeEmulator::Emulator::Token: granted by " << grantType.toStdString();
    });

    WithBody("POST", "/revoke", [this](const httplib::Request& req, httplib::Response& res,
                                       const httplib::ContentReader* reader) {
        std::string body;
        if (!ReadSmallBody(reader, body, 64 * 1024, res, true))
            return;
        QString token = FormValue(ParseForm(body), "token");
        if (token.isEmpty())
            token = Param(req, "token");
        std::lock_guard<std::mutex> lock(mutex);
        for (const Fault& fault : faults.Take(QStringLiteral("revoke")))
            if (fault.status)
                return SendFaultStatus(res, fault, true);
        if (token.isEmpty())
            return SendOAuthError(res, 400, "invalid_request", "Missing required parameter: token");
        QString grantId = signIn.refreshTokens.value(token);
        const auto access = signIn.accessTokens.constFind(token);
        if (grantId.isEmpty() && access != signIn.accessTokens.constEnd() && access->expiresAt > NowMsecs())
            grantId = access->grantId;
        if (grantId.isEmpty())
            return SendOAuthError(res, 400, "invalid_token", "Token expired or revoked");
        signIn.RevokeGrant(grantId);
        SaveSignInLocked();
        SendJson(res, 200, QJsonObject());
    });
}

} // namespace Tavrix::YouTubeEmulator
