// rq-youtube-host: a small host application that shares one video file to
// YouTube through the plug-in: the sharing dialog, the sign-in, the conversion
// with the chosen preset, the upload with its progress and the result window.

#include "AppServices.h"
#include "EmulatorProcess.h"
#include "HostApplication.h"
#include "TerminationSignals.h"
#include "Translations.h"
#include "UnattendedRun.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTimer>

#include <glog/logging.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using Tavrix::RQ::CutIntervals;
using Tavrix::RQ::Host::EmulatorProcess;
using Tavrix::RQ::Host::HostApplication;
using Tavrix::RQ::Host::HostOptions;
using Tavrix::RQ::Host::TerminationSignals;
using Tavrix::RQ::Host::Translations;
using Tavrix::RQ::Host::UnattendedRun;

constexpr int kUsageError = 64;
// An unattended run that takes longer than this is stuck somewhere.
constexpr std::chrono::minutes kUnattendedLimit{10};

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(HostProgram)
};

// Without a display Qt would abort; say what to do instead.
bool HasDisplay()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    return !environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty() ||
           !environment.value(QStringLiteral("DISPLAY")).isEmpty() ||
           !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

QtMessageHandler g_qtMessages = nullptr;

// Offscreen, Qt's platform notes that windows cannot be raised or sized say
// nothing to whoever reads an unattended run.
void SkipOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_qtMessages(type, context, message);
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

// A message on stderr, whatever the terminal's locale: the translations are UTF-8.
void Complain(const QString& message)
{
    std::fprintf(stderr, "rq-youtube-host: %s\n", message.toUtf8().constData());
}

// --language CODE or --language=CODE, read before the help texts are made in that language.
QString LanguageOption(const QStringList& arguments)
{
    const QString name = QStringLiteral("--language");
    for (int i = 1; i < arguments.size(); ++i)
    {
        if (arguments.at(i) == name)
            return arguments.value(i + 1);
        if (arguments.at(i).startsWith(name + QLatin1Char('=')))
            return arguments.at(i).mid(name.size() + 1);
    }
    return QString();
}

} // namespace

