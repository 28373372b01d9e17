// host-screenshots: goes through one sharing with the host program's windows
// against the YouTube emulator, as a person would, and writes a PNG of each
// window as it stands on the screen (the window manager's frame included):
// the dialog signed out and signed in, the sign-in prompt, the conversion and
// upload progress, and the result. scripts/screenshots.sh runs it under Xvfb.

#include "AppServices.h"
#include "EmulatorProcess.h"
#include "HostApplication.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <glog/logging.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

using Tavrix::RQ::Host::EmulatorProcess;
using Tavrix::RQ::Host::HostApplication;
using Tavrix::RQ::Host::HostOptions;

// Time for the window manager to map, frame and place a new window.
constexpr int kSettleMs = 700;
// How often a condition that arrives from the network is looked at again.
constexpr int kPollMs = 100;
// A progress window is taken once its bar is past this, so it shows some work done.
constexpr int kProgressShown = 35;
constexpr int kLimitMs = 180000;
// The upload is slowed down so that its progress can be seen.
constexpr int kUploadBytesPerSecond = 400000;

const QStringList kShots = {
    QStringLiteral("dialog-signed-out"),   QStringLiteral("dialog-signed-in"), QStringLiteral("sign-in-prompt"),
    QStringLiteral("conversion-progress"), QStringLiteral("upload-progress"),  QStringLiteral("result"),
};

template <class T>
T* Child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QLatin1String(name));
}

// Presses the button from the event loop: a button that opens a modal window
// returns only when that window closes.
void Press(QAbstractButton* button)
{
    const QPointer<QAbstractButton> guard(button);
    QTimer::singleShot(0, button, [guard] {
        if (guard)
            guard->click();
    });
}

