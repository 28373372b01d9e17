#include <Hypodermic/Hypodermic.h>

#include "RuntimeRegistration.h"
#include "TestMain.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using Hypodermic::ActivationException;
using Hypodermic::CircularDependencyException;
using Hypodermic::ComponentContext;
using Hypodermic::Container;
using Hypodermic::ContainerBuilder;
using Hypodermic::ResolutionException;

// Named namespaces: the container's messages name these types.
namespace CompatTest
{
struct IClock
{
    virtual ~IClock() = default;
    virtual int Now() const = 0;
};
struct SystemClock : IClock
{
    int Now() const override { return 1; }
};
struct FrozenClock : IClock
{
    int Now() const override { return 2; }
};
struct IStore
{
    virtual ~IStore() = default;
};
struct MemoryStore : IStore
{
};
struct IMissing
{
    virtual ~IMissing() = default;
    virtual void Use() = 0;
};
struct NeedsMissing
{
    explicit NeedsMissing(std::shared_ptr<IMissing>) {}
};
struct NeedsNeedsMissing
{
    explicit NeedsNeedsMissing(const std::shared_ptr<NeedsMissing>&) {}
};

struct Report
{
    Report(std::shared_ptr<IClock> clock, const std::shared_ptr<IStore>& store) : clock(std::move(clock)), store(store) {}
    std::shared_ptr<IClock> clock;
    std::shared_ptr<IStore> store;
};
struct Audit
{
    explicit Audit(std::shared_ptr<IClock> clock) : clock(std::move(clock)) {}
    std::shared_ptr<IClock> clock;
};
struct Journal
{
    explicit Journal(const std::shared_ptr<IClock>& clock) : clock(clock) {}
    std::shared_ptr<IClock> clock;
};

struct TwoWays
{
    TwoWays() = default;
    explicit TwoWays(std::shared_ptr<IClock>) : viaDefault(false) {}
    bool viaDefault = true;
};
struct Shortest
{
    Shortest(std::shared_ptr<IClock>, std::shared_ptr<IStore>, std::shared_ptr<IClock>) : arity(3) {}
    Shortest(std::shared_ptr<IClock>, std::shared_ptr<IStore>) : arity(2) {}
    int arity;
};

struct Exploding
{
    static inline int attempts = 0;
    Exploding()
    {
        if (attempts++ == 0)
            throw std::runtime_error("disk full");
    }
};
struct NeedsExploding
{
    explicit NeedsExploding(std::shared_ptr<Exploding>) {}
};

struct CycleB;
struct CycleA
{
    explicit CycleA(std::shared_ptr<CycleB>) {}
};
struct CycleB
{
    explicit CycleB(std::shared_ptr<CycleA>) {}
};
} // namespace CompatTest

// Where each container puts the throw location: after the message.
template <class TException>
QString MessageOf(const TException& error)
{
    const QString message = QString::fromStdString(error.message());
    const QString what = QString::fromUtf8(error.what());
    if (!what.startsWith(message + " - Throw location: "))
        return QStringLiteral("what() does not begin with the message: ") + what;
    return message;
}

