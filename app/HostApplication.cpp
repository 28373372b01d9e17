#include "HostApplication.h"

#include "AppServices.h"
#include "HostLook.h"
#include "KeptConversions.h"
#include "ParentProvider.h"
#include "ProjectManager.h"
#include "ProjectStreamsBuilder.h"
#include "SharingBehaviour.h"
#include "SocialUI.h"
#include "SocialUtils.h"
#include "UserSettings.h"
#include "VideoConverter.h"
#include "YouTubeService.h"
#include "YoutubeConfiguration.h"
#include "YoutubeNetworkProtocol.h"

#include <Hypodermic/Hypodermic.h>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <glog/logging.h>

#include <optional>

namespace Tavrix::RQ::Host {

namespace {
constexpr char kConstructor[] = "Tavrix::RQ::Host::HostApplication::HostApplication";
constexpr char kShare[] = "Tavrix::RQ::Host::HostApplication::Share";
constexpr char kEnded[] = "Tavrix::RQ::Host::HostApplication::OnSharingEnded";
constexpr qint64 kKeptConversionsLimit = 20LL * 1024 * 1024 * 1024;
constexpr char kSignIn[] = "Tavrix::RQ::Host::HostApplication::OnSignInEnded";

using Service::Sharing::AbstractSharingManager;
using Service::Sharing::UI::SharingAuthorizationDialog;

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(HostApplication)
};

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Why the file cannot be a video, before anything opens it: opening a FIFO
// would wait for a writer for ever. Empty when it may be one.
QString FileProblem(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return Tr::tr("The file to share does not exist: %1").arg(Native(path));
    if (file.isDir())
        return Tr::tr("%1 is a folder, not a video file.").arg(Native(path));
    if (!file.isFile())
        return Tr::tr("%1 is not a video file (it is a pipe, a device or a socket).").arg(Native(path));
    if (!file.isReadable())
        return Tr::tr("%1 cannot be read: this user has no permission to read it.").arg(Native(path));
    if (file.size() == 0)
        return Tr::tr("%1 is empty: it holds no video.").arg(Native(path));
    return QString();
}

// Passes on how each sign-in ended, so the host can tell the user at once.
class SignInWatchingProtocol : public Social::YoutubeNetworkProtocol
{
public:
    using Observer = std::function<void(Social::RequestResult)>;

    SignInWatchingProtocol(const Social::YouTube::Configuration& config, BrowserOpener opener, Observer observer)
        : YoutubeNetworkProtocol(config, std::move(opener))
        , m_observer(std::move(observer))
    {
    }

    Social::Ticket LogIn(const QMap<QString, QString>& parameters, LogInCallback callback) override
    {
        return YoutubeNetworkProtocol::LogIn(
            parameters, [callback, observer = m_observer](Social::Ticket ticket, Social::RequestResult result) {
                callback(ticket, result);
                if (observer)
                    observer(result);
            });
    }

private:
    Observer m_observer;
};

// Registers the object under the interface the plug-in asks for.
template <class TInterface, class TObject>
void Offer(Hypodermic::ContainerBuilder& builder, const std::shared_ptr<TObject>& object)
{
    builder.registerInstance(std::static_pointer_cast<TInterface>(object));
}

template <class TStore>
std::shared_ptr<TStore> MakeStore(const QString& folder, const QString& fileName, const QString& application)
{
    if (folder.isEmpty())
        return std::make_shared<TStore>(QStringLiteral("Tavrix"), application);
    QDir().mkpath(folder);
    return std::make_shared<TStore>(QDir(folder).filePath(fileName));
}

Social::YouTube::Configuration MakeConfiguration(const HostOptions& options, const IProductSettingsManager& settings)
{
    Social::YouTube::Configuration config =
        Social::YouTube::Configuration::FromSettings(&settings, QProcessEnvironment::systemEnvironment());
    if (options.youTubeOrigin.isValid())
    {
        config.PointAt(options.youTubeOrigin);
        // The emulator's client, and its throw-away tokens kept out of the keychain.
        config.clientId = QStringLiteral("emulator-client-id");
        config.clientSecret = QStringLiteral("emulator-client-secret");
        config.useKeychain = false;
    }
    if (!options.clientId.isEmpty())
        config.clientId = options.clientId;
    if (!options.clientSecret.isEmpty())
        config.clientSecret = options.clientSecret;
    if (!options.tokenFile.isEmpty())
        config.tokenFile = options.tokenFile;
    return config;
}

// The product's and the application's settings in one file, named after the
// product ("Tavrix/OrbitRec.ini"), so there is one place to look.
std::shared_ptr<ProductAndApplicationSettingsManager> MakeSettings(const HostOptions& options,
                                                                   const App::ICustomizationManager& customization)
{
    return MakeStore<ProductAndApplicationSettingsManager>(options.settingsFolder, QStringLiteral("settings.ini"),
                                                           QString::fromStdString(customization.GetProductName()));
}

} // namespace