class Walk : public QObject
{
public:
    Walk(const QString& folder, bool checks, std::function<void(int)> done)
        : m_folder(folder)
        , m_checks(checks)
        , m_done(std::move(done))
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(kLimitMs, this, [this] { Finish(QStringLiteral("the sharing took too long")); });
    }

    ~Walk() override { qApp->removeEventFilter(this); }

    void Finish(const QString& problem)
    {
        if (m_finished)
            return;
        m_finished = true;
        QStringList missing;
        for (const QString& shot : kShots)
            if (!m_taken.contains(shot))
                missing << shot;
        if (!problem.isEmpty())
            std::fprintf(stderr, "host-screenshots: %s\n", qPrintable(problem));
        if (!missing.isEmpty())
            std::fprintf(stderr, "host-screenshots: no picture of %s\n", qPrintable(missing.join(QStringLiteral(", "))));
        m_done(problem.isEmpty() && missing.isEmpty() ? 0 : 1);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
        {
            const QPointer<QWidget> window(static_cast<QWidget*>(watched));
            QTimer::singleShot(kSettleMs, this, [this, window] {
                if (window && window->isVisible() && !m_finished)
                    Handle(window);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Handle(QWidget* window)
    {
        const QString name = window->objectName();
        if (name == QLatin1String("sharingAuthorizationDialog"))
        {
            Shoot(window, QStringLiteral("sign-in-prompt"));
            Press(Child<QAbstractButton>(window, "primaryButton"));
        }
        else if (name == QLatin1String("sharingProgressWindow"))
        {
            FollowProgress(window);
        }
        else if (name == QLatin1String("sharingResultWindow"))
        {
            Shoot(window, QStringLiteral("result"));
            Press(Child<QAbstractButton>(window, "closeButton"));
        }
        else if (Child<QAbstractButton>(window, "startButton") && !m_taken.contains(QStringLiteral("dialog-signed-out")))
        {
            WalkDialog(window);
        }
    }

    // Signed out as it opens; signed in from its own button; signed out
    // again, so that Start brings up the sign-in prompt.
    void WalkDialog(QWidget* dialog)
    {
        Shoot(dialog, QStringLiteral("dialog-signed-out"));
        if (m_checks)
            TakeChecks(dialog);
        auto* signIn = Child<QAbstractButton>(dialog, "signInButton");
        auto* signOut = Child<QAbstractButton>(dialog, "signOutButton");
        auto* start = Child<QAbstractButton>(dialog, "startButton");
        auto* user = Child<QLabel>(dialog, "userNameLabel");
        Press(signIn);
        WaitFor([signOut, user] { return signOut->isEnabled() && user->isVisible() && !user->text().isEmpty(); },
                [this, dialog, signOut, signIn, start] {
                    // The account's picture follows its name.
                    QTimer::singleShot(kSettleMs, this, [this, dialog, signOut, signIn, start] {
                        Shoot(dialog, QStringLiteral("dialog-signed-in"));
                        Press(signOut);
                        WaitFor([signIn] { return signIn->isVisible(); }, [start] { Press(start); });
                    });
                });
    }

    // Pictures to look at rather than to show: the dialog with an error and a
    // long folder, and with its category list open.
    void TakeChecks(QWidget* dialog)
    {
        auto* title = Child<QLineEdit>(dialog, "titleEdit");
        auto* folders = Child<QComboBox>(dialog, "browseComboBox");
        auto* categories = Child<QComboBox>(dialog, "categoryComboBox");
        const QString typed = title->text();
        title->setText(QStringLiteral("<Sample recording>"));
        folders->addItem(QDir::rootPath() + QStringLiteral("home/someone/Videos/").repeated(8) + QStringLiteral("Shared"));
        folders->setCurrentIndex(folders->count() - 1);
        QApplication::processEvents();
        Shoot(dialog, QStringLiteral("check-error-and-folder"));
        title->setText(typed);
        categories->showPopup();
        QApplication::processEvents();
        if (QWidget* popup = categories->view()->window(); popup->isVisible())
            Shoot(dialog, QStringLiteral("check-category-list"), popup->frameGeometry());
        categories->hidePopup();
    }

    void FollowProgress(QWidget* window)
    {
        auto* bar = Child<QProgressBar>(window, "progressBar");
        if (!bar || m_followed.contains(bar))
            return;
        m_followed.insert(bar);
        const QPointer<QWidget> guard(window);
        // The conversion's window comes first, then the upload's.
        const QString shot = m_followed.size() == 1 ? QStringLiteral("conversion-progress") : QStringLiteral("upload-progress");
        connect(bar, &QProgressBar::valueChanged, this, [this, guard, bar, shot](int value) {
            if (value < kProgressShown || m_taken.contains(shot) || m_pending.contains(bar))
                return;
            m_pending.insert(bar);
            // After the rest of the report (times, texts) reached the window.
            QTimer::singleShot(0, this, [this, guard, bar, shot] {
                m_pending.remove(bar);
                if (guard && guard->isVisible() && bar->value() < 100)
                    Shoot(guard, shot);
            });
        });
    }

    void WaitFor(std::function<bool()> condition, std::function<void()> then)
    {
        if (m_finished)
            return;
        if (condition())
        {
            then();
            return;
        }
        QTimer::singleShot(kPollMs, this, [this, condition, then] { WaitFor(condition, then); });
    }

    void Shoot(QWidget* window, const QString& shot, const QRect& also = QRect())
    {
        window->repaint();
        const QRect frame = window->frameGeometry().united(also);
        QScreen* screen = window->screen();
        const QPixmap picture = screen->grabWindow(0, frame.x() - screen->geometry().x(),
                                                   frame.y() - screen->geometry().y(), frame.width(), frame.height());
        const QString path = QDir(m_folder).filePath(shot + QStringLiteral(".png"));
        // Quality 0: the smallest PNG.
        if (!picture.save(path, "PNG", 0))
        {
            Finish(QStringLiteral("cannot write ") + path);
            return;
        }
        m_taken.insert(shot);
        std::printf("%s (%dx%d)\n", qPrintable(path), picture.width(), picture.height());
        std::fflush(stdout);
    }

    QString m_folder;
    bool m_checks;
    std::function<void(int)> m_done;
    QSet<QString> m_taken;
    QSet<QProgressBar*> m_followed;
    QSet<QProgressBar*> m_pending;
    bool m_finished = false;
};

} // namespace

int main(int argc, char* argv[])
{
    google::InitGoogleLogging(argv[0]);
    FLAGS_logtostderr = true;

    QApplication app(argc, argv);
    HostApplication::SetUpProgram(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a PNG of each window of one sharing to the emulator."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("video"), QStringLiteral("The video file to share."));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder for the pictures."),
                                 QStringLiteral("folder"), QStringLiteral("."));
    const QCommandLineOption emulatorPath(QStringLiteral("emulator"),
                                          QStringLiteral("The youtube-emulator program (default: the one built beside)."),
                                          QStringLiteral("path"));
    const QCommandLineOption checks(QStringLiteral("checks"),
                                    QStringLiteral("Also pictures of the dialog with an error, a long folder and its "
                                                   "category list open (check-*.png)."));
    parser.addOptions({out, emulatorPath, checks});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
    {
        std::fprintf(stderr, "host-screenshots: give exactly one video file (see --help).\n");
        return 64;
    }
    const QString video = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    if (qEnvironmentVariableIsEmpty("TAVRIX_RESOURCES_DIR"))
        Tavrix::App::SetPathToResources(Tavrix::ioPath(HOST_RESOURCES_DIR));
    QDir().mkpath(parser.value(out));

    // Small upload chunks: the short sample's upload takes several steps to show.
    if (qEnvironmentVariableIsEmpty("TAVRIX_YOUTUBE_CHUNK_SIZE"))
        qputenv("TAVRIX_YOUTUBE_CHUNK_SIZE", QByteArray::number(256 * 1024));
    // A first run: no remembered folders, account or choices of the user's own.
    QTemporaryDir settings;
    Walk walk(parser.value(out), parser.isSet(checks), [&app](int code) { app.exit(code); });
    std::unique_ptr<HostApplication> host;
    QNetworkAccessManager network;
    EmulatorProcess youtube;
    QObject::connect(&youtube, &EmulatorProcess::Failed, &app,
                     [&walk](const QString& reason) { walk.Finish(reason); });
    QObject::connect(&youtube, &EmulatorProcess::Ready, &app, [&](const QUrl& origin) {
        QNetworkRequest request(origin.resolved(QUrl(QStringLiteral("/_emulator/faults"))));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        const QJsonObject throttle{{QStringLiteral("throttleBytesPerSecond"), kUploadBytesPerSecond}};
        QNetworkReply* reply = network.post(request, QJsonDocument(throttle).toJson());
        QObject::connect(reply, &QNetworkReply::finished, &app, [&, reply, origin] {
            reply->deleteLater();
            HostOptions options;
            options.youTubeOrigin = origin;
            options.settingsFolder = settings.path();
            options.tokenFile = youtube.DataFolder() + QStringLiteral("/host-tokens.json");
            options.browserOpener = [&youtube](const QUrl& url) { return youtube.OpenSignInPage(url); };
            host = std::make_unique<HostApplication>(options);
            QObject::connect(host.get(), &HostApplication::Finished, &app,
                             [&walk](int code) { walk.Finish(code == 0 ? QString() : QStringLiteral("the sharing failed")); });
            host->Share(Tavrix::ioPath(video.toStdString()));
        });
    });
    youtube.Start(parser.isSet(emulatorPath) ? parser.value(emulatorPath) : QStringLiteral(YOUTUBE_EMULATOR_PATH));

    const int code = app.exec();
    host.reset();
    return code;
}
