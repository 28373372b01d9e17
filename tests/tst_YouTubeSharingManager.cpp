#include "YouTubeSharingManager.h"

#include "UI/YouTubeSharingDialog.h"

#include "CoreUtils.h"
#include "LogCapture.h"
#include "ManagerKit.h"
#include "SocialUI.h"
#include "TestMain.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace Tavrix;
using Tavrix::RQ::Service::Sharing::AbstractSharingManager;
using Tavrix::RQ::Service::Sharing::UI::SharingAuthorizationDialog;
using Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingManager;
using Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingDialog;
using TestSupport::LogCapture;
using TestSupport::ManagerKit;

namespace {

const char kClosed[] = "Tavrix::RQ::ProjectManager::Close: Closed ";

// Remembers what was entered and left, and lets a test look around at the
// moment the manager leaves.
class WatchingRegistry : public RQ::InstanceRegistry
{
public:
    void DoRegister(const std::string& name, void* instance) override
    {
        entered.emplace_back(name, instance);
        InstanceRegistry::DoRegister(name, instance);
    }
    void DoUnregister(const std::string& name, void* instance) override
    {
        left.emplace_back(name, instance);
        if (onUnregister)
            onUnregister();
        InstanceRegistry::DoUnregister(name, instance);
    }

    std::vector<std::pair<std::string, void*>> entered;
    std::vector<std::pair<std::string, void*>> left;
    std::function<void()> onUnregister;
};

int SharingDialogsAlive()
{
    int count = 0;
    for (QWidget* widget : QApplication::allWidgets())
        count += qobject_cast<YouTubeSharingDialog*>(widget) ? 1 : 0;
    return count;
}

} // namespace

class TestYouTubeSharingManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<RQ::ConvertationContext>(); }

    void cleanup() { RQ::InstanceRegistry::SetInstance(nullptr); }

    // Cancel and Reset both stop everything; only Cancel says so.
    void cancelAndResetStopEverything_data()
    {
        QTest::addColumn<bool>("sharing");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancel idle") << false << true;
        QTest::newRow("cancel with the dialog shown") << true << true;
        QTest::newRow("reset with the dialog shown") << true << false;
    }

    void cancelAndResetStopEverything()
    {
        QFETCH(bool, sharing);
        QFETCH(bool, cancel);
        ManagerKit kit;
        auto manager = kit.Make();
        const ioPath source = kit.WriteFile(QStringLiteral("clip.mp4"));
        if (sharing)
        {
            QVERIFY(manager->ShareFile(source, {{0, 500000}}));
            QVERIFY(kit.ShownDialog());
            QVERIFY(kit.ShownDialog()->isVisible());
        }
        QPointer<YouTubeSharingDialog> dialog = kit.ShownDialog();
        kit.progress->calls.clear();
        kit.protocol->calls.clear();
        QSignalSpy canceled(manager.get(), &AbstractSharingManager::SharingCanceled);
        QSignalSpy finished(manager.get(), &AbstractSharingManager::SharingFinished);
        QSignalSpy started(manager.get(), &AbstractSharingManager::SharingStarted);
        QSignalSpy converting(manager.get(), qOverload<const RQ::ConvertationContext&>(
                                                 &AbstractSharingManager::ConvertingRequested));
        LogCapture log;

        if (cancel)
            manager->Cancel();
        else
            manager->Reset();

        QCOMPARE(canceled.count(), cancel ? 1 : 0);
        QCOMPARE(finished.count() + started.count() + converting.count(), 0);
        QCOMPARE(kit.progress->calls, QStringList{QStringLiteral("OnStop")});
        // The upload logic is asked to cancel even when it has nothing running.
        QCOMPARE(kit.protocol->CallNames(), QStringList{QStringLiteral("Cancel")});
        QCOMPARE(kit.protocol->calls.front().args, (QVariantList{qint64(-1)}));
        QCOMPARE(kit.parentProvider->Depth(), 0);
        QVERIFY(kit.result->outcomes.empty());
        const QStringList closed = log.Texts().filter(QLatin1String(kClosed));
        QCOMPARE(closed, sharing ? QStringList{QLatin1String(kClosed) + QString::fromStdString(source.utf8string())}
                                 : QStringList());
        if (sharing)
        {
            QVERIFY(dialog);
            QVERIFY(!dialog->isVisible());
            QVERIFY(!dialog->parentWidget());
        }
        // With the request gone, a late Upload has nothing to send.
        kit.protocol->loggedIn = true;
        QVERIFY(!manager->Upload(RQ::ConvertationContext()));
        QVERIFY(kit.protocol->CallsNamed(QStringLiteral("Upload")).empty());
    }

    void emptyServiceIsRefused_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::newRow("parent provider") << QStringLiteral("parentProvider");
        QTest::newRow("progress") << QStringLiteral("progress");
        QTest::newRow("result") << QStringLiteral("result");
    }

    void emptyServiceIsRefused()
    {
        QFETCH(QString, missing);
        ManagerKit kit;
        if (missing == QLatin1String("parentProvider"))
            kit.parentProvider.reset();
        else if (missing == QLatin1String("progress"))
            kit.progress.reset();
        else
            kit.result.reset();
        WatchingRegistry registry;
        RQ::InstanceRegistry::SetInstance(&registry);
        const int dialogsBefore = SharingDialogsAlive();

        try
        {
            kit.Make();
            QFAIL("a manager was built with an empty service");
        }
        catch (const std::logic_error& error)
        {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("NotNull can not initialized by null"));
        }
        // What was built before the refusal went away again, and nothing was entered.
        QCOMPARE(SharingDialogsAlive(), dialogsBefore);
        QVERIFY(registry.entered.empty());
    }

    void registryEntryLivesAsLongAsTheManager()
    {
        ManagerKit kit;
        kit.protocol->loggedIn = true;
        WatchingRegistry registry;
        RQ::InstanceRegistry::SetInstance(&registry);
        auto manager = kit.Make();
        const std::string name = RQ::InstanceRegistry::Demangle(typeid(AbstractSharingManager).name());
        void* const self = static_cast<AbstractSharingManager*>(manager.get());
        QCOMPARE(registry.entered.size(), size_t(1));
        QCOMPARE(registry.entered.front().first, name);
        QVERIFY(registry.entered.front().second == self);
        QVERIFY(registry.Find(name) == self);

        // Destroyed while the dialog is shown and the sign-in logic still waits
        // for the user's profile: the registry hears of it before any of that goes.
        QVERIFY(manager->ShareFile(kit.WriteFile(QStringLiteral("clip.mp4")), {}));
        QPointer<YouTubeSharingDialog> dialog = kit.ShownDialog();
        QPointer<SharingAuthorizationDialog> prompt = dialog->findChild<SharingAuthorizationDialog*>();
        QVERIFY(dialog && prompt);
        QVERIFY(kit.protocol->IsPending(kit.protocol->LastTicket(QStringLiteral("RequestUserProfile"))));
        kit.protocol->calls.clear();
        bool dialogsAlive = false;
        bool requestsStillOpen = false;
        registry.onUnregister = [&] {
            dialogsAlive = dialog && prompt && dialog->isVisible();
            requestsStillOpen = kit.protocol->CallsNamed(QStringLiteral("Cancel")).empty();
        };

        manager.reset();

        QCOMPARE(registry.left.size(), size_t(1));
        QVERIFY(registry.left.front() == registry.entered.front());
        QVERIFY(registry.Find(name) == nullptr);
        QVERIFY(dialogsAlive);
        QVERIFY(requestsStillOpen);
        QVERIFY(!dialog);
        QVERIFY(!prompt);
        QVERIFY(!kit.protocol->CallsNamed(QStringLiteral("Cancel")).empty());
    }

    void shareFileAgainAfterEscape()
    {
        // Escape hides the dialog without telling the manager, so the dialog
        // is still on the parent stack when the host shares the next file.
        ManagerKit kit;
        auto manager = kit.Make();
        QVERIFY(manager->ShareFile(kit.WriteFile(QStringLiteral("first.mp4")), {}));
        QPointer<YouTubeSharingDialog> dialog = kit.ShownDialog();
        QVERIFY(dialog);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        // Still pushed, but a hidden window is never offered as a parent.
        QCOMPARE(kit.parentProvider->Depth(), 1);
        QVERIFY(kit.parentProvider->GetParent() != dialog.data());

        QVERIFY(manager->ShareFile(kit.WriteFile(QStringLiteral("second.mp4")), {}));

        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->parentWidget() != dialog.data());
        QCOMPARE(kit.parentProvider->GetParent(), dialog.data());
        QCOMPARE(kit.parentProvider->Depth(), 1);
        QCOMPARE(ManagerKit::Child<QLineEdit>(dialog, "titleEdit")->text(), QStringLiteral("second"));
    }
};

TAVRIX_TEST_MAIN(TestYouTubeSharingManager)
#include "tst_YouTubeSharingManager.moc"