struct HostApplication::Impl
{
    explicit Impl(HostApplication* self)
        : owner(self)
    {
    }

    // Once the sharing ended, the run is over when its last window (the
    // result, a failure notice) is closed.
    void CheckWindows()
    {
        if (!ended || reported)
            return;
        QTimer::singleShot(0, owner, [this] {
            if (reported)
                return;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->isVisible())
                    return;
            reported = true;
            emit owner->Finished(exitCode);
        });
    }

    // An export that is not kept waits in the results folder only while it
    // uploads; the folder, made for it, goes when nothing is left in it.
    // rmdir takes nothing but an empty folder.
    void RemoveEmptyResultsFolder() const
    {
        const QString folder = container->resolve<PathsSettings>()->GetResultsFolderPath();
        if (QFileInfo(folder).isDir() && QDir().rmdir(folder))
            LOG(INFO) << kEnded << ": " << "Removed the empty folder " << folder.toStdString();
    }

    static bool AnyWindowVisible()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                return true;
        return false;
    }

    static QWidget* VisibleWindow(const char* objectName)
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->objectName() == QLatin1String(objectName))
                return window;
        return nullptr;
    }

    // The outcome the result window shows, when it shows one.
    static std::optional<Social::RequestResult> ShownResult()
    {
        QWidget* result = VisibleWindow("sharingResultWindow");
        const QVariant value = result ? result->property("requestResult") : QVariant();
        if (!value.isValid())
            return std::nullopt;
        return static_cast<Social::RequestResult>(value.toInt());
    }

    // A window that ends the run: the UnattendedRun reads its "outcome"
    // ("failed", "cancelled", "saved") as the run's last line.
    QMessageBox* ShowEnding(int code, const char* outcome, const QString& title, const QString& text)
    {
        ended = true;
        exitCode = code;
        auto* box = new QMessageBox(code == Failed ? QMessageBox::Warning : QMessageBox::Information, title, text,
                                    QMessageBox::Close);
        box->setObjectName(QStringLiteral("sharingEndNotice"));
        box->setProperty("outcome", QLatin1String(outcome));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setDefaultButton(QMessageBox::Close);
        box->setEscapeButton(QMessageBox::Close);
        box->open();
        return box;
    }

    void ShowSaved()
    {
        const QString path = Native(QString::fromStdString(savedFile.utf8string()));
        QMessageBox* box = ShowEnding(Shared, "saved", Tr::tr("Video saved"), Tr::tr("The video was saved to %1").arg(path));
        QPushButton* show = box->addButton(Tr::tr("Show in folder"), QMessageBox::ActionRole);
        // Showing the folder keeps the notice open; the run ends with Close.
        QObject::disconnect(show, nullptr, box, nullptr);
        QObject::connect(show, &QPushButton::clicked, box, [this, box, path] {
            if (!fileManager->ShowInFolder(savedFile))
                box->setInformativeText(Tr::tr("No file manager could be opened. Find the video at %1").arg(path));
        });
    }

    // A failed sign-in is said in the prompt, which offers to try again.
    void OnSignInEnded(Social::RequestResult result)
    {
        if (result == Social::Success || result == Social::Cancelled)
            return;
        LOG(ERROR) << kSignIn << ": " << "Signing in failed with "
                   << Service::Sharing::RequestResultToString(result);
        const QString problem = Tr::tr("Signing in failed. %1").arg(Service::Sharing::RequestResultAdvice(result));
        if (auto* prompt = qobject_cast<SharingAuthorizationDialog*>(VisibleWindow("sharingAuthorizationDialog")))
            prompt->ShowProblem(problem);
        else
        {
            auto* box = new QMessageBox(QMessageBox::Warning, Tr::tr("Sign-in failed"), problem, QMessageBox::Close,
                                        parentProvider ? parentProvider->GetParent() : nullptr);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        }
    }

    // Once ShareFile refused the file, the user is told why, unless the
    // sharing's own result window already says it.
    bool StartSharing(const ioPath& file, const CutIntervals& cutIntervals)
    {
        if (manager->ShareFile(file, cutIntervals))
            return true;
        if (!AnyWindowVisible())
            ShowEnding(Failed, "failed", Tr::tr("Cannot share the video"),
                       Tr::tr("%1 is not a video this program can read; it may be damaged or incomplete.")
                           .arg(Native(QString::fromStdString(file.utf8string()))));
        return false;
    }

    HostApplication* owner;
    std::shared_ptr<UI::ParentProvider> parentProvider;
    std::shared_ptr<Hypodermic::Container> container;
    std::shared_ptr<AbstractSharingManager> manager;
    std::shared_ptr<FileManager> fileManager;
    std::shared_ptr<IProgressStrategy> conversionProgress;
    std::unique_ptr<VideoConverter> converter;
    std::unique_ptr<KeptConversions> kept;
    // The plug-in's upload progress window, which says when an upload resumes.
    std::shared_ptr<Service::Sharing::SharingProgressBehaviour> uploadProgress;
    bool ended = false;
    bool reported = false;
    int exitCode = Shared;
    // Between the request to convert and the end of the sharing.
    bool converting = false;
    bool saveOnly = false;
    bool conversionFailed = false;
    ioPath savedFile;
};

