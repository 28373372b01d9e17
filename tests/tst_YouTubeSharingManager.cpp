// The sharing manager: whole sharings from ShareFile to the result through
// the protocol fake and recording host windows, and what the manager itself
// owns (Cancel and Reset, its registry entry, the services it refuses).

#include "YouTubeSharingManager.h"

#include "UI/YouTubeSharingDialog.h"

#include "CoreUtils.h"
#include "LogCapture.h"
#include "ManagerKit.h"
#include "SocialUI.h"
#include "TestMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace Tavrix;
using Tavrix::RQ::ConvertationContext;
using Tavrix::RQ::Service::Sharing::AbstractSharingManager;
using Tavrix::RQ::Service::Sharing::UI::SharingAuthorizationDialog;
using Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingDialog;
using Tavrix::Social::RequestResult;
using TestSupport::Button;
using TestSupport::Child;
using TestSupport::LogCapture;
using TestSupport::ManagerKit;
using Flags = std::set<std::int32_t>;
using Parameters = QMap<QString, QString>;
Q_DECLARE_METATYPE(Flags)

namespace {

const QUrl kVideoUrl(QStringLiteral("https://youtu.be/abc123"));
const QUrl kProfileUrl(QStringLiteral("https://www.youtube.com/channel/UC123"));
const char kClosed[] = "Tavrix::RQ::ProjectManager::Close: Closed ";

SharingAuthorizationDialog* PromptOf(QWidget* dialog)
{
    return dialog ? dialog->findChild<SharingAuthorizationDialog*>() : nullptr;
}

// One sharing: the kit, its manager and the manager's signals.
struct Sharing
{
    explicit Sharing(bool signedIn = false)
        : kit(signedIn)
    {
    }

    // Writes the "converted" file where the manager wants it and hands back the context.
    static ConvertationContext Convert(const ConvertationContext& context)
    {
        TestSupport::WriteFile(QString::fromStdString(context.outputPath.utf8string()), "converted video");
        return context;
    }

    // The user shares clip.mp4; the dialog that shows, or null.
    YouTubeSharingDialog* Share()
    {
        dialog = manager->ShareFile(kit.WriteFile(QStringLiteral("clip.mp4")), {}) ? kit.ShownDialog() : nullptr;
        return dialog;
    }

    // Presses Start and runs `act` inside the authorization prompt's own event
    // loop; false when the prompt did not run or `act` left it open. A prompt
    // left open is closed, so a wrong flow fails the test instead of blocking it.
    bool StartThroughPrompt(const std::function<void(SharingAuthorizationDialog&)>& act)
    {
        bool ran = false;
        bool leftOpen = false;
        // Owned here, so it cannot fire after this returns when no prompt showed.
        QTimer answer;
        answer.setSingleShot(true);
        QObject::connect(&answer, &QTimer::timeout, dialog, [this, &act, &ran, &leftOpen] {
            SharingAuthorizationDialog* prompt = PromptOf(dialog);
            ran = prompt && prompt->isVisible();
            if (!ran)
                return;
            act(*prompt);
            leftOpen = prompt->isVisible();
            prompt->hide();
        });
        answer.start(0);
        QTest::mouseClick(Button(dialog, "startButton"), Qt::LeftButton);
        return ran && !leftOpen;
    }

    // The user shares a file and presses Start; signed in, the host converts it.
    bool ShareAndConvert(ConvertationContext& converted, bool keepLocalCopy = false)
    {
        if (!Share())
            return false;
        Child<QCheckBox>(dialog, "saveAsLocalFileCheckBox")->setChecked(keepLocalCopy);
        QTest::mouseClick(Button(dialog, "startButton"), Qt::LeftButton);
        if (toUpload.size() != 1)
            return false;
        converted = Convert(toUpload.front().at(0).value<ConvertationContext>());
        return true;
    }

