#include "HostApplication.h"

#include "AppServices.h"
#include "ParentProvider.h"
#include "ProjectManager.h"
#include "ProjectStreamsBuilder.h"
#include "SharingBehaviour.h"
#include "UserSettings.h"
#include "VideoConverter.h"
#include "YouTubeService.h"
#include "YoutubeConfiguration.h"
#include "YoutubeNetworkProtocol.h"

#include <Hypodermic/Hypodermic.h>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QProcessEnvironment>
#include <QTimer>
#include <QWidget>

#include <glog/logging.h>

namespace Tavrix::RQ::Host {

namespace {
constexpr char kConstructor[] = "Tavrix::RQ::Host::HostApplication::HostApplication";
constexpr char kShare[] = "Tavrix::RQ::Host::HostApplication::Share";
constexpr char kEnded[] = "Tavrix::RQ::Host::HostApplication::OnSharingEnded";

using Service::Sharing::AbstractSharingManager;

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

std::shared_ptr<ProductSettingsManager> MakeProductSettings(const HostOptions& options,
                                                            const App::ICustomizationManager& customization)
{
    return MakeStore<ProductSettingsManager>(options.settingsFolder, QStringLiteral("product.ini"),
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

    HostApplication* owner;
    std::shared_ptr<Hypodermic::Container> container;
    std::shared_ptr<AbstractSharingManager> manager;
    std::shared_ptr<FileManager> fileManager;
    std::shared_ptr<IProgressStrategy> conversionProgress;
    std::unique_ptr<VideoConverter> converter;
    bool ended = false;
    bool reported = false;
    int exitCode = Shared;
};

HostApplication::HostApplication(const HostOptions& options, QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(this))
{
    const auto customization = std::make_shared<App::CustomizationManager>();
    const auto productSettings = MakeProductSettings(options, *customization);
    const auto applicationSettings = MakeStore<ApplicationSettingsManager>(
        options.settingsFolder, QStringLiteral("application.ini"), QStringLiteral("Applications"));
    m_impl->fileManager = std::make_shared<FileManager>();

    // Every SocialSettings of this host talks to YouTube through the network
    // protocol (the factory is process-wide: one host at a time).
    const Social::YouTube::Configuration config = MakeConfiguration(options, *productSettings);
    const auto opener = options.browserOpener;
    SocialSettings::SetYouTubeProtocolFactory([config, opener](const std::shared_ptr<IProductSettingsManager>&) {
        return std::make_shared<Social::YoutubeNetworkProtocol>(config, opener);
    });

    Hypodermic::ContainerBuilder builder;
    Offer<IProjectStreamsBuilder>(builder, std::make_shared<ProjectStreamsBuilder>());
    Offer<IFileManager>(builder, m_impl->fileManager);
    Offer<App::ICustomizationManager>(builder, customization);
    Offer<App::ILookAndFeelManager>(builder, std::make_shared<App::LookAndFeelManager>());
    Offer<App::ILinksGenerator>(builder, std::make_shared<App::LinksGenerator>());
    Offer<IProductSettingsManager>(builder, productSettings);
    Offer<IApplicationSettingsManager>(builder, applicationSettings);
    Offer<IUiSettings>(builder, std::make_shared<UiSettings>(productSettings));
    Offer<App::ISimpleAudioPlayer>(builder, std::make_shared<App::SimpleAudioPlayer>());
    Offer<App::ILinksOpener>(builder, std::make_shared<App::LinksOpener>());
    // One of each per host: the protocol with its sign-in, the save folders
    // with their observers, the stack of parent windows.
    builder.registerType<SocialSettings>().singleInstance();
    builder.registerType<PathsSettings>().singleInstance();
    builder.registerType<UI::ParentProvider>().singleInstance();

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
    m_impl->manager = m_impl->container->resolve<AbstractSharingManager>();
    LOG(INFO) << kConstructor << ": " << "Resolved the " << m_impl->manager->GetSharingName().toStdString()
              << " service; settings in " << productSettings->FileName().toStdString() << ", YouTube at "
              << config.apiUrl.toString().toStdString();

    m_impl->conversionProgress =
        std::make_shared<Service::Sharing::SharingProgressBehaviour>(m_impl->container->resolve<UI::ParentProvider>());
    m_impl->converter = std::make_unique<VideoConverter>(m_impl->fileManager);
    // Copying a source that already fits is the rule; this setting turns it off.
    m_impl->converter->SetAlwaysReencode(productSettings->GetValue(QStringLiteral("Conversion/AlwaysReencode")).toBool());
    m_impl->converter->ServeSharing(m_impl->manager.get(), m_impl->conversionProgress);

    const auto ended = [this](int code) {
        LOG(INFO) << kEnded << ": " << "The sharing ended with " << code;
        m_impl->ended = true;
        m_impl->exitCode = code;
        m_impl->CheckWindows();
    };
    connect(m_impl->manager.get(), &AbstractSharingManager::SharingFinished, this,
            [ended](bool success) { ended(success ? Shared : Failed); });
    connect(m_impl->manager.get(), &AbstractSharingManager::SharingCanceled, this, [ended] { ended(Canceled); });
    qApp->installEventFilter(this);
}

HostApplication::~HostApplication()
{
    qApp->removeEventFilter(this);
    // The manager and the converter go before the factory their protocol came from.
    m_impl->converter.reset();
    m_impl->manager.reset();
    m_impl->container.reset();
    SocialSettings::SetYouTubeProtocolFactory({});
}

bool HostApplication::Share(const ioPath& file, const CutIntervals& cutIntervals)
{
    LOG(INFO) << kShare << ": " << "Sharing " << file << " with " << cutIntervals.size() << " cuts";
    m_impl->ended = false;
    m_impl->reported = false;
    return m_impl->manager->ShareFile(file, cutIntervals);
}

bool HostApplication::HasClientId(const HostOptions& options)
{
    const App::CustomizationManager customization;
    return !MakeConfiguration(options, *MakeProductSettings(options, customization)).clientId.isEmpty();
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
        m_impl->CheckWindows();
    return QObject::eventFilter(watched, event);
}

} // namespace Tavrix::RQ::Host