HostApplication::HostApplication(const HostOptions& options, QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(this))
{
    const auto customization = std::make_shared<App::CustomizationManager>();
    const auto settings = MakeSettings(options, *customization);
    m_impl->fileManager = std::make_shared<FileManager>();

    // Every SocialSettings of this host talks to YouTube through the network
    // protocol (the factory is process-wide: one host at a time).
    const Social::YouTube::Configuration config = MakeConfiguration(options, *settings);
    const auto opener = options.browserOpener;
    const QPointer<HostApplication> self(this);
    SocialSettings::SetYouTubeProtocolFactory([config, opener, self](const std::shared_ptr<IProductSettingsManager>&) {
        auto protocol = std::make_shared<SignInWatchingProtocol>(config, opener, [self](Social::RequestResult result) {
            if (self)
                self->m_impl->OnSignInEnded(result);
        });
        protocol->SetResumeObserver([self](Social::Ticket, int percent) {
            if (self)
                emit self->UploadResumed(percent);
        });
        return protocol;
    });

    Hypodermic::ContainerBuilder builder;
    Offer<IProjectStreamsBuilder>(builder, std::make_shared<ProjectStreamsBuilder>());
    Offer<IFileManager>(builder, m_impl->fileManager);
    Offer<App::ICustomizationManager>(builder, customization);
    Offer<App::ILookAndFeelManager>(builder, std::make_shared<App::LookAndFeelManager>());
    Offer<App::ILinksGenerator>(builder, std::make_shared<App::LinksGenerator>());
    Offer<IProductSettingsManager>(builder, settings);
    Offer<IApplicationSettingsManager>(builder, settings);
    Offer<IUiSettings>(builder, std::make_shared<UiSettings>(settings));
    Offer<App::ISimpleAudioPlayer>(builder, std::make_shared<App::SimpleAudioPlayer>());
    Offer<App::ILinksOpener>(builder, std::make_shared<App::LinksOpener>());
    // One of each per host: the protocol with its sign-in, the save folders
    // with their observers, the stack of parent windows.
    builder.registerType<SocialSettings>().singleInstance();
    builder.registerType<PathsSettings>().singleInstance();
    builder.registerType<UI::ParentProvider>().singleInstance();
    // One upload progress window, which the host can tell that an upload resumes.
    builder.registerType<Service::Sharing::SharingProgressBehaviour>().singleInstance();

    builder.addRegistrations(Service::Sharing::YouTube::Register());
    // Resolve wants a ComponentContext, which only a resolution hands out.
    builder.registerInstanceFactory([](Hypodermic::ComponentContext& context) {
        return Service::Sharing::YouTube::Resolve(context);
    });
    if (config.clientId.isEmpty())
        LOG(WARNING) << kConstructor << ": "
                     << "No OAuth client id for YouTube, so signing in will fail; give one with --client-id or "
                        "TAVRIX_YOUTUBE_CLIENT_ID, or share to the emulator with --emulator";
    m_impl->container = builder.build();
    m_impl->container->resolve<PathsSettings>()->SeedUserSelectedSavePath();
    m_impl->manager = m_impl->container->resolve<AbstractSharingManager>();
    LOG(INFO) << kConstructor << ": " << "Resolved the " << m_impl->manager->GetSharingName().toStdString()
              << " service; settings in " << settings->FileName().toStdString() << ", YouTube at "
              << config.apiUrl.toString().toStdString();

    m_impl->parentProvider = m_impl->container->resolve<UI::ParentProvider>();
    m_impl->conversionProgress = std::make_shared<Service::Sharing::SharingProgressBehaviour>(m_impl->parentProvider);
    m_impl->converter = std::make_unique<VideoConverter>(m_impl->fileManager);
    // Copying a source that already fits is the rule; this setting turns it off.
    m_impl->converter->SetAlwaysReencode(settings->GetValue(QStringLiteral("Conversion/AlwaysReencode")).toBool());
    m_impl->converter->SetFailurePresenter([this](const QString& title, const QString& text) {
        m_impl->ShowEnding(Failed, "failed", title, text);
    });

    AbstractSharingManager* manager = m_impl->manager.get();
    const auto converting = [this](bool saveOnly) {
        m_impl->converting = true;
        m_impl->saveOnly = saveOnly;
        m_impl->conversionFailed = false;
        m_impl->savedFile = ioPath();
    };
    connect(manager, qOverload<const ConvertationContext&>(&AbstractSharingManager::ConvertingRequested), this,
            [converting](const ConvertationContext&) { converting(false); });
    connect(manager, qOverload<const ConvertationContext&, bool>(&AbstractSharingManager::ConvertingRequested), this,
            [converting](const ConvertationContext&, bool saveOnly) { converting(saveOnly); });
    // After the above: a conversion that cannot start fails inside the request.
    m_impl->converter->ServeSharing(manager, m_impl->conversionProgress);
    m_impl->kept = std::make_unique<KeptConversions>(
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
            .filePath(QStringLiteral("kept-conversions.json")),
        config.sessionLifetime,
        settings->GetValue(QStringLiteral("Sharing/KeptConversionsLimit"), kKeptConversionsLimit).toLongLong());
    m_impl->kept->Serve(manager, m_impl->converter.get());
    connect(m_impl->converter.get(), &VideoConverter::Finished, this,
            [this](const ConvertationContext& context) { m_impl->savedFile = context.outputPath; });
    connect(m_impl->converter.get(), &VideoConverter::Failed, this, [this] { m_impl->conversionFailed = true; });
    m_impl->uploadProgress = m_impl->container->resolve<Service::Sharing::SharingProgressBehaviour>();
    connect(this, &HostApplication::UploadResumed, this, [this](int percent) {
        m_impl->uploadProgress->SetProgressText([percent] {
            return Tr::tr("Resuming the upload at %1%")
                .arg(percent);
        });
    });
    // Only the user stops a conversion (its window's Cancel or Escape).
    connect(m_impl->converter.get(), &VideoConverter::Canceled, this, [this] {
        m_impl->ShowEnding(Canceled, "cancelled", Tr::tr("Sharing cancelled"),
                           Tr::tr("The sharing was cancelled: the video was neither uploaded nor saved."));
    });

    const auto ended = [this](int code) {
        LOG(INFO) << kEnded << ": " << "The sharing ended with " << code;
        m_impl->converting = false;
        m_impl->ended = true;
        m_impl->exitCode = code;
        m_impl->RemoveEmptyResultsFolder();
        m_impl->uploadProgress->SetProgressText({});
        m_impl->CheckWindows();
    };
    connect(manager, &AbstractSharingManager::SharingFinished, this, [this, ended](bool success) {
        if (success && m_impl->saveOnly && !m_impl->savedFile.empty())
            m_impl->ShowSaved();
        const std::optional<Social::RequestResult> shown = Impl::ShownResult();
        ended(success ? Shared : shown == Social::Cancelled ? Canceled : Failed);
    });
    connect(manager, &AbstractSharingManager::SharingCanceled, this, [this, ended] {
        // A notice that already ended the run (the file, the conversion) keeps its status.
        if (m_impl->ended)
            return ended(m_impl->exitCode);
        const std::optional<Social::RequestResult> shown = Impl::ShownResult();
        ended(m_impl->conversionFailed || (shown && shown != Social::Cancelled) ? Failed : Canceled);
    });
    qApp->installEventFilter(this);
}

