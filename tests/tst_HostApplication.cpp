// The host program against the YouTube emulator the test started: driven
// through its windows in process, played by its own unattended run, and run
// as the program that scripts/run.sh starts without a display.

#include "HostApplication.h"
#include "UnattendedRun.h"

#include "AppServices.h"
#include "EmulatedHost.h"
#include "EmulatorProcess.h"
#include "FlowProgram.h"
#include "FlowWindows.h"
#include "LogCapture.h"
#include "MediaClips.h"
#include "MediaFakes.h"
#include "TestMain.h"
#include "UserSettings.h"
#include "VideoConverter.h"
#include "YoutubeEmulator.h"

#include <Hypodermic/Hypodermic.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <csignal>
#include <sys/stat.h>

using namespace Tavrix;
using namespace std::chrono_literals;
using Tavrix::RQ::Host::EmulatorProcess;
using Tavrix::RQ::Host::HostApplication;
using Tavrix::RQ::Host::HostOptions;
using Tavrix::RQ::Host::UnattendedRun;
using Tavrix::RQ::Service::Sharing::AbstractSharingManager;
using TestSupport::Button;
using TestSupport::ReadAll;
using TestSupport::SharingDialog;
using TestSupport::VisibleWindow;

namespace {

const QRegularExpression kSharedLine(QStringLiteral("^Shared: https://www\\.youtube\\.com/watch\\?v=([\\w-]+)$"));

// Presses the dialog's Start and clicks `button` of the authorization prompt
// as soon as it runs (modally, inside that click); whether it ran.
bool StartAnswering(QWidget* dialog, const char* button)
{
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&poll, &answered, button] {
        if (QWidget* prompt = VisibleWindow(QStringLiteral("sharingAuthorizationDialog")))
        {
            poll.stop();
            answered = true;
            QTest::mouseClick(Button(prompt, button), Qt::LeftButton);
        }
    });
    poll.start(20);
    QTest::mouseClick(Button(dialog, "startButton"), Qt::LeftButton);
    return answered;
}

} // namespace

