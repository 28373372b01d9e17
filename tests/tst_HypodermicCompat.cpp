#include <Hypodermic/Hypodermic.h>

#include "TestMain.h"

#include <functional>
#include <memory>
#include <stdexcept>

using Hypodermic::ActivationException;
using Hypodermic::CircularDependencyException;
using Hypodermic::ComponentContext;
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

// The shape of the library's manager: shared pointers by value and by const reference.
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
    Exploding() { throw std::runtime_error("disk full"); }
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

using namespace CompatTest;

namespace {
// Where each container puts the throw location: after the message.
template <class TException>
QString MessageOf(const QString& kind, const TException& error)
{
    const QString message = QString::fromStdString(error.message());
    const QString what = QString::fromUtf8(error.what());
    if (!what.startsWith(message + " - Throw location: "))
        return QStringLiteral("what() does not begin with the message: ") + what;
    return kind + ": " + message;
}

// Resolves T from a container of the builder; what was thrown, as "Kind: message".
using Attempt = std::function<QString()>;

template <class T>
Attempt Resolving(const ContainerBuilder& builder = {})
{
    return [builder] {
        try
        {
            builder.build()->resolve<T>();
            return QStringLiteral("resolved");
        }
        catch (const ResolutionException& error)
        {
            return MessageOf(QStringLiteral("Resolution"), error);
        }
        catch (const ActivationException& error)
        {
            return MessageOf(QStringLiteral("Activation"), error);
        }
        catch (const CircularDependencyException& error)
        {
            return MessageOf(QStringLiteral("Circular"), error);
        }
    };
}
} // namespace

Q_DECLARE_METATYPE(Attempt)

class TestHypodermicCompat : public QObject
{
    Q_OBJECT

private slots:
    void failuresNameTheirCause_data()
    {
        QTest::addColumn<Attempt>("attempt");
        QTest::addColumn<QString>("expected");

        const QString missing = QStringLiteral("Unable to resolve CompatTest.IMissing");
        QTest::newRow("unregistered interface") << Resolving<IMissing>() << "Resolution: " + missing;
        QTest::newRow("dependency one level down")
            << Resolving<NeedsMissing>() << "Activation: Unable to activate instance of type CompatTest.NeedsMissing: " + missing;
        // Wrapped once, by the direct consumer; the levels above pass that on unchanged.
        QTest::newRow("dependency two levels down")
            << Resolving<NeedsNeedsMissing>()
            << "Activation: Unable to activate instance of type CompatTest.NeedsMissing: " + missing;
        QTest::newRow("constructor throws one level down")
            << Resolving<NeedsExploding>() << "Activation: Unable to activate instance of type CompatTest.Exploding: disk full";

        ContainerBuilder emptyInstance;
        emptyInstance.registerInstance(std::shared_ptr<IClock>());
        QTest::newRow("empty registered instance")
            << Resolving<IClock>(emptyInstance) << "Activation: Unable to activate instance of type CompatTest.IClock";
        ContainerBuilder emptyFactory;
        emptyFactory.registerInstanceFactory([](ComponentContext&) { return std::shared_ptr<IClock>(); });
        QTest::newRow("empty factory result one level down")
            << Resolving<Audit>(emptyFactory) << "Activation: Unable to activate instance of type CompatTest.IClock";

        QTest::newRow("cycle") << Resolving<CycleA>()
                               << "Circular: Circular dependency detected while activating CompatTest.CycleB: "
                                  "Already activating CompatTest.CycleA";
    }

    void failuresNameTheirCause()
    {
        QFETCH(Attempt, attempt);
        QFETCH(QString, expected);
        const QString text = attempt();
        QVERIFY2(text.startsWith(expected), qPrintable(text));
    }

    void lifetimes()
    {
        ContainerBuilder builder;
        builder.registerType<SystemClock>().as<IClock>().singleInstance();
        builder.registerType<MemoryStore>().as<IStore>();
        const auto container = builder.build();
        const auto clock = container->resolve<IClock>();
        QCOMPARE(container->resolve<IClock>(), clock);
        QVERIFY(container->resolve<IStore>() != container->resolve<IStore>());
        // Single instances belong to one container.
        QVERIFY(builder.build()->resolve<IClock>() != clock);
    }

    void lastRegistrationWins()
    {
        ContainerBuilder host;
        host.registerType<SystemClock>().as<IClock>();
        host.registerType<MemoryStore>().as<IStore>();
        ContainerBuilder library;
        library.registerType<FrozenClock>().as<IClock>();
        host.addRegistrations(library);
        // Merged after the host's own, the library's registration wins; the host's others stay.
        const auto container = host.build();
        QCOMPARE(container->resolve<IClock>()->Now(), 2);
        QVERIFY(container->resolve<IStore>());
        // Within one builder too.
        host.registerType<SystemClock>().as<IClock>();
        QCOMPARE(host.build()->resolve<IClock>()->Now(), 1);
    }

    // Unregistered classes are built on the fly, transient, from the registered objects.
    void autowiresUnregisteredClasses()
    {
        const auto clock = std::make_shared<SystemClock>();
        const auto store = std::make_shared<MemoryStore>();
        ContainerBuilder builder;
        builder.registerInstance<IClock>(clock);
        builder.registerInstance<IStore>(store);
        builder.registerType<TwoWays>();
        const auto container = builder.build();
        const auto report = container->resolve<Report>();
        QCOMPARE(report->clock.get(), static_cast<IClock*>(clock.get()));
        QCOMPARE(report->store.get(), static_cast<IStore*>(store.get()));
        QVERIFY(container->resolve<Report>() != report);
        // The default constructor first, else the shortest one.
        QVERIFY(container->resolve<TwoWays>()->viaDefault);
        QCOMPARE(container->resolve<Shortest>()->arity, 2);
    }

    void substitutionIsForOneConsumerOnly()
    {
        ContainerBuilder builder;
        builder.registerType<SystemClock>().as<IClock>();
        builder.registerType<Audit>().with<IClock, FrozenClock>();
        const auto container = builder.build();
        QCOMPARE(container->resolve<Audit>()->clock->Now(), 2);
        QCOMPARE(container->resolve<Report>()->clock->Now(), 1);
        QCOMPARE(container->resolve<IClock>()->Now(), 1);
    }

    void factoryRunsAtEachResolve()
    {
        ContainerBuilder builder;
        builder.registerInstance<IClock>(std::make_shared<FrozenClock>());
        int calls = 0;
        builder.registerInstanceFactory([&calls](ComponentContext& context) {
            ++calls;
            return std::make_shared<Audit>(context.resolve<IClock>());
        });
        const auto container = builder.build();
        const auto audit = container->resolve<Audit>();
        QVERIFY(container->resolve<Audit>() != audit);
        QCOMPARE(calls, 2);
        QCOMPARE(audit->clock->Now(), 2);
    }
};

TAVRIX_TEST_MAIN(TestHypodermicCompat)
#include "tst_HypodermicCompat.moc"
