#include "YouTubeSharingManager.h"

#include "UI/YouTubeSharingDialog.h"

#include "AppServices.h"
#include "CoreUtils.h"
#include "DesktopFakes.h"
#include "LogCapture.h"
#include "ManagerKit.h"
#include "SharingBehaviour.h"
#include "SocialUI.h"
#include "TestMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

#include <functional>
#include <set>
#include <vector>

using namespace Tavrix;
using Tavrix::RQ::ConvertationContext;
using Tavrix::RQ::Service::Sharing::AbstractSharingManager;
using Tavrix::RQ::Service::Sharing::UI::SharingAuthorizationDialog;
using Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingManager;
using Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingDialog;
using Tavrix::Social::RequestResult;
using TestSupport::LogCapture;
using TestSupport::ManagerKit;
using Flags = std::set<std::int32_t>;
Q_DECLARE_METATYPE(Flags)

namespace {

const QUrl kVideoUrl(QStringLiteral("https://youtu.be/abc123"));
const QUrl kProfileUrl(QStringLiteral("https://www.youtube.com/channel/UC123"));

// The host's side of a sharing: what the manager asked to convert.
struct Conversions
{
    explicit Conversions(AbstractSharingManager& manager)
    {
        QObject::connect(&manager, qOverload<const ConvertationContext&>(&AbstractSharingManager::ConvertingRequested),
                         &manager, [this](const ConvertationContext& context) { toUpload.push_back(context); });
        QObject::connect(&manager,
                         qOverload<const ConvertationContext&, bool>(&AbstractSharingManager::ConvertingRequested),
                         &manager, [this](const ConvertationContext& context, bool saveOnly) {
                             toSave.push_back(context);
                             saveOnlyFlags.push_back(saveOnly);
                         });
    }

    // Writes the "converted" file where the manager wants it and hands back the context.
    static ConvertationContext Convert(const ConvertationContext& context)
    {
        QFile file(QString::fromStdString(context.outputPath.utf8string()));
        file.open(QIODevice::WriteOnly);
        file.write("converted video");
        return context;
    }

    std::vector<ConvertationContext> toUpload;
    std::vector<ConvertationContext> toSave;
    std::vector<bool> saveOnlyFlags;
};

SharingAuthorizationDialog* PromptOf(QWidget* dialog)
{
    return dialog ? dialog->findChild<SharingAuthorizationDialog*>() : nullptr;
}

// Runs `act` inside the prompt's own event loop once it runs; closes a prompt
// the action left open, so a wrong flow fails the test instead of blocking it.
void WhenPromptRuns(QWidget* dialog, std::function<void(SharingAuthorizationDialog&)> act, bool& ran, bool& leftOpen)
{
    QTimer::singleShot(0, dialog, [dialog, act, &ran, &leftOpen] {
        SharingAuthorizationDialog* prompt = PromptOf(dialog);
        ran = prompt && prompt->isVisible();
        if (!ran)
            return;
        act(*prompt);
        leftOpen = prompt->isVisible();
        prompt->hide();
    });
}

QPushButton* Button(QWidget* parent, const char* name)
{
    return ManagerKit::Child<QPushButton>(parent, name);
}

// Signs in through the fake as the protocol would after the browser step:
// sign-in callback, then the profile the sign-in logic asks for.
void CompleteSignIn(TestSupport::FakeYoutubeProtocol& protocol, const QUrl& profile)
{
    protocol.loggedIn = true;
    protocol.FinishLogIn(protocol.LastTicket(QStringLiteral("LogIn")), RequestResult::Success);
    protocol.AnswerUserProfile(protocol.LastTicket(QStringLiteral("RequestUserProfile")), RequestResult::Success,
                               profile);
}

// A signed-in user shares a file and presses Start; the host converts it.
bool ShareAndConvert(ManagerKit& kit, AbstractSharingManager& manager, const Conversions& host,
                     ConvertationContext& converted, bool keepLocalCopy = false)
{
    if (!manager.ShareFile(kit.WriteFile(QStringLiteral("clip.mp4")), {}))
        return false;
    ManagerKit::Child<QCheckBox>(kit.ShownDialog(), "saveAsLocalFileCheckBox")->setChecked(keepLocalCopy);
    QTest::mouseClick(Button(kit.ShownDialog(), "startButton"), Qt::LeftButton);
    if (host.toUpload.size() != 1)
        return false;
    converted = Conversions::Convert(host.toUpload.front());
    return true;
}

} // namespace

