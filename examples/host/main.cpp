// The smallest host of the YouTube sharing plug-in: it registers its own
// services in a Hypodermic ContainerBuilder, merges the plug-in's Register()
// builder, and obtains the sharing service through Resolve().
//
//     rq-host-example [SETTINGS_FOLDER]
//
// Settings go to SETTINGS_FOLDER when given, else to the platform's place.

#include <YouTubeService.h>

#include <AppServices.h>
#include <ProjectManager.h>
#include <ProjectStreamsBuilder.h>
#include <SocialServices.h>
#include <UserSettings.h>
#include <YoutubeNetworkProtocol.h>

#include <Hypodermic/Hypodermic.h>

#include <QApplication>
#include <QDir>

#include <exception>
#include <iostream>
#include <memory>

using namespace Tavrix;
using Tavrix::RQ::Service::Sharing::AbstractSharingManager;

namespace {

template <class TStore>
std::shared_ptr<TStore> MakeStore(const QString& folder, const QString& file, const QString& application)
{
    if (folder.isEmpty())
        return std::make_shared<TStore>(QStringLiteral("Tavrix"), application);
    QDir().mkpath(folder);
    return std::make_shared<TStore>(QDir(folder).filePath(file));
}

// Registers the object under the interface the plug-in asks for.
template <class TInterface, class TObject>
void Offer(Hypodermic::ContainerBuilder& builder, const std::shared_ptr<TObject>& object)
{
    builder.registerInstance(std::static_pointer_cast<TInterface>(object));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QString settingsFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    // Every SocialSettings talks to YouTube through the network protocol.
    Social::InstallYoutubeNetworkProtocolFactory();

    const auto customization = std::make_shared<App::CustomizationManager>();
    const auto productSettings = MakeStore<RQ::ProductSettingsManager>(
        settingsFolder, QStringLiteral("product.ini"), QString::fromStdString(customization->GetProductName()));
    const auto applicationSettings = MakeStore<RQ::ApplicationSettingsManager>(
        settingsFolder, QStringLiteral("application.ini"), QStringLiteral("Applications"));

    // The host's services: the interfaces the plug-in needs must be registered; the
    // concrete classes (settings, parent provider, sharing windows) the container
    // can also build itself, registering them makes one of each per host.
    Hypodermic::ContainerBuilder builder;
    Offer<RQ::IProjectStreamsBuilder>(builder, std::make_shared<RQ::ProjectStreamsBuilder>());
    Offer<RQ::IFileManager>(builder, std::make_shared<RQ::FileManager>());
    Offer<App::ICustomizationManager>(builder, customization);
    Offer<App::ILookAndFeelManager>(builder, std::make_shared<App::LookAndFeelManager>());
    Offer<App::ILinksGenerator>(builder, std::make_shared<App::LinksGenerator>());
    Offer<RQ::IProductSettingsManager>(builder, productSettings);
    Offer<RQ::IApplicationSettingsManager>(builder, applicationSettings);
    Offer<RQ::IUiSettings>(builder, std::make_shared<RQ::UiSettings>(productSettings));
    Offer<App::ISimpleAudioPlayer>(builder, std::make_shared<App::SimpleAudioPlayer>());
    Offer<App::ILinksOpener>(builder, std::make_shared<App::LinksOpener>());
    builder.registerType<RQ::SocialSettings>().singleInstance();
    builder.registerType<RQ::PathsSettings>().singleInstance();

    // The plug-in's one registration, after the host's own.
    builder.addRegistrations(RQ::Service::Sharing::YouTube::Register());
    // Resolve takes a ComponentContext, which only a resolution hands out: a factory.
    builder.registerInstanceFactory([](Hypodermic::ComponentContext& context) {
        return RQ::Service::Sharing::YouTube::Resolve(context);
    });
    const std::shared_ptr<Hypodermic::Container> container = builder.build();

    std::shared_ptr<AbstractSharingManager> manager;
    try
    {
        manager = container->resolve<AbstractSharingManager>();
    }
    catch (const std::exception& error)
    {
        // A missing service arrives as the container's ActivationException, whose
        // message names it ("Unable to resolve ...").
        std::cerr << "Cannot resolve the sharing service: " << error.what() << std::endl;
        return 1;
    }
    std::cout << "Resolved the " << manager->GetSharingName().toStdString() << " sharing service" << std::endl;
    // A real host now connects the manager's signals and calls ShareFile(file, cuts).
    return 0;
}