HostApplication::~HostApplication()
{
    qApp->removeEventFilter(this);
    // Stopping a conversion on the way out is no cancellation to tell about.
    m_impl->converter->disconnect(this);
    // The manager and the converter go before the factory their protocol came from.
    m_impl->kept.reset();
    m_impl->converter.reset();
    m_impl->manager.reset();
    // A cancelled conversion takes its part file away after the sharing ended.
    m_impl->RemoveEmptyResultsFolder();
    m_impl->container.reset();
    SocialSettings::SetYouTubeProtocolFactory({});
}

bool HostApplication::Share(const ioPath& file, const CutIntervals& cutIntervals)
{
    LOG(INFO) << kShare << ": " << "Sharing " << file << " with " << cutIntervals.size() << " cuts";
    m_impl->ended = false;
    m_impl->reported = false;
    const QString problem = FileProblem(QString::fromStdString(file.utf8string()));
    if (!problem.isEmpty())
    {
        LOG(ERROR) << kShare << ": " << problem.toStdString();
        m_impl->ShowEnding(Failed, "failed", Tr::tr("Cannot share the video"), problem);
        return false;
    }
    // A grant kept from an earlier run may have been withdrawn meanwhile: the
    // dialog opens once the protocol checked it, so a sharing that would fail
    // after its conversion asks for a sign-in instead.
    const std::shared_ptr<Social::YoutubeProtocol> protocol =
        m_impl->container->resolve<SocialSettings>()->YouTubeProtocol();
    if (protocol && protocol->IsLoggedIn())
    {
        const QPointer<HostApplication> self(this);
        protocol->RequestUserProfile([self, file, cutIntervals](Social::Ticket, Social::RequestResult result, QUrl) {
            if (!self)
                return;
            LOG(INFO) << kShare << ": " << "The kept sign-in answered "
                      << Service::Sharing::RequestResultToString(result);
            self->m_impl->StartSharing(file, cutIntervals);
        });
        return true;
    }
    return m_impl->StartSharing(file, cutIntervals);
}