class TestSharingFlows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<ConvertationContext>();
        qRegisterMetaType<QMap<QString, QString>>("QMap<QString,QString>");
        // A folder check failing would otherwise show a message box.
        RQ::SetPathProblemPresenter([](QWidget*, const QString& title, const QString& text) {
            QFAIL(qPrintable(QStringLiteral("folder refused: %1 %2").arg(title, text)));
        });
    }

    void cleanupTestCase() { RQ::SetPathProblemPresenter({}); }

    void missingFileIsReportedAndCanceled()
    {
        ManagerKit kit;
        auto manager = kit.Make();
        QSignalSpy canceled(manager.get(), &AbstractSharingManager::SharingCanceled);
        const ioPath missing(kit.Path(QStringLiteral("gone.mp4")).toStdString());

        QVERIFY(!manager->ShareFile(missing, {}));

        QCOMPARE(int(kit.result->outcomes.size()), 1);
        QCOMPARE(int(kit.result->outcomes.front().result), 1);
        QCOMPARE(kit.result->outcomes.front().context.resultFlags, (Flags{1, 4}));
        QVERIFY(kit.result->outcomes.front().context.url.isEmpty());
        QCOMPARE(canceled.count(), 1);
        QVERIFY(!kit.ShownDialog());
        QCOMPARE(kit.parentProvider->Depth(), 0);
    }

    void projectThatFailsToOpen_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("host exception") << int(TestSupport::ScriptedFileManager::Failure::HostException) << 329
                                        << QStringLiteral("; reason: the probe found no streams");
        QTest::newRow("std::exception") << int(TestSupport::ScriptedFileManager::Failure::StdException) << 335
                                        << QStringLiteral("; reason: out of file handles");
        QTest::newRow("anything else") << int(TestSupport::ScriptedFileManager::Failure::Other) << 341 << QString();
    }

    void projectThatFailsToOpen()
    {
        QFETCH(int, failure);
        QFETCH(int, line);
        QFETCH(QString, reason);
        ManagerKit kit;
        kit.files->failure = TestSupport::ScriptedFileManager::Failure(failure);
        auto manager = kit.Make();
        const ioPath source = kit.WriteFile(QStringLiteral("broken.mp4"));
        QSignalSpy canceled(manager.get(), &AbstractSharingManager::SharingCanceled);
        LogCapture log;

        QVERIFY(!manager->ShareFile(source, {}));

        std::vector<LogCapture::Line> errors;
        for (const LogCapture::Line& entry : log.Lines())
            if (entry.severity == google::GLOG_ERROR)
                errors.push_back(entry);
        QCOMPARE(int(errors.size()), 1);
        QCOMPARE(QString::fromStdString(errors.front().file), QStringLiteral("YouTubeSharingManager.cpp"));
        QCOMPARE(errors.front().line, line);
        QCOMPARE(QString::fromStdString(errors.front().text),
                 QStringLiteral("Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingManager::ShareFile:  Cannot load "
                                "project: ")
                     + QString::fromStdString(source.utf8string()) + reason);
        QCOMPARE(canceled.count(), 1);
        QVERIFY(kit.result->outcomes.empty());
        QVERIFY(!kit.ShownDialog());
    }

    void upload_data()
    {
        QTest::addColumn<bool>("keepLocalCopy");
        QTest::addColumn<QString>("saveTo");
        QTest::addColumn<Flags>("flags");
        QTest::newRow("exported file removed") << false << QStringLiteral("NO") << Flags{0, 1};
        QTest::newRow("local copy kept") << true << QStringLiteral("YES") << Flags{1};
    }

    void upload()
    {
        QFETCH(bool, keepLocalCopy);
        QFETCH(QString, saveTo);
        QFETCH(Flags, flags);
        ManagerKit kit;
        kit.protocol->loggedIn = true;
        auto manager = kit.Make();
        Conversions host(*manager);
        QSignalSpy started(manager.get(), &AbstractSharingManager::SharingStarted);
        QSignalSpy finished(manager.get(), &AbstractSharingManager::SharingFinished);

        ConvertationContext converted;
        QVERIFY(ShareAndConvert(kit, *manager, host, converted, keepLocalCopy));
        QVERIFY(!host.toUpload.empty() && !kit.ShownDialog());
        const QString output = QString::fromStdString(converted.outputPath.utf8string());
        QVERIFY(output.startsWith(kit.Path(keepLocalCopy ? QStringLiteral("kept/") : QStringLiteral("exports/"))));

        QVERIFY(manager->Upload(converted));

        QCOMPARE(kit.progress->calls, (QStringList{QStringLiteral("SetSaveFormatTextGetter"), QStringLiteral("OnStart")}));
        QCOMPARE(kit.progress->textGetter(), QStringLiteral("Uploading to YouTube"));
        const auto uploads = kit.protocol->CallsNamed(QStringLiteral("Upload"));
        QCOMPARE(int(uploads.size()), 1);
        QCOMPARE(uploads.front().args.at(0).toString(), output);
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.front().at(0).toString(), QStringLiteral("video"));
        const auto parameters = started.front().at(1).value<QMap<QString, QString>>();
        QCOMPARE(parameters.keys(), (QStringList{QStringLiteral("CATEGORY"), QStringLiteral("PRIVACY"),
                                                 QStringLiteral("RESOLUTION"), QStringLiteral("SAVE_TO")}));
        QCOMPARE(parameters.value(QStringLiteral("CATEGORY")), QStringLiteral("22"));
        QCOMPARE(parameters.value(QStringLiteral("PRIVACY")), QStringLiteral("UNLISTED"));
        QCOMPARE(parameters.value(QStringLiteral("RESOLUTION")),
                 QString::fromStdString(converted.conversion->preset->GetId()));
        QVERIFY(!parameters.value(QStringLiteral("RESOLUTION")).isEmpty());
        QCOMPARE(parameters.value(QStringLiteral("SAVE_TO")), saveTo);
        QVERIFY(kit.result->outcomes.empty());

        QVERIFY(kit.protocol->FinishUpload(uploads.front().ticket, RequestResult::Success, kVideoUrl));

        QCOMPARE(QFile::exists(output), keepLocalCopy);
        QCOMPARE(int(kit.result->outcomes.size()), 1);
        QCOMPARE(int(kit.result->outcomes.front().result), 0);
        QCOMPARE(kit.result->outcomes.front().context.resultFlags, flags);
        QCOMPARE(kit.result->outcomes.front().context.url, kVideoUrl);
        QCOMPARE(kit.result->outcomes.front().context.context.outputPath, converted.outputPath);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.front().at(0).toBool(), true);
        QCOMPARE(kit.progress->calls.last(), QStringLiteral("OnStop"));
        QCOMPARE(kit.parentProvider->Depth(), 0);
    }

    void saveWithoutUpload()
    {
        ManagerKit kit;
        auto manager = kit.Make();
        Conversions host(*manager);
        QSignalSpy finished(manager.get(), &AbstractSharingManager::SharingFinished);
        QVERIFY(manager->ShareFile(kit.WriteFile(QStringLiteral("clip.mp4")), {}));
        YouTubeSharingDialog* dialog = kit.ShownDialog();
        bool ran = false;
        bool leftOpen = false;
        WhenPromptRuns(dialog, [](SharingAuthorizationDialog& prompt) {
            QCOMPARE(prompt.GetState(), SharingAuthorizationDialog::SignInRequired);
            QTest::mouseClick(Button(&prompt, "secondaryButton"), Qt::LeftButton);
        }, ran, leftOpen);

        QTest::mouseClick(Button(dialog, "startButton"), Qt::LeftButton);

        QVERIFY(ran);
        QVERIFY(!leftOpen);
        QVERIFY(!dialog->isVisible());
        QVERIFY(host.toUpload.empty());
        QCOMPARE(int(host.toSave.size()), 1);
        QCOMPARE(host.saveOnlyFlags.front(), true);
        const ConvertationContext converted = Conversions::Convert(host.toSave.front());

        QVERIFY(manager->Upload(converted));

        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.front().at(0).toBool(), true);
        QVERIFY(kit.protocol->CallsNamed(QStringLiteral("Upload")).empty());
        QVERIFY(kit.result->outcomes.empty());
        // The user asked for the file: it stays.
        QVERIFY(converted.outputPath.exists());
        QCOMPARE(kit.parentProvider->Depth(), 0);
    }

    void uploadRefused_data()
    {
        QTest::addColumn<bool>("shareFirst");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<Flags>("flags");
        QTest::newRow("no sharing, signed in") << false << true << Flags{1};
        QTest::newRow("no sharing, signed out") << false << false << Flags{1};
        QTest::newRow("signed out during the conversion") << true << false << Flags{0, 1};
    }

    void uploadRefused()
    {
        QFETCH(bool, shareFirst);
        QFETCH(bool, signedIn);
        QFETCH(Flags, flags);
        ManagerKit kit;
        kit.protocol->loggedIn = true;
        auto manager = kit.Make();
        Conversions host(*manager);
        ConvertationContext converted;
        if (shareFirst)
            QVERIFY(ShareAndConvert(kit, *manager, host, converted));
        kit.protocol->loggedIn = signedIn;
        QSignalSpy canceled(manager.get(), &AbstractSharingManager::SharingCanceled);
        QSignalSpy finished(manager.get(), &AbstractSharingManager::SharingFinished);

        QVERIFY(!manager->Upload(converted));

        QCOMPARE(canceled.count(), 1);
        QCOMPARE(finished.count(), 0);
        QVERIFY(kit.protocol->CallsNamed(QStringLiteral("Upload")).empty());
        QCOMPARE(int(kit.result->outcomes.size()), 1);
        QCOMPARE(int(kit.result->outcomes.front().result), 1);
        QCOMPARE(kit.result->outcomes.front().context.resultFlags, flags);
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
        ManagerKit kit;
        auto manager = kit.Make();
        Conversions host(*manager);
        QVERIFY(manager->ShareFile(kit.WriteFile(QStringLiteral("clip.mp4")), {}));
        YouTubeSharingDialog* dialog = kit.ShownDialog();
        bool ran = false;
        bool leftOpen = false;
        int conversionsInsideTheLoop = -1;
        SharingAuthorizationDialog::State stateAfterSignIn = SharingAuthorizationDialog::SignInRequired;
        WhenPromptRuns(dialog, [&](SharingAuthorizationDialog& prompt) {
            QTest::mouseClick(Button(&prompt, "primaryButton"), Qt::LeftButton);
            QCOMPARE(int(kit.protocol->CallsNamed(QStringLiteral("LogIn")).size()), 1);
            CompleteSignIn(*kit.protocol, profile);
            conversionsInsideTheLoop = int(host.toUpload.size());
            stateAfterSignIn = prompt.GetState();
            if (prompt.isVisible())
                QTest::mouseClick(Button(&prompt, "primaryButton"), Qt::LeftButton); // "Back"
        }, ran, leftOpen);

        QTest::mouseClick(Button(dialog, "startButton"), Qt::LeftButton);

        QVERIFY(ran);
        QVERIFY(!leftOpen);
        QCOMPARE(conversionsInsideTheLoop, conversions);
        QCOMPARE(int(host.toUpload.size()), conversions);
        QVERIFY(host.toSave.empty());
        if (conversions == 1)
        {
            QVERIFY(!dialog->isVisible());
        }
        else
        {
            QCOMPARE(stateAfterSignIn, SharingAuthorizationDialog::ProfileInvalid);
            // Back to the form.
            QVERIFY(dialog->isVisible());
        }
        // The rest of the user's information arriving later starts nothing more.
        kit.protocol->AnswerUserName(kit.protocol->LastTicket(QStringLiteral("RequestUserName")),
                                     RequestResult::Success, QStringLiteral("Ann"));
        kit.protocol->AnswerUserPicture(kit.protocol->LastTicket(QStringLiteral("RequestUserPicture")),
                                        RequestResult::Success, QPixmap(8, 8));
        QCOMPARE(int(host.toUpload.size()), conversions);
    }

    void signInOutsideAStartStartsNothing()
    {
        ManagerKit kit;
        auto manager = kit.Make();
        Conversions host(*manager);
        QVERIFY(manager->ShareFile(kit.WriteFile(QStringLiteral("clip.mp4")), {}));
        YouTubeSharingDialog* dialog = kit.ShownDialog();

        // The dialog's own sign-in button: the prompt is not running.
        QTest::mouseClick(Button(dialog, "signInButton"), Qt::LeftButton);
        QCOMPARE(int(kit.protocol->CallsNamed(QStringLiteral("LogIn")).size()), 1);
        CompleteSignIn(*kit.protocol, kProfileUrl);

        QVERIFY(host.toUpload.empty());
        QVERIFY(host.toSave.empty());
        QVERIFY(dialog->isVisible());
        QVERIFY(!PromptOf(dialog)->isVisible());
    }

    void cancelFromTheProgressWindow()
    {
        ManagerKit kit;
        kit.protocol->loggedIn = true;
        auto manager = kit.Make();
        Conversions host(*manager);
        QSignalSpy finished(manager.get(), &AbstractSharingManager::SharingFinished);
        ConvertationContext converted;
        QVERIFY(ShareAndConvert(kit, *manager, host, converted));
        QVERIFY(manager->Upload(converted));
        const qint64 ticket = kit.protocol->LastTicket(QStringLiteral("Upload"));
        kit.protocol->calls.clear();

        emit kit.progress->CancelRequested();

        QCOMPARE(kit.protocol->CallNames(), QStringList{QStringLiteral("Cancel")});
        QCOMPARE(kit.protocol->calls.front().args, (QVariantList{ticket}));
        // The manager waits for the upload to say how it ended.
        QVERIFY(kit.result->outcomes.empty());
        QCOMPARE(finished.count(), 0);

        QVERIFY(kit.protocol->FinishUpload(ticket, RequestResult::Cancelled));

        QCOMPARE(int(kit.result->outcomes.size()), 1);
        QCOMPARE(int(kit.result->outcomes.front().result), int(RequestResult::Cancelled));
        QCOMPARE(kit.result->outcomes.front().context.resultFlags, (Flags{0, 1}));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.front().at(0).toBool(), false);
        QVERIFY(!converted.outputPath.exists());
    }

    void wholeSharingThroughTheWidgets_data()
    {
        QTest::addColumn<bool>("cancelUpload");
        QTest::newRow("uploaded") << false;
        QTest::newRow("cancelled in the progress window") << true;
    }

    void wholeSharingThroughTheWidgets()
    {
        QFETCH(bool, cancelUpload);
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty())
            QSKIP("ffmpeg is not installed");
        ManagerKit kit;
        const QString video = kit.Path(QStringLiteral("recording.mp4"));
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=duration=1:size=320x240:rate=25", "-f",
                      "lavfi", "-i", "sine=duration=1", "-shortest", video});
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);

        auto files = std::make_shared<RQ::FileManager>([](const QUrl&) { return true; });
        auto progress = std::make_shared<RQ::Service::Sharing::SharingProgressBehaviour>(kit.parentProvider);
        TestSupport::RecordingOpener opener;
        auto result = std::make_shared<RQ::Service::Sharing::SharingResultBehaviour>(
            std::make_shared<RQ::UiSettings>(std::make_shared<TestSupport::MemoryProductSettings>()),
            kit.parentProvider, std::make_shared<TestSupport::RecordingAudioPlayer>(), files,
            std::make_shared<App::LinksOpener>(opener.Function()), kit.customization);
        kit.protocol->answerCancelAtOnce = true;
        auto manager = kit.MakeWith(files, progress, result);
        Conversions host(*manager);
        QSignalSpy finished(manager.get(), &AbstractSharingManager::SharingFinished);

        QVERIFY(manager->ShareFile(ioPath(video.toStdString()), {}));
        YouTubeSharingDialog* dialog = kit.ShownDialog();
        QVERIFY(dialog && dialog->isVisible());
        auto* title = ManagerKit::Child<QLineEdit>(dialog, "titleEdit");
        QCOMPARE(title->text(), QStringLiteral("recording"));
        title->clear();
        QTest::keyClicks(title, QStringLiteral("Launch demo"));

        bool ran = false;
        bool leftOpen = false;
        WhenPromptRuns(dialog, [&](SharingAuthorizationDialog& prompt) {
            QTest::mouseClick(Button(&prompt, "primaryButton"), Qt::LeftButton);
            CompleteSignIn(*kit.protocol, kProfileUrl);
        }, ran, leftOpen);
        QTest::mouseClick(Button(dialog, "startButton"), Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(!leftOpen);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(int(host.toUpload.size()), 1);
        ConvertationContext converted = host.toUpload.front();
        QCOMPARE(converted.sourcePath, ioPath(video.toStdString()));
        QVERIFY(converted.conversion && converted.conversion->project && converted.conversion->preset);
        QCOMPARE(converted.conversion->project->GetFacts().width, 320);
        const QString output = QString::fromStdString(converted.outputPath.utf8string());
        QCOMPARE(output, kit.Path(QStringLiteral("exports/Launch demo.mp4")));
        QVERIFY(QFile::copy(video, output));

        QVERIFY(manager->Upload(converted));
        const auto uploads = kit.protocol->CallsNamed(QStringLiteral("Upload"));
        QCOMPARE(int(uploads.size()), 1);
        QCOMPARE(uploads.front().args.at(1).toMap().value(Social::YoutubeProtocol::FIELD_TITLE).toString(),
                 QStringLiteral("Launch demo"));
        QWidget* progressWindow = ManagerKit::VisibleWindowNamed(QStringLiteral("sharingProgressWindow"));
        QVERIFY(progressWindow);
        QCOMPARE(ManagerKit::Child<QLabel>(progressWindow, "progressText")->text(),
                 QStringLiteral("Uploading to YouTube"));
        QVERIFY(kit.protocol->ReportProgress(uploads.front().ticket, 37));
        QCOMPARE(ManagerKit::Child<QProgressBar>(progressWindow, "progressBar")->value(), 37);

        if (cancelUpload)
            QTest::mouseClick(Button(progressWindow, "cancelButton"), Qt::LeftButton);
        else
            QVERIFY(kit.protocol->FinishUpload(uploads.front().ticket, RequestResult::Success, kVideoUrl));

        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.front().at(0).toBool(), !cancelUpload);
        QVERIFY(!progressWindow->isVisible());
        QWidget* resultWindow = ManagerKit::VisibleWindowNamed(QStringLiteral("sharingResultWindow"));
        QVERIFY(resultWindow);
        QCOMPARE(ManagerKit::Child<QLabel>(resultWindow, "linkLabel")->text().contains(kVideoUrl.toString()),
                 !cancelUpload);
        QVERIFY(!QFile::exists(output));
        // The user's recording is never touched.
        QVERIFY(QFile::exists(video));
    }
};

TAVRIX_TEST_MAIN(TestSharingFlows)
#include "tst_SharingFlows.moc"