// The shape of the plug-in's own registration: a service with ten dependencies, some host
// interfaces, some concrete host classes that only the container builds, two substitutions.
namespace Host
{
std::vector<std::string> built;

#define HOST_INTERFACE(Name)                                                                                 \
    struct Name                                                                                              \
    {                                                                                                        \
        virtual ~Name() = default;                                                                           \
        virtual int Id() const = 0;                                                                          \
    };                                                                                                       \
    struct Name##Impl : Name                                                                                 \
    {                                                                                                        \
        int Id() const override { return 0; }                                                                \
    };
HOST_INTERFACE(IProductSettings)
HOST_INTERFACE(IAppSettings)
HOST_INTERFACE(ICustomization)
HOST_INTERFACE(ILookAndFeel)
HOST_INTERFACE(ILinks)
HOST_INTERFACE(IStreams)
HOST_INTERFACE(IFiles)
HOST_INTERFACE(IUiSettings)
HOST_INTERFACE(IAudio)
HOST_INTERFACE(IOpener)
HOST_INTERFACE(IProgress)
#undef HOST_INTERFACE

template <class TContext, class TResult>
struct IResult
{
    virtual ~IResult() = default;
    virtual void Show(const TContext&, TResult) = 0;
};
struct Context
{
};
using IResultStrategy = IResult<Context, int>;
struct HostResult : IResultStrategy
{
    void Show(const Context&, int) override {}
};

struct Settings
{
    explicit Settings(const std::shared_ptr<IProductSettings>&) { built.push_back("Settings"); }
};
struct Paths
{
    Paths(const std::shared_ptr<ICustomization>& customization, const std::shared_ptr<IAppSettings>&)
        : customization(customization)
    {
        built.push_back("Paths");
    }
    std::shared_ptr<ICustomization> customization;
};
struct Parents
{
    Parents() { built.push_back("Parents"); }
};
struct ProgressBehaviour : IProgress
{
    explicit ProgressBehaviour(const std::shared_ptr<Parents>& parents) : parents(parents)
    {
        built.push_back("ProgressBehaviour");
    }
    int Id() const override { return 1; }
    std::shared_ptr<Parents> parents;
};
struct ResultBehaviour : IResultStrategy
{
    ResultBehaviour(const std::shared_ptr<IUiSettings>&, const std::shared_ptr<Parents>&, const std::shared_ptr<IAudio>&,
                    const std::shared_ptr<IFiles>&, const std::shared_ptr<IOpener>&,
                    const std::shared_ptr<ICustomization>& customization)
        : customization(customization)
    {
        built.push_back("ResultBehaviour");
    }
    void Show(const Context&, int) override {}
    std::shared_ptr<ICustomization> customization;
};

struct IService
{
    virtual ~IService() = default;
    virtual void Share() = 0;
};
struct Manager : IService
{
    Manager(const std::shared_ptr<Settings>&, const std::shared_ptr<Paths>& paths, const std::shared_ptr<IStreams>&,
            const std::shared_ptr<IFiles>& files, const std::shared_ptr<ICustomization>& customization,
            const std::shared_ptr<ILookAndFeel>&, const std::shared_ptr<ILinks>&, const std::shared_ptr<Parents>& parents,
            const std::shared_ptr<IProgress>& progress, const std::shared_ptr<IResultStrategy>& result)
        : paths(paths), files(files), customization(customization), parents(parents), progress(progress), result(result)
    {
        built.push_back("Manager");
    }
    void Share() override {}
    std::shared_ptr<Paths> paths;
    std::shared_ptr<IFiles> files;
    std::shared_ptr<ICustomization> customization;
    std::shared_ptr<Parents> parents;
    std::shared_ptr<IProgress> progress;
    std::shared_ptr<IResultStrategy> result;
};

// What the library hands the host, and how the host later asks for the service.
ContainerBuilder LibraryRegistrations()
{
    ContainerBuilder builder;
    builder.registerType<Manager>().with<IProgress, ProgressBehaviour>().with<IResultStrategy, ResultBehaviour>();
    return builder;
}

std::shared_ptr<IService> ResolveService(ComponentContext& context)
{
    return context.resolve<Manager>();
}

std::shared_ptr<Container> BuildHost(bool withFiles)
{
    ContainerBuilder builder;
    builder.registerInstance<IProductSettings>(std::make_shared<IProductSettingsImpl>());
    builder.registerInstance<IAppSettings>(std::make_shared<IAppSettingsImpl>());
    builder.registerType<ICustomizationImpl>().as<ICustomization>().singleInstance();
    builder.registerType<ILookAndFeelImpl>().as<ILookAndFeel>();
    builder.registerInstance<ILinks>(std::make_shared<ILinksImpl>());
    builder.registerInstance<IStreams>(std::make_shared<IStreamsImpl>());
    if (withFiles)
        builder.registerType<IFilesImpl>().as<IFiles>().singleInstance();
    builder.registerInstance<IUiSettings>(std::make_shared<IUiSettingsImpl>());
    builder.registerInstance<IAudio>(std::make_shared<IAudioImpl>());
    builder.registerInstance<IOpener>(std::make_shared<IOpenerImpl>());
    // The host's own strategies, which the service must not receive.
    builder.registerType<IProgressImpl>().as<IProgress>();
    builder.registerType<HostResult>().as<IResultStrategy>();
    builder.registerInstanceFactory([](ComponentContext& context) { return ResolveService(context); });
    builder.addRegistrations(LibraryRegistrations());
    return builder.build();
}
} // namespace Host

