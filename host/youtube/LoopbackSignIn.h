#pragma once

// One sign-in through the system browser: a listener on 127.0.0.1 waits for
// the single callback whose state matches (others get an error page and are
// otherwise ignored), the code is exchanged for tokens with its PKCE verifier.
// Every way out ends in exactly one `done` call: consent, refusal, a time-out
// or a failed exchange.

#include "SocialProtocol.h"
#include "TokenStore.h"

#include <QObject>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace Tavrix::Social::YouTube {

struct Configuration;

class LoopbackSignIn : public QObject
{
    Q_OBJECT
public:
    using BrowserOpener = std::function<bool(const QUrl&)>;
    using Done = std::function<void(RequestResult, const Tokens&)>;

    LoopbackSignIn(const Configuration& config, QNetworkAccessManager& network, QObject* parent);
    ~LoopbackSignIn() override;

    // Listens, opens the browser and returns; the outcome arrives through `done`.
    void Start(const BrowserOpener& openBrowser, Done done);
    // Stops listening and exchanging; `done` is not called afterwards.
    void Abort();

    // The address the browser was sent to (empty before Start).
    QUrl AuthorizationUrl() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::Social::YouTube