bool HostApplication::HasClientId(const HostOptions& options)
{
    const App::CustomizationManager customization;
    return !MakeConfiguration(options, *MakeSettings(options, customization)).clientId.isEmpty();
}

void HostApplication::SetUpProgram(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("rq-youtube-host"));
    QApplication::setOrganizationName(QStringLiteral("Tavrix"));
    QApplication::setQuitOnLastWindowClosed(false);
    App::ApplyHostLook(app, App::CustomizationManager());
}

AbstractSharingManager& HostApplication::Manager() const
{
    return *m_impl->manager;
}

VideoConverter& HostApplication::Converter() const
{
    return *m_impl->converter;
}

const std::shared_ptr<Hypodermic::Container>& HostApplication::Container() const
{
    return m_impl->container;
}

bool HostApplication::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::Hide || event->type() == QEvent::Close) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow())
    {
        auto* window = static_cast<QWidget*>(watched);
        // Escape hides the sharing dialog; with nothing running and nothing
        // else shown the user has walked away from the sharing.
        if (event->type() == QEvent::Hide && window->findChild<QLineEdit*>(QStringLiteral("titleEdit")) &&
            window->findChild<QPushButton*>(QStringLiteral("startButton")))
        {
            QTimer::singleShot(0, this, [this] {
                if (m_impl->ended || m_impl->converting || Impl::AnyWindowVisible())
                    return;
                LOG(INFO) << kEnded << ": " << "The sharing dialog was closed; cancelling the sharing";
                m_impl->manager->Cancel();
            });
        }
        m_impl->CheckWindows();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Tavrix::RQ::Host