    ManagerKit kit;
    std::unique_ptr<ManagerKit::Manager> manager = kit.Make();
    YouTubeSharingDialog* dialog = nullptr;
    // What the manager asked the host to convert: to upload, or (context, saveOnly) to save.
    QSignalSpy toUpload{manager.get(),
                        qOverload<const ConvertationContext&>(&AbstractSharingManager::ConvertingRequested)};
    QSignalSpy toSave{manager.get(),
                      qOverload<const ConvertationContext&, bool>(&AbstractSharingManager::ConvertingRequested)};
    QSignalSpy started{manager.get(), &AbstractSharingManager::SharingStarted};
    QSignalSpy finished{manager.get(), &AbstractSharingManager::SharingFinished};
    QSignalSpy canceled{manager.get(), &AbstractSharingManager::SharingCanceled};
};

// Signs in through the fake as the protocol would after the browser step:
// sign-in callback, then the profile the sign-in logic asks for.
void CompleteSignIn(TestSupport::FakeYoutubeProtocol& protocol, const QUrl& profile)
{
    protocol.loggedIn = true;
    protocol.FinishLogIn(protocol.LastTicket(QStringLiteral("LogIn")), RequestResult::Success);
    protocol.AnswerUserProfile(protocol.LastTicket(QStringLiteral("RequestUserProfile")), RequestResult::Success,
                               profile);
}

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
    void initTestCase()
    {
        qRegisterMetaType<ConvertationContext>();
        qRegisterMetaType<Parameters>("QMap<QString,QString>");
    }

    void cleanup() { RQ::InstanceRegistry::SetInstance(nullptr); }

