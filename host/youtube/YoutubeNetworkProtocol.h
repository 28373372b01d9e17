#pragma once

// The YouTube protocol on Qt Network: Google sign-in through the system
// browser (loopback redirect with PKCE), tokens kept between runs, the
// signed-in channel and the option lists, and resumable uploads.
//
// Every request returns its ticket at once and answers later through the
// event loop of the thread that owns the object, never from inside the call
// that started it. The one exception is Cancel of a running request: its
// finish callback runs with Cancelled before Cancel returns, so a caller that
// cancels in its destructor is never called back afterwards. Destroying the
// object runs no callback at all.

#include "SocialProtocol.h"

#include <functional>
#include <memory>

namespace Tavrix::Social {

namespace YouTube {
struct Configuration;
}

class YoutubeNetworkProtocol : public YoutubeProtocol
{
public:
    // Shows the sign-in page to the user; false when no browser could be opened.
    using BrowserOpener = std::function<bool(const QUrl&)>;

    // Without an opener the system browser is opened through QDesktopServices.
    explicit YoutubeNetworkProtocol(const YouTube::Configuration& config, BrowserOpener openBrowser = {});
    ~YoutubeNetworkProtocol() override;

    YoutubeNetworkProtocol(const YoutubeNetworkProtocol&) = delete;
    YoutubeNetworkProtocol& operator=(const YoutubeNetworkProtocol&) = delete;

    void Cancel(Ticket ticket) override;
    void Retranslate() override;

    Ticket LogIn(const QMap<QString, QString>& parameters, LogInCallback callback) override;
    void LogOut() override;
    bool IsLoggedIn() const override;
    Ticket RequestUserName(NameCallback callback) override;
    Ticket RequestUserProfile(ProfileCallback callback) override;
    Ticket RequestUserId(IdCallback callback) override;
    Ticket RequestUserPicture(PictureCallback callback) override;

    QMap<QString, Field> GetFields() const override;
    Ticket Upload(const QString& file,
                  const QMap<QString, QString>& fields,
                  FinishCallback finished,
                  ProgressCallback progress) override;

    // Told when an upload goes on with a session kept from an earlier run,
    // with the percentage the server already holds, before that progress.
    using ResumeObserver = std::function<void(Ticket ticket, int percent)>;
    void SetResumeObserver(ResumeObserver observer);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Makes every SocialSettings build this protocol, configured from the
// product's settings and the environment. The host calls it once at start-up.
void InstallYoutubeNetworkProtocolFactory();

} // namespace Tavrix::Social
