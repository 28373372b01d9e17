#pragma once

// The host side of one sharing to YouTube: the host's dependency-injection
// container with its services, the plug-in registered into it and resolved
// from it, the conversion engine serving the plug-in's requests, and the end
// of the run once every window about the sharing is closed.

#include "CoreUtils.h"
#include "SocialServices.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QApplication;

namespace Hypodermic {
class Container;
}

namespace Tavrix::RQ {
class VideoConverter;
}

namespace Tavrix::RQ::Host {

struct HostOptions
{
    // One origin for every YouTube endpoint (the emulator); empty: Google's,
    // or what the product's settings and the environment name.
    QUrl youTubeOrigin;
    // The OAuth client; empty: the settings and the environment decide (the
    // emulator's own client with an origin).
    QString clientId;
    QString clientSecret;
    // Where the settings files live; empty: the platform's place for the product.
    QString settingsFolder;
    // Where sign-in tokens are kept outside the keychain; empty: the protocol's default.
    QString tokenFile;
    // Shows the sign-in page; empty: the system browser.
    std::function<bool(const QUrl&)> browserOpener;
};

class HostApplication : public QObject
{
    Q_OBJECT
public:
    enum ExitCode : int
    {
        Shared = 0,
        Failed = 1,
        Canceled = 2,
    };

    // Builds the container and resolves the YouTube service; throws what the
    // container throws when a service is missing.
    explicit HostApplication(const HostOptions& options, QObject* parent = nullptr);
    ~HostApplication() override;

    HostApplication(const HostApplication&) = delete;
    HostApplication& operator=(const HostApplication&) = delete;

    // Shows the sharing dialog for the file; false when the service refused at once.
    bool Share(const ioPath& file, const CutIntervals& cutIntervals = {});

    // Whether signing in has an OAuth client: the emulator's own with an
    // origin, else the options', the environment's or the settings'.
    static bool HasClientId(const HostOptions& options);

    // Names the application as the host program (settings, window titles)
    // and gives it the host's look; the run ends with the sharing, not with
    // its first closed window.
    static void SetUpProgram(QApplication& app);

    Service::Sharing::AbstractSharingManager& Manager() const;
    VideoConverter& Converter() const;
    const std::shared_ptr<Hypodermic::Container>& Container() const;

signals:
    // The sharing ended and no window about it is open any more.
    void Finished(int exitCode);
    // The upload goes on with a session an earlier run left open: the server has `percent` already.
    void UploadResumed(int percent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Host
