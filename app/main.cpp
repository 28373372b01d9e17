// rq-youtube-host: a small host application that shares one video file to
// YouTube through the plug-in: the sharing dialog, the sign-in, the conversion
// with the chosen preset, the upload with its progress and the result window.

#include "EmulatorProcess.h"
#include "HostApplication.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <glog/logging.h>

#include <cstdio>
#include <memory>

namespace {

using Tavrix::RQ::CutIntervals;
using Tavrix::RQ::Host::EmulatorProcess;
using Tavrix::RQ::Host::HostApplication;
using Tavrix::RQ::Host::HostOptions;

constexpr int kUsageError = 64;

// Without a display Qt would abort; say what to do instead.
bool HasDisplay()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    return !environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty() ||
           !environment.value(QStringLiteral("DISPLAY")).isEmpty() ||
           !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

// "12.5-20" (seconds) into microseconds.
bool ParseCut(const QString& text, CutIntervals& cuts)
{
    const QStringList bounds = text.split(QLatin1Char('-'));
    bool fromOk = false;
    bool toOk = false;
    const double from = bounds.value(0).toDouble(&fromOk);
    const double to = bounds.value(1).toDouble(&toOk);
    if (bounds.size() != 2 || !fromOk || !toOk || from < 0 || to < 0)
        return false;
    cuts.emplace_back(static_cast<std::int64_t>(from * 1e6), static_cast<std::int64_t>(to * 1e6));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // Help needs no windows.
    for (int i = 1; i < argc; ++i)
        if (!HasDisplay() && (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!HasDisplay())
    {
        std::fprintf(stderr, "rq-youtube-host needs a display: run it in a desktop session (DISPLAY or "
                             "WAYLAND_DISPLAY set), or set QT_QPA_PLATFORM=offscreen to run it without one.\n");
        return kUsageError;
    }

    google::InitGoogleLogging(argv[0]);
    FLAGS_logtostderr = true;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rq-youtube-host"));
    QApplication::setOrganizationName(QStringLiteral("Tavrix"));
    // The run ends with the sharing, not with its first closed window.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Shares a video file to YouTube through the RQServiceYouTube plug-in: describe it in the dialog, sign in, "
        "and the host converts it with the chosen preset and uploads it."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("video"), QStringLiteral("The video file to share."));
    const QCommandLineOption emulator(
        QStringLiteral("emulator"),
        QStringLiteral("Share to a local youtube-emulator started for this run (no Google account needed)."));
    const QCommandLineOption clientId(
        QStringLiteral("client-id"),
        QStringLiteral("Google OAuth client id (default: TAVRIX_YOUTUBE_CLIENT_ID or the settings)."),
        QStringLiteral("id"));
    const QCommandLineOption clientSecret(
        QStringLiteral("client-secret"),
        QStringLiteral("Google OAuth client secret (default: TAVRIX_YOUTUBE_CLIENT_SECRET or the settings)."),
        QStringLiteral("secret"));
    const QCommandLineOption cut(QStringLiteral("cut"),
                                 QStringLiteral("Leave out the part FROM-TO, in seconds; may be repeated."),
                                 QStringLiteral("from-to"));
    parser.addOptions({emulator, clientId, clientSecret, cut});
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
    {
        std::fprintf(stderr, "rq-youtube-host: give exactly one video file (see --help).\n");
        return kUsageError;
    }
    CutIntervals cuts;
    for (const QString& value : parser.values(cut))
    {
        if (!ParseCut(value, cuts))
        {
            std::fprintf(stderr, "rq-youtube-host: --cut wants FROM-TO in seconds, not \"%s\".\n",
                         qPrintable(value));
            return kUsageError;
        }
    }
    const std::string file = QFileInfo(files.first()).absoluteFilePath().toStdString();

    HostOptions options;
    options.clientId = parser.value(clientId);
    options.clientSecret = parser.value(clientSecret);

    std::unique_ptr<HostApplication> host;
    const auto share = [&](const HostOptions& withOrigin) {
        try
        {
            host = std::make_unique<HostApplication>(withOrigin);
        }
        catch (const std::exception& error)
        {
            std::fprintf(stderr, "rq-youtube-host: cannot set up the YouTube service: %s\n", error.what());
            app.exit(HostApplication::Failed);
            return;
        }
        QObject::connect(host.get(), &HostApplication::Finished, &app, &QApplication::exit);
        // A refusal has shown its reason already; Finished follows when its window closes.
        host->Share(Tavrix::ioPath(file), cuts);
    };

    EmulatorProcess youtube;
    if (parser.isSet(emulator))
    {
        QObject::connect(&youtube, &EmulatorProcess::Failed, &app, [&app](const QString& reason) {
            std::fprintf(stderr, "rq-youtube-host: %s\n", qPrintable(reason));
            app.exit(HostApplication::Failed);
        });
        QObject::connect(&youtube, &EmulatorProcess::Ready, &app, [&](const QUrl& origin) {
            HostOptions local = options;
            local.youTubeOrigin = origin;
            // The emulator forgets its grants when it stops; so do its tokens.
            local.tokenFile = youtube.DataFolder() + QStringLiteral("/host-tokens.json");
            local.browserOpener = [&youtube](const QUrl& url) { return youtube.OpenSignInPage(url); };
            share(local);
        });
        youtube.Start(EmulatorProcess::FindProgram());
    }
    else
    {
        share(options);
    }

    const int code = app.exec();
    host.reset();
    return code;
}