int main(int argc, char* argv[])
{
    // Help needs no windows, and nobody looks at an unattended run's.
    for (int i = 1; i < argc; ++i)
        if (!HasDisplay() && (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0 ||
                              qstrcmp(argv[i], "--unattended") == 0))
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
    HostApplication::SetUpProgram(app);

    // The product's settings may name a language ("Interface/Language"); --language wins over it.
    Translations translations;
    const QSettings productSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tavrix"),
                                    QString::fromStdString(Tavrix::App::CustomizationManager().GetProductName()));
    translations.Use(Translations::Choose(LanguageOption(QApplication::arguments()),
                                          productSettings.value(QStringLiteral("Interface/Language")).toString()));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        Tr::tr("Shares a video file to YouTube through the RQServiceYouTube plug-in: describe it in the dialog, sign "
               "in, and the host converts it with the chosen preset and uploads it."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("video"), Tr::tr("The video file to share."));
    const QCommandLineOption emulator(
        QStringLiteral("emulator"),
        Tr::tr("Share to a local youtube-emulator started for this run (no Google account needed)."));
    const QCommandLineOption clientId(
        QStringLiteral("client-id"),
        Tr::tr("Google OAuth client id (default: TAVRIX_YOUTUBE_CLIENT_ID or the settings)."),
        QStringLiteral("id"));
    const QCommandLineOption clientSecret(
        QStringLiteral("client-secret"),
        Tr::tr("Google OAuth client secret (default: TAVRIX_YOUTUBE_CLIENT_SECRET or the settings)."),
        QStringLiteral("secret"));
    const QCommandLineOption cut(QStringLiteral("cut"),
                                 Tr::tr("Leave out the part FROM-TO, in seconds; may be repeated."),
                                 QStringLiteral("from-to"));
    const QCommandLineOption unattended(
        QStringLiteral("unattended"),
        Tr::tr("Nobody at the keyboard: keep the dialog's defaults and press Start, Sign In and Close as they "
               "come, printing each step and then \"Shared: LINK\" or \"Failed: REASON\"; gives up after "
               "%n minutes. Needs --emulator or a client id (a real account signs in in a browser).",
               nullptr, static_cast<int>(kUnattendedLimit.count())));
    const QCommandLineOption language(
        QStringLiteral("language"),
        Tr::tr("Show the windows in this language (de, fr, en, ...; default: the setting Interface/Language, else "
               "the system's)."),
        QStringLiteral("code"));
    const QCommandLineOption emulatorAt(
        QStringLiteral("emulator-at"),
        Tr::tr("Share to a youtube-emulator already running at URL (http://127.0.0.1:PORT); its state "
               "outlives this run."),
        QStringLiteral("url"));
    parser.addOptions({emulator, emulatorAt, clientId, clientSecret, cut, unattended, language});
    // An option it does not know is a command line it cannot use, not a failed sharing.
    if (!parser.parse(QApplication::arguments()))
    {
        Complain(Tr::tr("%1 See --help.").arg(parser.errorText()));
        return kUsageError;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
    {
        Complain(Tr::tr("give exactly one video file (see --help)."));
        return kUsageError;
    }
    CutIntervals cuts;
    for (const QString& value : parser.values(cut))
    {
        if (!ParseCut(value, cuts))
        {
            Complain(Tr::tr("--cut wants FROM-TO in seconds, not \"%1\".").arg(value));
            return kUsageError;
        }
    }
    const std::string file = QFileInfo(files.first()).absoluteFilePath().toStdString();

    HostOptions options;
    options.clientId = parser.value(clientId);
    options.clientSecret = parser.value(clientSecret);

    const QUrl emulatorOrigin(parser.value(emulatorAt));
    if (parser.isSet(emulatorAt) && (emulatorOrigin.scheme() != QLatin1String("http") ||
                                     emulatorOrigin.host() != QLatin1String("127.0.0.1") || emulatorOrigin.port() < 0))
    {
        Complain(Tr::tr("--emulator-at wants http://127.0.0.1:PORT, not \"%1\".").arg(parser.value(emulatorAt)));
        return kUsageError;
    }
    const bool toEmulator = parser.isSet(emulator) || parser.isSet(emulatorAt);
    if (parser.isSet(unattended) && !toEmulator && !HostApplication::HasClientId(options))
    {
        Complain(Tr::tr("--unattended shares to a real account only with an OAuth client id "
                        "(--client-id or TAVRIX_YOUTUBE_CLIENT_ID), and signing in to it needs a browser; add "
                        "--emulator to share to the local emulator instead."));
        return kUsageError;
    }
    std::unique_ptr<UnattendedRun> user;
    if (parser.isSet(unattended))
    {
        // Its steps are on stdout; the logs (the emulator's too) keep to what
        // went wrong unless asked for more.
        if (qEnvironmentVariableIsEmpty("GLOG_minloglevel"))
        {
            FLAGS_minloglevel = google::GLOG_WARNING;
            qputenv("GLOG_minloglevel", QByteArray::number(google::GLOG_WARNING));
        }
        g_qtMessages = qInstallMessageHandler(SkipOffscreenNotes);
        user = std::make_unique<UnattendedRun>(kUnattendedLimit);
        QObject::connect(user.get(), &UnattendedRun::Abandoned, &app, [&app] { app.exit(HostApplication::Failed); });
    }

    // Ctrl+C or a termination ends the run through the event loop, so the
    // emulator child, its folder and a half-written conversion all go.
    TerminationSignals interruptions;
    QObject::connect(&interruptions, &TerminationSignals::Received, &app, [&app, &user](int signal) {
        const QString why = QStringLiteral("the run was interrupted (%1)").arg(TerminationSignals::Name(signal));
        std::fprintf(stderr, "rq-youtube-host: %s\n", qPrintable(why));
        if (user)
            user->Cancel(why);
        app.exit(HostApplication::Canceled);
    });

    std::unique_ptr<HostApplication> host;
    const auto share = [&](const HostOptions& withOrigin) {
        try
        {
            host = std::make_unique<HostApplication>(withOrigin);
        }
        catch (const std::exception& error)
        {
            const QString reason = Tr::tr("cannot set up the YouTube service: %1").arg(QString::fromUtf8(error.what()));
            Complain(reason);
            if (user)
                user->Fail(reason);
            app.exit(HostApplication::Failed);
            return;
        }
        QObject::connect(host.get(), &HostApplication::Finished, &app, &QApplication::exit);
        if (user)
            QObject::connect(host.get(), &HostApplication::UploadResumed, user.get(), [&user](int percent) {
                user->Tell(QStringLiteral("Resuming the upload at %1%").arg(percent));
            });
        // A refusal has shown its reason already; Finished follows when its window closes.
        host->Share(Tavrix::ioPath(file), cuts);
    };

    EmulatorProcess youtube;
    if (toEmulator)
    {
        QObject::connect(&youtube, &EmulatorProcess::Failed, &app, [&app, &user](const QString& reason) {
            Complain(reason);
            if (user)
                user->Fail(reason);
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
        if (parser.isSet(emulatorAt))
            youtube.Attach(emulatorOrigin);
        else
            youtube.Start(EmulatorProcess::FindProgram());
    }
    else
    {
        // From the event loop: an exit asked for before it runs would be lost.
        QTimer::singleShot(0, &app, [&] { share(options); });
    }

    const int code = app.exec();
    user.reset();
    host.reset();
    return code;
}