class TestHostApplication : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is needed (scripts/install-deps.sh installs it)");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("Beach walk.mp4"));
        QVERIFY(TestSupport::MakeClip(m_clip, 320, 240, 3, true));
        // Files a user might pick by mistake.
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.mp4"))).constData(), 0600) == 0);
        QVERIFY(TestSupport::WriteFile(m_dir.filePath(QStringLiteral("notes.mp4")), "not a video at all\n"));
        QVERIFY(TestSupport::WriteFile(m_dir.filePath(QStringLiteral("empty.mp4")), QByteArray()));
        const QByteArray clip = ReadAll(m_clip);
        QVERIFY(TestSupport::WriteFile(m_dir.filePath(QStringLiteral("cut short.mp4")), clip.left(clip.size() / 3)));

        QVERIFY(TestSupport::StartEmulator(m_emulator));
    }

    void init()
    {
        QVERIFY(Admin("reset"));
        m_run = std::make_unique<QTemporaryDir>();
        QVERIFY(m_run->isValid());
        m_signInPages.clear();
        m_options = TestSupport::EmulatedRun(m_emulator, *m_run, &m_signInPages);
        m_lines.clear();
    }

    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
    }

    // Container, Resolve, ShareFile, the dialog, sign-in, conversion and a
    // real upload, down to the bytes the emulator stored. From Start on the
    // unattended run presses the buttons and says each step.
    void sharesAVideoEndToEnd()
    {
        HostApplication host(m_options);
        const QString keep = m_run->filePath(QStringLiteral("keep"));
        QVERIFY(QDir().mkpath(keep));
        // The user already has a file by the name the title will give.
        const QString usersOwn = keep + QStringLiteral("/Beach day.mp4");
        QVERIFY(TestSupport::WriteFile(usersOwn, "the user's own edit"));
        host.Container()->resolve<RQ::PathsSettings>()->SetUserSelectedSavePath(keep);
        host.Container()->resolve<RQ::PathsSettings>()->SetResultsFolderPath(m_run->filePath(QStringLiteral("out")));
        QSignalSpy hostFinished(&host, &HostApplication::Finished);
        QVERIFY(host.Share(ioPath(m_clip.toStdString())));

        QWidget* dialog = SharingDialog();
        QVERIFY(dialog);
        auto* title = dialog->findChild<QLineEdit*>(QStringLiteral("titleEdit"));
        QCOMPARE(title->text(), QStringLiteral("Beach walk"));
        title->selectAll();
        QTest::keyClicks(title, QStringLiteral("Beach day"));
        auto* keepCopy = dialog->findChild<QCheckBox*>(QStringLiteral("saveAsLocalFileCheckBox"));
        QTest::mouseClick(keepCopy, Qt::LeftButton, {}, QPoint(4, keepCopy->height() / 2));
        QVERIFY(keepCopy->isChecked());
        QCOMPARE(QDir(dialog->findChild<QComboBox*>(QStringLiteral("browseComboBox"))->currentText()), QDir(keep));

        // Not signed in: Start brings the authorization prompt up modally, and the run signs in there.
        UnattendedRun user(10min, Sink());
        QTest::mouseClick(Button(dialog, "startButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(hostFinished.count(), 1, 120000);
        const QString said = m_lines.join(QLatin1Char('\n'));
        QCOMPARE(hostFinished.first().first().toInt(), int(HostApplication::Shared));
        QCOMPARE(m_signInPages.size(), 1);
        QCOMPARE(m_signInPages.first().path(), QStringLiteral("/o/oauth2/v2/auth"));
        QVERIFY2(m_lines.first() == QLatin1String("Signing in...") && m_lines.contains("Converting the video...")
                     && m_lines.contains("Uploading to YouTube...") && m_lines.contains("Uploading to YouTube: 100%"),
                 qPrintable(said));
        const QRegularExpressionMatch shared = kSharedLine.match(m_lines.last());
        QVERIFY2(shared.hasMatch(), qPrintable(said));

        // The kept copy took the next free name; the user's file is untouched.
        QCOMPARE(ReadAll(usersOwn), QByteArray("the user's own edit"));
        const QString keptCopy = keep + QStringLiteral("/Beach day (2).mp4");
        const QByteArray converted = ReadAll(keptCopy);
        QVERIFY(converted.size() > 1000);
        const QJsonObject video = TestSupport::StreamOf(TestSupport::Probe(keptCopy), QStringLiteral("video"));
        QCOMPARE(video.value(QStringLiteral("codec_name")).toString(), QStringLiteral("h264"));

        QNetworkAccessManager network;
        const QUrl listing = m_emulator.Origin().resolved(QUrl(QStringLiteral("/_emulator/uploads")));
        const QJsonArray uploads = TestSupport::Fetch(network, "GET", listing).json().value("uploads").toArray();
        QCOMPARE(uploads.size(), 1);
        const QJsonObject upload = uploads.first().toObject();
        QCOMPARE(upload.value(QStringLiteral("videoId")).toString(), shared.captured(1));
        QCOMPARE(upload.value(QStringLiteral("state")).toString(), QStringLiteral("complete"));
        QCOMPARE(ReadAll(upload.value(QStringLiteral("file")).toString()), converted);
        QCOMPARE(upload[QStringLiteral("metadata")][QStringLiteral("snippet")][QStringLiteral("title")].toString(),
                 QStringLiteral("Beach day"));
    }

    // How the user ends the sharing decides the exit status, and a way that
    // closes every window says what happened in a last notice. A first run
    // offers the videos folder to save to, not the working directory, and
    // keeps it in the one settings file the log names. A conversion that
    // cannot run ends the sharing as failed. The results folder goes if the
    // sharing left it empty, never with anything of the user's in it.
    void eachEndingHasItsStatus_data()
    {
        QTest::addColumn<int>("ending");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("notice");
        QTest::newRow("Cancel in the dialog") << int(CancelInDialog) << int(HostApplication::Canceled) << QString();
        QTest::newRow("Escape in the dialog") << int(EscapeInDialog) << int(HostApplication::Canceled) << QString();
        QTest::newRow("Escape during the conversion")
            << int(EscapeWhileConverting) << int(HostApplication::Canceled)
            << QStringLiteral("The sharing was cancelled: the video was neither uploaded nor saved.");
        QTest::newRow("Cancel during the upload") << int(CancelWhileUploading) << int(HostApplication::Canceled)
                                                  << QString();
        QTest::newRow("Save without uploading")
            << int(SaveOnly) << int(HostApplication::Shared) << QStringLiteral("The video was saved to %1");
        QTest::newRow("the conversion fails") << int(ConversionFails) << int(HostApplication::Failed) << QString();
        QTest::newRow("the conversion fails beside a file of the user's")
            << int(ConversionFailsBesideUsersFile) << int(HostApplication::Failed) << QString();
    }

    void eachEndingHasItsStatus()
    {
        QFETCH(int, ending);
        QFETCH(int, exitCode);
        QFETCH(QString, notice);
        TestSupport::LogCapture log;
        HostApplication host(m_options);
        const QString out = m_run->filePath(QStringLiteral("out"));
        host.Container()->resolve<RQ::PathsSettings>()->SetResultsFolderPath(out);
        const bool conversionFails = ending == ConversionFails || ending == ConversionFailsBesideUsersFile;
        if (ending == ConversionFailsBesideUsersFile)
            QVERIFY(QDir().mkpath(out) && TestSupport::WriteFile(out + QStringLiteral("/notes.txt"), "notes"));
        QStringList shown;
        if (conversionFails)
        {
            host.Converter().SetFailurePresenter([&shown](const QString& title, const QString&) { shown << title; });
            host.Converter().SetProgram(m_run->filePath(QStringLiteral("no-ffmpeg-here")));
        }
        QSignalSpy canceled(&host.Manager(), &AbstractSharingManager::SharingCanceled);
        QSignalSpy hostFinished(&host, &HostApplication::Finished);
        QVERIFY(host.Share(ioPath(m_clip.toStdString())));

        QWidget* dialog = SharingDialog();
        QVERIFY(dialog);
        const QString videos = QDir(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation)).absolutePath();
        QCOMPARE(QDir(dialog->findChild<QComboBox*>(QStringLiteral("browseComboBox"))->currentText()), QDir(videos));
        const QString settingsFile = m_options.settingsFolder + QStringLiteral("/settings.ini");
        QCOMPARE(log.Texts().filter(QStringLiteral("; settings in ") + settingsFile + QLatin1Char(',')).size(), 1);
        QCOMPARE(QSettings(settingsFile, QSettings::IniFormat).value(QStringLiteral("Paths/UserSelectedSavePath")),
                 QVariant(videos));

        const QString progressWindow = QStringLiteral("sharingProgressWindow");
        if (ending == CancelInDialog)
            QTest::mouseClick(Button(dialog, "cancelButton"), Qt::LeftButton);
        if (ending == EscapeInDialog)
            QTest::keyClick(dialog, Qt::Key_Escape);
        if (ending == SaveOnly || ending == EscapeWhileConverting || conversionFails)
            QVERIFY(StartAnswering(dialog, "secondaryButton"));
        if (ending == EscapeWhileConverting)
        {
            QTRY_VERIFY(VisibleWindow(progressWindow));
            QTest::keyClick(VisibleWindow(progressWindow), Qt::Key_Escape);
        }
        if (ending == CancelWhileUploading)
        {
            QVERIFY(Admin("faults", R"({"throttleBytesPerSecond": 2000, "on": "chunk", "times": -1})"));
            QVERIFY(StartAnswering(dialog, "primaryButton"));
            QTRY_COMPARE_WITH_TIMEOUT(TestSupport::LabelText(VisibleWindow(progressWindow), "progressText"),
                                      QStringLiteral("Uploading to YouTube"), 60000);
            QTest::mouseClick(Button(VisibleWindow(progressWindow), "cancelButton"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(VisibleWindow(QStringLiteral("sharingResultWindow")), 30000);
            VisibleWindow(QStringLiteral("sharingResultWindow"))->close();
        }

        if (!notice.isEmpty())
        {
            QTRY_VERIFY_WITH_TIMEOUT(VisibleWindow(QStringLiteral("sharingEndNotice")), 60000);
            auto* box = qobject_cast<QMessageBox*>(VisibleWindow(QStringLiteral("sharingEndNotice")));
            const QString saved = QDir(out).filePath(QStringLiteral("Beach walk.mp4"));
            QCOMPARE(box->text(), ending == SaveOnly ? notice.arg(saved) : notice);
            QCoreApplication::processEvents();
            QCOMPARE(hostFinished.count(), 0);
            box->button(QMessageBox::Close)->click();
        }
        QTRY_COMPARE_WITH_TIMEOUT(hostFinished.count(), 1, 60000);
        QCOMPARE(hostFinished.first().first().toInt(), exitCode);
        QVERIFY(!SharingDialog());
        QCOMPARE(shown, conversionFails ? QStringList{QStringLiteral("Conversion failed")} : QStringList());
        if (conversionFails)
            QCOMPARE(canceled.count(), 1);
        // Saving only never asks to sign in.
        QCOMPARE(m_signInPages.isEmpty(), ending != CancelWhileUploading);
        if (ending == ConversionFailsBesideUsersFile)
        {
            QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});
            QCOMPARE(ReadAll(out + QStringLiteral("/notes.txt")), QByteArray("notes"));
        }
        else if (ending != SaveOnly)
        {
            QVERIFY(!QFileInfo::exists(out));
        }
    }

    // The upload refused: the result window's reason is the outcome, the run ends as failed.
    void aRefusedUploadIsReportedAsFailed()
    {
        QVERIFY(Admin("faults", R"({"status": 403, "on": "start"})"));
        QCOMPARE(ShareUnattended(), int(HostApplication::Failed));
        // Advice, not a result code.
        QCOMPARE(m_lines.last(), QStringLiteral("Failed: The video could not be uploaded. YouTube does not let this "
                                                "account upload. Check the account on youtube.com."));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    }

    // A title the dialog refuses keeps Start disabled: the dialog's reason ends the run.
    void aDisabledStartEndsTheRun()
    {
        const QString odd = m_run->filePath(QStringLiteral("<draft>.mp4"));
        QVERIFY(QFile::copy(m_clip, odd));
        HostApplication host(m_options);
        UnattendedRun user(10min, Sink());
        QSignalSpy abandoned(&user, &UnattendedRun::Abandoned);
        QVERIFY(host.Share(ioPath(odd.toStdString())));

        QTRY_COMPARE(abandoned.count(), 1);
        QCOMPARE(m_lines, QStringList{QStringLiteral(
                              "Failed: the sharing dialog's Start is disabled: Incorrect symbols in filename")});
    }

    void anUnattendedRunGivesUpAfterItsLimit()
    {
        UnattendedRun user(1s, Sink());
        QSignalSpy abandoned(&user, &UnattendedRun::Abandoned);
        QTRY_COMPARE(abandoned.count(), 1);
        QCOMPARE(m_lines,
                 QStringList{QStringLiteral("Failed: the sharing did not finish within 1 second; giving up")});
        // Once: a later failure says nothing more.
        user.Fail(QStringLiteral("again"));
        QCOMPARE(abandoned.count(), 1);
        QCOMPARE(m_lines.size(), 1);
    }

    // However signing in fails, the run ends at once with the reason,
    // instead of waiting for its limit.
    void aFailedSignInEndsAtOnce_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("advice");
        QTest::newRow("no browser") << int(NoBrowser) << QStringLiteral("No web browser could be opened");
        QTest::newRow("consent refused") << int(ConsentRefused) << QStringLiteral("Google did not give access");
        QTest::newRow("the token endpoint refuses")
            << int(TokenRefused) << QStringLiteral("could not be understood or trusted");
    }

    void aFailedSignInEndsAtOnce()
    {
        QFETCH(int, failure);
        QFETCH(QString, advice);
        QNetworkAccessManager network;
        if (failure == TokenRefused)
            QVERIFY(Admin("faults", R"({"status": 400, "on": "token"})"));
        if (failure == NoBrowser)
            m_options.browserOpener = [](const QUrl&) { return false; };
        if (failure == ConsentRefused)
            m_options.browserOpener = [&network](const QUrl& page) {
                // The user says no on Google's page.
                const QUrlQuery asked(page);
                QUrl callback(asked.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded));
                QUrlQuery answer;
                answer.addQueryItem(QStringLiteral("error"), QStringLiteral("access_denied"));
                answer.addQueryItem(QStringLiteral("state"), asked.queryItemValue(QStringLiteral("state")));
                callback.setQuery(answer);
                network.get(QNetworkRequest(callback));
                return true;
            };

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(ShareUnattended(), -1);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(m_lines.last().startsWith(QStringLiteral("Failed: Signing in failed. ")) &&
                     m_lines.last().contains(advice),
                 qPrintable(m_lines.join(QLatin1Char('\n'))));
        QVERIFY(!m_lines.contains(QStringLiteral("Converting the video...")));
    }

    // A grant withdrawn since the last run: the sign-in prompt comes before
    // the conversion, and the sharing then goes through.
    void aWithdrawnGrantAsksToSignInFirst()
    {
        QCOMPARE(ShareUnattended(), int(HostApplication::Shared));
        m_lines.clear();
        QVERIFY(Admin("faults", R"({"revokeRefreshTokens": true})"));
        QCOMPARE(ShareUnattended(), int(HostApplication::Shared));
        const QString said = m_lines.join(QLatin1Char('\n'));
        QVERIFY2(m_lines.indexOf(QStringLiteral("Signing in...")) == 1, qPrintable(said));
        QVERIFY(m_lines.indexOf(QStringLiteral("Converting the video...")) > 1);
    }

    // The program itself: its exit status and the outcome line on stdout.
    // Every run goes without presets, which only the last refusal reaches.
    void theProgramEndsWithItsOutcome_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        // The last line on stdout, or for a usage error (64) what stderr says.
        QTest::addColumn<QString>("said");
        const auto refused = [](const char* name, const QString& file, const QString& said) {
            QTest::newRow(name) << QStringList{QStringLiteral("--emulator"), QStringLiteral("--unattended"), file} << 1
                                << said;
        };
        // What cannot be a video is said with its path, and nothing hangs on a pipe.
        const QString gone = m_dir.filePath(QStringLiteral("gone.mp4"));
        refused("the file is gone", gone,
                QStringLiteral("^Failed: The file to share does not exist: %1$").arg(QRegularExpression::escape(gone)));
        refused("a folder", m_dir.path(), QStringLiteral("^Failed: .* is a folder, not a video file\\.$"));
        refused("a pipe", m_dir.filePath(QStringLiteral("pipe.mp4")),
                QStringLiteral("^Failed: .*pipe\\.mp4 is not a video file"));
        refused("an empty file", m_dir.filePath(QStringLiteral("empty.mp4")),
                QStringLiteral("^Failed: .*empty\\.mp4 is empty"));
        for (const char* name : {"notes.mp4", "cut short.mp4"})
            refused(name, m_dir.filePath(QLatin1String(name)),
                    QStringLiteral("^Failed: .* is not a video this program can read"));
        // Start would go nowhere: the run ends at once instead of waiting for its limit.
        refused("no presets to convert to", m_clip,
                QStringLiteral("^Failed: the sharing dialog offers no resolution to convert to"));
        QTest::newRow("an unknown option")
            << QStringList{QStringLiteral("--unattended"), QStringLiteral("--bogus"), m_clip} << 64
            << QStringLiteral("Unknown option 'bogus'");
        QTest::newRow("a real account without a client id")
            << QStringList{QStringLiteral("--unattended"), m_clip} << 64
            << QStringLiteral("--unattended shares to a real account only with an OAuth client id");
    }

    void theProgramEndsWithItsOutcome()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);

        QProcess program;
        TestSupport::StartProgram(program, QStringLiteral(RQ_YOUTUBE_HOST), m_run->path(), arguments,
                                  {{QStringLiteral("TAVRIX_RESOURCES_DIR"), m_dir.path()}});
        QVERIFY(program.waitForFinished(120000));

        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == exitCode, qPrintable(out + err));
        const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (exitCode == 64)
            QVERIFY2(lines.isEmpty() && err.contains(said), qPrintable(out + err));
        else
            QVERIFY2(!lines.isEmpty() && QRegularExpression(said).match(lines.last()).hasMatch(), qPrintable(out));
    }

    // Interrupted while it shares: the emulator it started and that
    // emulator's folder go with it, and the run says it was cancelled.
    void anInterruptionLeavesNothingBehind_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("Ctrl+C") << int(SIGINT);
    }

    void anInterruptionLeavesNothingBehind()
    {
        QFETCH(int, signal);
        QProcess program;
        TestSupport::StartProgram(program, QStringLiteral(RQ_YOUTUBE_HOST), m_run->path(),
                                  {QStringLiteral("--emulator"), QStringLiteral("--unattended"), m_clip});
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT((out += QString::fromUtf8(program.readAllStandardOutput())).contains(
                                     QStringLiteral("Sharing \"Beach walk\"")),
                                 60000);
        // The emulator is the program's child, with its data folder on its command line.
        const QByteArray pids = ReadAll(QStringLiteral("/proc/%1/task/%1/children").arg(program.processId()));
        QString emulator;
        QString folder;
        for (const QByteArray& pid : pids.simplified().split(' '))
        {
            const QString commandLine = QStringLiteral("/proc/%1/cmdline").arg(QString::fromLatin1(pid));
            const QList<QByteArray> words = ReadAll(commandLine).split('\0');
            if (!words.first().endsWith("youtube-emulator"))
                continue;
            emulator = QStringLiteral("/proc/") + QString::fromLatin1(pid);
            folder = QString::fromLocal8Bit(words.value(words.indexOf("--data") + 1));
        }
        QVERIFY2(!emulator.isEmpty(), pids.constData());
        QVERIFY(QFileInfo(folder).isDir());

        QCOMPARE(::kill(static_cast<pid_t>(program.processId()), signal), 0);
        QVERIFY(program.waitForFinished(30000));
        out += QString::fromUtf8(program.readAllStandardOutput());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == 2, qPrintable(out + program.readAllStandardError()));
        QVERIFY2(out.trimmed().section(QLatin1Char('\n'), -1).startsWith(
                     QStringLiteral("Cancelled: the run was interrupted (")),
                 qPrintable(out));
        QTRY_VERIFY(!QFileInfo::exists(emulator));
        QVERIFY(!QFileInfo::exists(folder));
    }