using namespace CompatTest;

class TestHypodermicCompat : public QObject
{
    Q_OBJECT

private slots:
    void unresolvableTypeIsNamed_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<QString>("consumer");
        QTest::newRow("unregistered interface") << 0 << QString();
        QTest::newRow("dependency one level down") << 1 << "CompatTest.NeedsMissing";
        // Wrapped once, by the direct consumer; the levels above pass that on unchanged.
        QTest::newRow("dependency two levels down") << 2 << "CompatTest.NeedsMissing";
    }

    void unresolvableTypeIsNamed()
    {
        QFETCH(int, depth);
        QFETCH(QString, consumer);
        const auto container = ContainerBuilder().build();
        QString text;
        try
        {
            if (depth == 0)
                container->resolve<IMissing>();
            else if (depth == 1)
                container->resolve<NeedsMissing>();
            else
                container->resolve<NeedsNeedsMissing>();
            QFAIL("resolved a type that cannot be built");
        }
        catch (const ResolutionException& error)
        {
            QCOMPARE(depth, 0);
            text = MessageOf(error);
        }
        catch (const ActivationException& error)
        {
            QVERIFY(depth > 0);
            text = MessageOf(error);
        }
        const QString missing = QStringLiteral("Unable to resolve CompatTest.IMissing");
        const QString expected = consumer.isEmpty() ? missing : "Unable to activate instance of type " + consumer + ": " + missing;
        QVERIFY2(text.startsWith(expected), qPrintable(text));
    }

    void lifetimes_data()
    {
        QTest::addColumn<bool>("single");
        QTest::newRow("single instance") << true;
        QTest::newRow("transient") << false;
    }

    void lifetimes()
    {
        QFETCH(bool, single);
        ContainerBuilder builder;
        if (single)
            builder.registerType<SystemClock>().as<IClock>().singleInstance();
        else
            builder.registerType<SystemClock>().as<IClock>();
        const auto container = builder.build();
        const auto first = container->resolve<IClock>();
        QVERIFY(dynamic_cast<SystemClock*>(first.get()));
        QCOMPARE(container->resolve<IClock>() == first, single);
        QVERIFY(builder.build()->resolve<IClock>() != first);
    }

    void namesOfARegistration()
    {
        ContainerBuilder builder;
        builder.registerType<SystemClock>().as<IClock>().singleInstance();
        builder.registerType<MemoryStore>().as<IStore>().asSelf().singleInstance();
        const auto container = builder.build();
        // After as<>() alone the class is no longer that registration: asking for it builds another.
        QVERIFY(container->resolve<SystemClock>().get() != container->resolve<IClock>().get());
        // asSelf() keeps both names on the one instance.
        QCOMPARE(static_cast<IStore*>(container->resolve<MemoryStore>().get()), container->resolve<IStore>().get());
    }

    void lastRegistrationWins_data()
    {
        QTest::addColumn<bool>("merged");
        QTest::addColumn<bool>("libraryLast");
        QTest::addColumn<int>("now");
        QTest::newRow("one builder") << false << true << 2;
        QTest::newRow("library merged into host") << true << true << 2;
        QTest::newRow("host merged into library") << true << false << 1;
    }

    void lastRegistrationWins()
    {
        QFETCH(bool, merged);
        QFETCH(bool, libraryLast);
        ContainerBuilder host;
        host.registerType<SystemClock>().as<IClock>();
        host.registerType<MemoryStore>().as<IStore>();
        ContainerBuilder library;
        library.registerType<FrozenClock>().as<IClock>();
        ContainerBuilder& target = libraryLast ? host : library;
        if (merged)
            target.addRegistrations(libraryLast ? library : host);
        else
            host.registerType<FrozenClock>().as<IClock>();
        const auto container = target.build();
        QTEST(container->resolve<IClock>()->Now(), "now");
        QVERIFY(container->resolve<IStore>());
    }

    void buildsUnregisteredClassesWithRegisteredObjects()
    {
        const auto clock = std::make_shared<SystemClock>();
        const auto store = std::make_shared<MemoryStore>();
        ContainerBuilder builder;
        builder.registerInstance<IClock>(clock);
        builder.registerInstance<IStore>(store);
        const auto container = builder.build();
        const auto report = container->resolve<Report>();
        QCOMPARE(report->clock.get(), static_cast<IClock*>(clock.get()));
        QCOMPARE(report->store.get(), static_cast<IStore*>(store.get()));
        QVERIFY(container->resolve<Report>() != report);
    }

    void constructorChoice()
    {
        ContainerBuilder builder;
        builder.registerInstance<IClock>(std::make_shared<SystemClock>());
        builder.registerInstance<IStore>(std::make_shared<MemoryStore>());
        builder.registerType<TwoWays>();
        const auto container = builder.build();
        QVERIFY(container->resolve<TwoWays>()->viaDefault);
        QCOMPARE(container->resolve<Shortest>()->arity, 2);
    }

    void substitutionIsForOneConsumerOnly()
    {
        ContainerBuilder builder;
        builder.registerType<SystemClock>().as<IClock>();
        builder.registerType<Audit>().with<IClock, FrozenClock>();
        builder.registerType<Journal>();
        const auto container = builder.build();
        QCOMPARE(container->resolve<Audit>()->clock->Now(), 2);
        QCOMPARE(container->resolve<Journal>()->clock->Now(), 1);
        QCOMPARE(container->resolve<Report>()->clock->Now(), 1);
        QCOMPARE(container->resolve<IClock>()->Now(), 1);
    }

    void containerAndFactoryContexts()
    {
        ContainerBuilder builder;
        builder.registerInstance<IClock>(std::make_shared<FrozenClock>());
        builder.registerInstance<IStore>(std::make_shared<MemoryStore>());
        int calls = 0;
        builder.registerInstanceFactory([&calls](ComponentContext& context) {
            ++calls;
            return std::make_shared<Audit>(context.resolve<IClock>());
        });
        const auto container = builder.build();
        QCOMPARE(container->resolve<Container>().get(), container.get());
        const auto audit = container->resolve<Audit>();
        QVERIFY(container->resolve<Audit>() != audit);
        QCOMPARE(calls, 2);
        QCOMPARE(audit->clock->Now(), 2);
    }

    void hostResolvesTheServiceWithItsSubstitutions()
    {
        Host::built.clear();
        const auto container = Host::BuildHost(true);
        const auto first = container->resolve<Host::IService>();
        // Parents is transient, so each consumer gets its own. The order in which parameters are
        // built is the container's own (right to left in the original), so only the set counts.
        std::vector<std::string> built = Host::built;
        std::sort(built.begin(), built.end() - 1);
        const std::vector<std::string> expected{"Parents",  "Parents",           "Parents",         "Paths",
                                                "ProgressBehaviour", "ResultBehaviour", "Settings", "Manager"};
        QCOMPARE(built, expected);
        const auto second = container->resolve<Host::IService>();
        QVERIFY(first != second);

        const auto manager = std::dynamic_pointer_cast<Host::Manager>(first);
        QVERIFY(manager);
        const auto progress = std::dynamic_pointer_cast<Host::ProgressBehaviour>(manager->progress);
        QVERIFY(progress);
        QVERIFY(progress->parents != manager->parents);
        const auto result = std::dynamic_pointer_cast<Host::ResultBehaviour>(manager->result);
        QVERIFY(result);
        QCOMPARE(result->customization, manager->customization);
        QCOMPARE(manager->paths->customization, manager->customization);
        QCOMPARE(std::dynamic_pointer_cast<Host::Manager>(second)->files, manager->files);
        // The host's own strategies are untouched for everybody else.
        QVERIFY(std::dynamic_pointer_cast<Host::IProgressImpl>(container->resolve<Host::IProgress>()));
        QVERIFY(std::dynamic_pointer_cast<Host::HostResult>(container->resolve<Host::IResultStrategy>()));
    }

    void hostWithoutAnInterfaceNamesIt()
    {
        const auto container = Host::BuildHost(false);
        try
        {
            container->resolve<Host::IService>();
            QFAIL("resolved a service without its file manager");
        }
        catch (const ActivationException& error)
        {
            // Which consumer reports it depends on the order parameters are built in: the
            // manager itself, or the result window that needs the file manager too.
            const QString text = MessageOf(error);
            QVERIFY2(text.startsWith("Unable to activate instance of type Host.") && text.contains(": Unable to resolve Host.IFiles"),
                     qPrintable(text));
        }
    }

    void constructorExceptionIsWrapped_data()
    {
        QTest::addColumn<bool>("asDependency");
        QTest::newRow("resolved directly") << false;
        QTest::newRow("one level down") << true;
    }

    void constructorExceptionIsWrapped()
    {
        QFETCH(bool, asDependency);
        Exploding::attempts = 0;
        const auto container = ContainerBuilder().build();
        try
        {
            if (asDependency)
                container->resolve<NeedsExploding>();
            else
                container->resolve<Exploding>();
            QFAIL("the constructor's exception was lost");
        }
        catch (const ActivationException& error)
        {
            QCOMPARE(MessageOf(error), QStringLiteral("Unable to activate instance of type CompatTest.Exploding: disk full"));
        }
        // The failure leaves nothing behind that blocks the next resolve.
        QVERIFY(container->resolve<NeedsExploding>());
    }

    void emptyInstanceIsRefused_data()
    {
        QTest::addColumn<bool>("factory");
        QTest::addColumn<bool>("asDependency");
        QTest::newRow("registered instance") << false << false;
        QTest::newRow("factory result") << true << false;
        QTest::newRow("factory result one level down") << true << true;
    }

    void emptyInstanceIsRefused()
    {
        QFETCH(bool, factory);
        QFETCH(bool, asDependency);
        ContainerBuilder builder;
        if (factory)
            builder.registerInstanceFactory([](ComponentContext&) { return std::shared_ptr<IClock>(); });
        else
            builder.registerInstance(std::shared_ptr<IClock>());
        const auto container = builder.build();
        try
        {
            if (asDependency)
                container->resolve<Audit>();
            else
                container->resolve<IClock>();
            QFAIL("an empty instance was handed out");
        }
        catch (const ActivationException& error)
        {
            QCOMPARE(MessageOf(error), QStringLiteral("Unable to activate instance of type CompatTest.IClock"));
        }
    }

    void runtimeRegistrationSwitch_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }

    void runtimeRegistrationSwitch()
    {
        QFETCH(bool, enabled);
        ContainerBuilder builder;
        builder.registerType<SystemClock>().as<IClock>();
        builder.registerType<MemoryStore>().as<IStore>();
        builder.registerType<Audit>();
        const auto container = builder.build();
        const TestSupport::ScopedRuntimeRegistration runtimeRegistration(enabled);
        QString refused;
        try
        {
            QCOMPARE(container->resolve<Report>()->clock->Now(), 1);
        }
        catch (const ResolutionException& error)
        {
            refused = MessageOf(error);
        }
        // Registered types are built either way.
        QVERIFY(container->resolve<Audit>());
        QCOMPARE(refused, enabled ? QString() : QStringLiteral("Unable to resolve CompatTest.Report"));
    }

    void cycleThrows_data()
    {
        QTest::addColumn<bool>("single");
        QTest::newRow("transient") << false;
        QTest::newRow("single instances") << true;
    }

    void cycleThrows()
    {
        QFETCH(bool, single);
        ContainerBuilder builder;
        if (single)
        {
            builder.registerType<CycleA>().singleInstance();
            builder.registerType<CycleB>().singleInstance();
        }
        const auto container = builder.build();
        try
        {
            container->resolve<CycleA>();
            QFAIL("a dependency cycle was resolved");
        }
        catch (const CircularDependencyException& error)
        {
            const QString text = MessageOf(error);
            QVERIFY2(text.startsWith("Circular dependency detected while activating CompatTest.CycleB: "
                                     "Already activating CompatTest.CycleA"),
                     qPrintable(text));
        }
    }
};

TAVRIX_TEST_MAIN(TestHypodermicCompat)
#include "tst_HypodermicCompat.moc"