    // A file that is gone is a failed sharing; one that cannot be opened is
    // logged at a fixed place of the manager's file, for the host's filters.
    void shareFileRefused_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        using Failure = TestSupport::ScriptedFileManager::Failure;
        QTest::newRow("missing file") << int(Failure::None) << 0 << QString();
        QTest::newRow("host exception") << int(Failure::HostException) << 329
                                        << QStringLiteral("; reason: the probe found no streams");
        QTest::newRow("std::exception") << int(Failure::StdException) << 335
                                        << QStringLiteral("; reason: out of file handles");
        QTest::newRow("anything else") << int(Failure::Other) << 341 << QString();
    }

    void shareFileRefused()
    {
        QFETCH(int, failure);
        QFETCH(int, line);
        QFETCH(QString, reason);
        const bool missing = failure == int(TestSupport::ScriptedFileManager::Failure::None);
        Sharing sharing;
        sharing.kit.files->failure = TestSupport::ScriptedFileManager::Failure(failure);
        const ioPath source = missing ? ioPath(sharing.kit.Path(QStringLiteral("gone.mp4")).toStdString())
                                      : sharing.kit.WriteFile(QStringLiteral("broken.mp4"));
        LogCapture log;

        QVERIFY(!sharing.manager->ShareFile(source, {}));

        QCOMPARE(sharing.canceled.count(), 1);
        QVERIFY(!sharing.kit.ShownDialog());
        QCOMPARE(sharing.kit.parentProvider->Depth(), 0);
        QStringList errors;
        for (const LogCapture::Line& entry : log.Lines())
            if (entry.severity == google::GLOG_ERROR)
                errors << QStringLiteral("%1:%2: %3").arg(QString::fromStdString(entry.file)).arg(entry.line).arg(
                              QString::fromStdString(entry.text));
        const QString cannotLoad = QStringLiteral("YouTubeSharingManager.cpp:%1: Tavrix::RQ::Service::Sharing::YouTube::"
                                                  "YouTubeSharingManager::ShareFile:  Cannot load project: %2%3")
                                       .arg(line)
                                       .arg(QString::fromStdString(source.utf8string()), reason);
        QCOMPARE(errors, missing ? QStringList() : QStringList{cannotLoad});
        // Only the missing file is a sharing that failed; the others never began.
        const auto& outcomes = sharing.kit.result->outcomes;
        QCOMPARE(int(outcomes.size()), missing ? 1 : 0);
        if (missing)
        {
            QCOMPARE(int(outcomes.front().result), 1);
            QCOMPARE(outcomes.front().context.resultFlags, (Flags{1, 4}));
            QVERIFY(outcomes.front().context.url.isEmpty());
        }
    }

    // The upload ends as the protocol says; a cancel from the progress window
    // is passed on and the manager waits for that end too.
    void upload_data()
    {
        QTest::addColumn<bool>("keepLocalCopy");
        QTest::addColumn<QString>("saveTo");
        QTest::addColumn<Flags>("flags");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("exported file removed") << false << QStringLiteral("NO") << Flags{0, 1} << false;
        QTest::newRow("local copy kept") << true << QStringLiteral("YES") << Flags{1} << false;
        QTest::newRow("cancelled from the progress window") << false << QStringLiteral("NO") << Flags{0, 1} << true;
    }

    void upload()
    {
        QFETCH(bool, keepLocalCopy);
        QFETCH(QString, saveTo);
        QFETCH(Flags, flags);
        QFETCH(bool, cancel);
        const RequestResult ending = cancel ? RequestResult::Cancelled : RequestResult::Success;
        const QUrl url = cancel ? QUrl() : kVideoUrl;
        Sharing sharing(true);
        ManagerKit& kit = sharing.kit;

        ConvertationContext converted;
        QVERIFY(sharing.ShareAndConvert(converted, keepLocalCopy));
        QVERIFY(!kit.ShownDialog());
        const QString output = QString::fromStdString(converted.outputPath.utf8string());
        QVERIFY(output.startsWith(kit.Path(keepLocalCopy ? QStringLiteral("kept/") : QStringLiteral("exports/"))));

        QVERIFY(sharing.manager->Upload(converted));

        QCOMPARE(kit.progress->calls, (QStringList{QStringLiteral("SetSaveFormatTextGetter"), QStringLiteral("OnStart")}));
        QCOMPARE(kit.progress->textGetter(), QStringLiteral("Uploading to YouTube"));
        const auto uploads = kit.protocol->CallsNamed(QStringLiteral("Upload"));
        QCOMPARE(int(uploads.size()), 1);
        QCOMPARE(uploads.front().args.at(0).toString(), output);
        QCOMPARE(sharing.started.count(), 1);
        QCOMPARE(sharing.started.front().at(0).toString(), QStringLiteral("video"));
        const QString preset = QString::fromStdString(converted.conversion->preset->GetId());
        QVERIFY(!preset.isEmpty());
        QCOMPARE(sharing.started.front().at(1).value<Parameters>(),
                 (Parameters{{QStringLiteral("CATEGORY"), QStringLiteral("22")},
                             {QStringLiteral("PRIVACY"), QStringLiteral("UNLISTED")},
                             {QStringLiteral("RESOLUTION"), preset},
                             {QStringLiteral("SAVE_TO"), saveTo}}));
        // Progress reaches the progress window as a fraction, timed from the
        // upload's start: this test takes far less than a minute.
        QVERIFY(kit.protocol->ReportProgress(uploads.front().ticket, 37));
        QCOMPARE(kit.progress->steps.back().fraction, 0.37f);
        QVERIFY(kit.progress->steps.back().elapsed < QTime(0, 1));
        if (cancel)
        {
            kit.protocol->calls.clear();
            emit kit.progress->CancelRequested();
            QCOMPARE(kit.protocol->CallNames(), QStringList{QStringLiteral("Cancel")});
            QCOMPARE(kit.protocol->calls.front().args, (QVariantList{uploads.front().ticket}));
        }
        QVERIFY(kit.result->outcomes.empty());
        QCOMPARE(sharing.finished.count(), 0);

        QVERIFY(kit.protocol->FinishUpload(uploads.front().ticket, ending, url));

        QCOMPARE(QFile::exists(output), keepLocalCopy);
        QCOMPARE(int(kit.result->outcomes.size()), 1);
        QCOMPARE(kit.result->outcomes.front().result, ending);
        QCOMPARE(kit.result->outcomes.front().context.resultFlags, flags);
        QCOMPARE(kit.result->outcomes.front().context.url, url);
        QCOMPARE(kit.result->outcomes.front().context.context.outputPath, converted.outputPath);
        QCOMPARE(QList<QVariantList>(sharing.finished), QList<QVariantList>{QVariantList{!cancel}});
        QCOMPARE(kit.progress->calls.last(), QStringLiteral("OnStop"));
        QCOMPARE(kit.parentProvider->Depth(), 0);
    }

    void saveWithoutUpload()
    {
        Sharing sharing;
        QVERIFY(sharing.Share());

        QVERIFY(sharing.StartThroughPrompt([](SharingAuthorizationDialog& prompt) {
            QCOMPARE(prompt.GetState(), SharingAuthorizationDialog::SignInRequired);
            QTest::mouseClick(Button(&prompt, "secondaryButton"), Qt::LeftButton);
        }));

        QVERIFY(!sharing.dialog->isVisible());
        QVERIFY(sharing.toUpload.empty());
        QCOMPARE(int(sharing.toSave.size()), 1);
        QCOMPARE(sharing.toSave.front().at(1).toBool(), true);
        const ConvertationContext converted =
            Sharing::Convert(sharing.toSave.front().at(0).value<ConvertationContext>());

        QVERIFY(sharing.manager->Upload(converted));

        QCOMPARE(QList<QVariantList>(sharing.finished), QList<QVariantList>{QVariantList{true}});
        QVERIFY(sharing.kit.protocol->CallsNamed(QStringLiteral("Upload")).empty());
        QVERIFY(sharing.kit.result->outcomes.empty());
        // The user asked for the file: it stays.
        QVERIFY(converted.outputPath.exists());
        QCOMPARE(sharing.kit.parentProvider->Depth(), 0);
    }

    void uploadRefused_data()
    {
        QTest::addColumn<bool>("shareFirst");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<Flags>("flags");
        QTest::newRow("no sharing, signed in") << false << true << Flags{1};
        QTest::newRow("signed out during the conversion") << true << false << Flags{0, 1};
    }

    void uploadRefused()
    {
        QFETCH(bool, shareFirst);
        QFETCH(bool, signedIn);
        QFETCH(Flags, flags);
        Sharing sharing(true);
        ConvertationContext converted;
        if (shareFirst)
            QVERIFY(sharing.ShareAndConvert(converted));
        sharing.kit.protocol->loggedIn = signedIn;

        QVERIFY(!sharing.manager->Upload(converted));

        QCOMPARE(sharing.canceled.count(), 1);
        QCOMPARE(sharing.finished.count(), 0);
        QVERIFY(sharing.kit.protocol->CallsNamed(QStringLiteral("Upload")).empty());
        QCOMPARE(int(sharing.kit.result->outcomes.size()), 1);
        QCOMPARE(int(sharing.kit.result->outcomes.front().result), 1);
        QCOMPARE(sharing.kit.result->outcomes.front().context.resultFlags, flags);
        if (shareFirst)
            QVERIFY(converted.outputPath.exists());
    }

    void signInWhilePromptRuns_data()
    {
        QTest::addColumn<QUrl>("profile");
        QTest::addColumn<int>("conversions");
        QTest::newRow("usable account") << kProfileUrl << 1;
        QTest::newRow("account without a channel") << QUrl() << 0;
    }

    void signInWhilePromptRuns()
    {
        QFETCH(QUrl, profile);
        QFETCH(int, conversions);
        Sharing sharing;
        ManagerKit& kit = sharing.kit;
        QVERIFY(sharing.Share());
        int conversionsInsideTheLoop = -1;
        SharingAuthorizationDialog::State stateAfterSignIn = SharingAuthorizationDialog::SignInRequired;

        QVERIFY(sharing.StartThroughPrompt([&](SharingAuthorizationDialog& prompt) {
            QTest::mouseClick(Button(&prompt, "primaryButton"), Qt::LeftButton);
            QCOMPARE(int(kit.protocol->CallsNamed(QStringLiteral("LogIn")).size()), 1);
            CompleteSignIn(*kit.protocol, profile);
            conversionsInsideTheLoop = int(sharing.toUpload.size());
            stateAfterSignIn = prompt.GetState();
            if (prompt.isVisible())
                QTest::mouseClick(Button(&prompt, "primaryButton"), Qt::LeftButton); // "Back"
        }));

        QCOMPARE(conversionsInsideTheLoop, conversions);
        QCOMPARE(int(sharing.toUpload.size()), conversions);
        QVERIFY(sharing.toSave.empty());
        // Without a channel the prompt says so, and Back returns to the form.
        QCOMPARE(stateAfterSignIn == SharingAuthorizationDialog::ProfileInvalid, conversions == 0);
        QCOMPARE(sharing.dialog->isVisible(), conversions == 0);
        // The rest of the user's information arriving later starts nothing more.
        kit.protocol->AnswerUserName(kit.protocol->LastTicket(QStringLiteral("RequestUserName")),
                                     RequestResult::Success, QStringLiteral("Ann"));
        kit.protocol->AnswerUserPicture(kit.protocol->LastTicket(QStringLiteral("RequestUserPicture")),
                                        RequestResult::Success, QPixmap(8, 8));
        QCOMPARE(int(sharing.toUpload.size()), conversions);
    }

    void signInOutsideAStartStartsNothing()
    {
        Sharing sharing;
        YouTubeSharingDialog* dialog = sharing.Share();
        QVERIFY(dialog);

        // The dialog's own sign-in button: the prompt is not running.
        QTest::mouseClick(Button(dialog, "signInButton"), Qt::LeftButton);
        QCOMPARE(int(sharing.kit.protocol->CallsNamed(QStringLiteral("LogIn")).size()), 1);
        CompleteSignIn(*sharing.kit.protocol, kProfileUrl);

        QVERIFY(sharing.toUpload.empty());
        QVERIFY(sharing.toSave.empty());
        QVERIFY(dialog->isVisible());
        QVERIFY(!PromptOf(dialog)->isVisible());
    }

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
        Sharing shared;
        ManagerKit& kit = shared.kit;
        const ioPath source = kit.WriteFile(QStringLiteral("clip.mp4"));
        // The host's window, which the dialog opens over.
        QWidget hostWindow;
        kit.parentProvider->PushParent(&hostWindow);
        if (sharing)
            QVERIFY(shared.manager->ShareFile(source, {{0, 500000}}));
        QPointer<YouTubeSharingDialog> dialog = kit.ShownDialog();
        QCOMPARE(dialog && dialog->isVisible(), sharing);
        kit.progress->calls.clear();
        kit.protocol->calls.clear();
        LogCapture log;

        if (cancel)
            shared.manager->Cancel();
        else
            shared.manager->Reset();

        QCOMPARE(shared.canceled.count(), cancel ? 1 : 0);
        QCOMPARE(shared.finished.count() + shared.started.count(), 0);
        QVERIFY(shared.toUpload.empty() && shared.toSave.empty());
        QCOMPARE(kit.progress->calls, QStringList{QStringLiteral("OnStop")});
        // The upload logic is asked to cancel even when it has nothing running.
        QCOMPARE(kit.protocol->CallNames(), QStringList{QStringLiteral("Cancel")});
        QCOMPARE(kit.protocol->calls.front().args, (QVariantList{qint64(-1)}));
        QCOMPARE(kit.parentProvider->GetParent(), &hostWindow);
        QCOMPARE(kit.parentProvider->Depth(), 1);
        QVERIFY(kit.result->outcomes.empty());
        const QStringList closed = log.Texts().filter(QLatin1String(kClosed));
        QCOMPARE(closed, sharing ? QStringList{QLatin1String(kClosed) + QString::fromStdString(source.utf8string())}
                                 : QStringList());
        // The dialog is kept for the next sharing, hidden and no longer the host window's child.
        if (sharing)
            QVERIFY(dialog && !dialog->isVisible() && !dialog->parentWidget());
        // With the request gone, a late Upload has nothing to send.
        kit.protocol->loggedIn = true;
        QVERIFY(!shared.manager->Upload(RQ::ConvertationContext()));
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

        QVERIFY_EXCEPTION_THROWN(kit.Make(), std::logic_error);
        // What was built before the refusal went away again, and nothing was entered.
        QCOMPARE(SharingDialogsAlive(), dialogsBefore);
        QVERIFY(registry.entered.empty());
    }

    void registryEntryLivesAsLongAsTheManager()
    {
        ManagerKit kit(true);
        WatchingRegistry registry;
        RQ::InstanceRegistry::SetInstance(&registry);
        auto manager = kit.Make();
        const std::string name = RQ::InstanceRegistry::Demangle(typeid(AbstractSharingManager).name());
        void* const self = static_cast<AbstractSharingManager*>(manager.get());
        QVERIFY(registry.entered == (std::vector<std::pair<std::string, void*>>{{name, self}}));
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

        QVERIFY(registry.left == registry.entered);
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

        QVERIFY(manager->ShareFile(kit.WriteFile(QStringLiteral("second.mp4")), {}));

        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->parentWidget() != dialog.data());
        QCOMPARE(kit.parentProvider->GetParent(), dialog.data());
        QCOMPARE(kit.parentProvider->Depth(), 1);
        QCOMPARE(Child<QLineEdit>(dialog, "titleEdit")->text(), QStringLiteral("second"));
    }
};

TAVRIX_TEST_MAIN(TestYouTubeSharingManager)
#include "tst_YouTubeSharingManager.moc"
