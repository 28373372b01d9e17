#include "YouTubeService.h"

#include "YouTubeSharingManager.h"

#include "AppServices.h"
#include "CoreUtils.h"
#include "DesktopFakes.h"
#include "HostFakes.h"
#include "ManagerKit.h"
#include "ProjectStreams.h"
#include "SharingBehaviour.h"
#include "RuntimeRegistration.h"
#include "TestMain.h"

#include <memory>
#include <vector>

using namespace Tavrix;
using Tavrix::RQ::Service::Sharing::AbstractSharingManager;
using Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingManager;
using TestSupport::ManagerKit;

namespace {

// What a host resolves through its own factory, the one place where it gets
// hold of a ComponentContext to hand to Resolve.
struct ResolvedManagers
{
    std::vector<std::shared_ptr<AbstractSharingManager>> managers;
};

// A host container with the ten interfaces and nothing else, the library's
// builder merged in, and a factory that calls Resolve `count` times.
class HostContainer
{
public:
    explicit HostContainer(const ManagerKit& kit, const QString& without = QString(),
                           const std::function<void(Hypodermic::ContainerBuilder&)>& extra = {})
    {
        Hypodermic::ContainerBuilder builder;
        const auto offer = [&](const char* name, const auto& instance) {
            if (without != QLatin1String(name))
                builder.registerInstance(instance);
        };
        offer("IProjectStreamsBuilder", std::shared_ptr<RQ::IProjectStreamsBuilder>(kit.streams));
        offer("IFileManager", std::shared_ptr<RQ::IFileManager>(kit.files));
        offer("ICustomizationManager", kit.customization);
        offer("ILookAndFeelManager", kit.lookAndFeel);
        offer("ILinksGenerator", kit.links);
        offer("IProductSettingsManager", productSettings);
        offer("IApplicationSettingsManager",
              std::shared_ptr<RQ::IApplicationSettingsManager>(
                  std::make_shared<RQ::ApplicationSettingsManager>(kit.Path(QStringLiteral("app.ini")))));
        if (without != QLatin1String("IUiSettings"))
            builder.registerType<RQ::UiSettings>().as<RQ::IUiSettings>();
        offer("ISimpleAudioPlayer", std::shared_ptr<App::ISimpleAudioPlayer>(audioPlayer));
        offer("ILinksOpener",
              std::shared_ptr<App::ILinksOpener>(std::make_shared<App::LinksOpener>(opener.Function())));
        if (extra)
            extra(builder);
        builder.registerInstanceFactory([this](Hypodermic::ComponentContext& context) {
            auto resolved = std::make_shared<ResolvedManagers>();
            for (int i = 0; i < count; ++i)
                resolved->managers.push_back(RQ::Service::Sharing::YouTube::Resolve(context));
            return resolved;
        });
        builder.addRegistrations(RQ::Service::Sharing::YouTube::Register());
        container = builder.build();
    }

    std::vector<std::shared_ptr<AbstractSharingManager>> Resolve(int times)
    {
        count = times;
        return container->resolve<ResolvedManagers>()->managers;
    }

    std::shared_ptr<RQ::IProductSettingsManager> productSettings =
        std::make_shared<TestSupport::MemoryProductSettings>();
    std::shared_ptr<TestSupport::RecordingAudioPlayer> audioPlayer =
        std::make_shared<TestSupport::RecordingAudioPlayer>();
    TestSupport::RecordingOpener opener;
    std::shared_ptr<Hypodermic::Container> container;
    int count = 1;
};

} // namespace

class TestYouTubeService : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<TestSupport::FakeYoutubeProtocol> protocol;
    // The product settings that SocialSettings built by the container were made over.
    std::shared_ptr<RQ::IProductSettingsManager> productSettingsSeen;