private:
    enum Ending
    {
        CancelInDialog,
        EscapeInDialog,
        EscapeWhileConverting,
        CancelWhileUploading,
        SaveOnly,
        ConversionFails,
        ConversionFailsBesideUsersFile,
    };

    enum SignInFailure
    {
        NoBrowser,
        ConsentRefused,
        TokenRefused,
    };

    // POSTs to the emulator's admin endpoint ("reset", or "faults" to arm one); whether it took.
    bool Admin(const char* what, const QByteArray& json = {}) const
    {
        QNetworkAccessManager network;
        const QUrl url = m_emulator.Origin().resolved(QUrl(QStringLiteral("/_emulator/") + QLatin1String(what)));
        return TestSupport::Fetch(network, "POST", url, json, json.isEmpty() ? "" : "application/json").status == 200;
    }

    // Shares the clip with nobody at the keyboard; the run's exit status, or
    // -1 when the run gave up (its lines say why).
    int ShareUnattended()
    {
        HostApplication host(m_options);
        UnattendedRun user(10min, Sink());
        QSignalSpy abandoned(&user, &UnattendedRun::Abandoned);
        QSignalSpy finished(&host, &HostApplication::Finished);
        if (!host.Share(ioPath(m_clip.toStdString())) ||
            !QTest::qWaitFor([&] { return finished.count() + abandoned.count() > 0; }, 120000) || !abandoned.isEmpty())
            return -1;
        return finished.first().first().toInt();
    }

    UnattendedRun::Output Sink()
    {
        return [this](const QString& line) { m_lines << line; };
    }

    QTemporaryDir m_dir;
    QString m_clip;
    EmulatorProcess m_emulator;
    std::unique_ptr<QTemporaryDir> m_run;
    HostOptions m_options;
    QList<QUrl> m_signInPages;
    QStringList m_lines;
};

TAVRIX_TEST_MAIN(TestHostApplication)
#include "tst_HostApplication.moc"