private slots:
    void init()
    {
        protocol = std::make_shared<TestSupport::FakeYoutubeProtocol>();
        productSettingsSeen.reset();
        // SocialSettings built by the container make their protocol this way.
        RQ::SocialSettings::SetYouTubeProtocolFactory(
            [this](const std::shared_ptr<RQ::IProductSettingsManager>& productSettings) {
                productSettingsSeen = productSettings;
                return std::shared_ptr<Social::YoutubeProtocol>(protocol);
            });
    }

    void cleanup()
    {
        RQ::SocialSettings::SetYouTubeProtocolFactory({});
        protocol.reset();
    }

    void eachResolveBuildsANewManagerFromTheInterfacesAlone()
    {
        ManagerKit kit;
        HostContainer host(kit);

        const auto managers = host.Resolve(2);

        QCOMPARE(int(managers.size()), 2);
        QVERIFY(managers[0] != managers[1]);
        for (const auto& manager : managers)
        {
            QVERIFY(dynamic_cast<YouTubeSharingManager*>(manager.get()));
            QCOMPARE(manager->GetSharingName(), QStringLiteral("YouTube"));
            QCOMPARE(int(manager->GetType()), 4);
        }
        // The SocialSettings the container built itself sit on the host's product settings.
        QVERIFY(productSettingsSeen == host.productSettings);
    }

    // A service the host did not register is named in the container's refusal;
    // so is the progress window when the host switched runtime registration
    // off, which is process-wide and holds inside Resolve too.
    void resolveRefusal_data()
    {
        QTest::addColumn<QString>("without");
        QTest::addColumn<bool>("runtimeRegistration");
        QTest::addColumn<QString>("refused");
        for (const char* typeName :
             {"RQ.IFileManager", "RQ.IProjectStreamsBuilder", "App.ICustomizationManager", "App.ILookAndFeelManager",
              "App.ILinksGenerator", "RQ.IProductSettingsManager", "RQ.IApplicationSettingsManager", "RQ.IUiSettings",
              "App.ISimpleAudioPlayer", "App.ILinksOpener"})
            QTest::newRow(typeName) << QString::fromLatin1(typeName).section(QLatin1Char('.'), -1) << true
                                    << QStringLiteral("Tavrix.") + QLatin1String(typeName);
        QTest::newRow("runtime registration off") << QString() << false
                                                  << QStringLiteral("Tavrix.RQ.Service.Sharing.SharingProgressBehaviour");
        QTest::newRow("runtime registration on") << QString() << true << QString();
    }

    void resolveRefusal()
    {
        QFETCH(QString, without);
        QFETCH(bool, runtimeRegistration);
        QFETCH(QString, refused);
        ManagerKit kit;
        // Everything registered but the progress window, which only runtime registration builds.
        HostContainer host(kit, without, [](Hypodermic::ContainerBuilder& builder) {
            builder.registerType<RQ::SocialSettings>();
            builder.registerType<RQ::PathsSettings>();
            builder.registerType<RQ::UI::ParentProvider>();
            builder.registerType<RQ::Service::Sharing::SharingResultBehaviour>();
        });
        const TestSupport::ScopedRuntimeRegistration scopedRuntimeRegistration(runtimeRegistration);
        // The container wraps the failure at the level that builds the missing service's
        // consumer (the manager, or a window it needs); whichever it names, the missing
        // service is in the text.
        QString text;
        try
        {
            QVERIFY(host.Resolve(1).front());
        }
        catch (const std::exception& error)
        {
            text = QString::fromUtf8(error.what());
        }
        if (refused.isEmpty())
            QCOMPARE(text, QString());
        else
            QVERIFY2(text.contains(QStringLiteral("Unable to resolve ") + refused), qPrintable(text));
    }

    void hostStrategiesDoNotReplaceTheSharingWindows()
    {
        ManagerKit kit;
        HostContainer host(kit, QString(), [&kit](Hypodermic::ContainerBuilder& builder) {
            builder.registerInstance(std::shared_ptr<RQ::IProgressStrategy>(kit.progress));
            builder.registerInstance(std::shared_ptr<ManagerKit::Manager::ResultStrategy>(kit.result));
        });
        const auto manager = host.Resolve(1).front();
        // The library's builder, merged after the host's, leaves the host's own registrations alone.
        QVERIFY(host.container->resolve<RQ::IProgressStrategy>() == kit.progress);

        // A missing file stops the progress and shows the result, in the plug-in's windows.
        QVERIFY(!manager->ShareFile(ioPath(kit.Path(QStringLiteral("gone.mp4")).toStdString()), {}));
        QVERIFY(TestSupport::VisibleWindow(QStringLiteral("sharingResultWindow")));
        QVERIFY(kit.result->outcomes.empty());
        QVERIFY(kit.progress->calls.isEmpty());
    }
};

TAVRIX_TEST_MAIN(TestYouTubeService)
#include "tst_YouTubeService.moc"
