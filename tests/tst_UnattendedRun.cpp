#include "UnattendedRun.h"

#include "EmulatedHost.h"
#include "EmulatorProcess.h"
#include "HostApplication.h"
#include "MediaClips.h"
#include "TestMain.h"
#include "YoutubeEmulator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "MediaFakes.h"
#include "SocialProtocol.h"
#include "UserSettings.h"

#include <Hypodermic/Hypodermic.h>

#include <QElapsedTimer>
#include <QUrlQuery>

#include <csignal>
#include <sys/stat.h>

using namespace Tavrix;
using Tavrix::RQ::Host::EmulatorProcess;
using Tavrix::RQ::Host::HostApplication;
using Tavrix::RQ::Host::HostOptions;
using Tavrix::RQ::Host::UnattendedRun;
using namespace std::chrono_literals;

namespace {

const QRegularExpression kSharedLine(QStringLiteral("^Shared: https://www\\.youtube\\.com/watch\\?v=([\\w-]+)$"));

QStringList VisibleWindows()
{
    QStringList names;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            names << window->objectName();
    return names;
}

} // namespace

class TestUnattendedRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is needed (scripts/install-deps.sh installs it)");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("Harbour.mp4"));
        QVERIFY(TestSupport::MakeClip(m_clip, 320, 240, 1.5, true));
        // Files a user might pick by mistake.
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.mp4"))).constData(), 0600) == 0);
        QVERIFY(TestSupport::WriteFile(m_dir.filePath(QStringLiteral("notes.mp4")), "not a video at all\n"));
        QVERIFY(TestSupport::WriteFile(m_dir.filePath(QStringLiteral("empty.mp4")), QByteArray()));
        QFile clip(m_clip);
        QVERIFY(clip.open(QIODevice::ReadOnly));
        QVERIFY(TestSupport::WriteFile(m_dir.filePath(QStringLiteral("cut short.mp4")), clip.read(clip.size() / 3)));

        QVERIFY(TestSupport::StartEmulator(m_emulator));
    }

    void init()
    {
        QNetworkAccessManager network;
        QCOMPARE(TestSupport::Fetch(network, "POST", AdminUrl("reset")).status, 200);
        m_run = std::make_unique<QTemporaryDir>();
        QVERIFY(m_run->isValid());
        m_options = TestSupport::EmulatedRun(m_emulator, *m_run);
        m_lines.clear();
    }

    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
    }

    // Start, Sign In and Close pressed on the real windows; the link printed
    // is the video the emulator stored whole.
    void sharesWithNobodyAtTheKeyboard()
    {
        HostApplication host(m_options);
        UnattendedRun user(10min, Sink());
        QSignalSpy abandoned(&user, &UnattendedRun::Abandoned);
        QSignalSpy finished(&host, &HostApplication::Finished);
        QVERIFY(host.Share(ioPath(m_clip.toStdString())));

        QTRY_VERIFY_WITH_TIMEOUT(finished.count() + abandoned.count() > 0, 120000);
        QVERIFY2(abandoned.isEmpty(), qPrintable(m_lines.join(QLatin1Char('\n'))));
        QCOMPARE(finished.first().first().toInt(), int(HostApplication::Shared));
        QCOMPARE(VisibleWindows(), QStringList());

        QVERIFY(m_lines.first().startsWith(QStringLiteral("Sharing \"Harbour\" at ")));
        QVERIFY(m_lines.contains(QStringLiteral("Signing in...")));
        QVERIFY(m_lines.contains(QStringLiteral("Converting the video...")));
        QVERIFY(m_lines.contains(QStringLiteral("Uploading to YouTube...")));
        QVERIFY(m_lines.contains(QStringLiteral("Uploading to YouTube: 100%")));
        const QRegularExpressionMatch shared = kSharedLine.match(m_lines.last());
        QVERIFY2(shared.hasMatch(), qPrintable(m_lines.join(QLatin1Char('\n'))));

        QNetworkAccessManager network;
        int stored = 0;
        for (const QJsonValue& upload : TestSupport::Fetch(network, "GET", AdminUrl("uploads")).json()
                                            .value(QStringLiteral("uploads"))
                                            .toArray())
        {
            if (upload.toObject().value(QStringLiteral("videoId")).toString() != shared.captured(1))
                continue;
            ++stored;
            QCOMPARE(upload.toObject().value(QStringLiteral("state")).toString(), QStringLiteral("complete"));
            QVERIFY(upload.toObject().value(QStringLiteral("size")).toDouble() > 1000);
        }
        QCOMPARE(stored, 1);
    }

    // The upload refused: the result window's reason is the outcome, the run ends as failed.
    void aRefusedUploadIsReportedAsFailed()
    {
        QVERIFY(SetFault(R"({"status": 403, "on": "start"})"));
        QCOMPARE(ShareUnattended(), int(HostApplication::Failed));
        // Advice, not a result code.
        QCOMPARE(m_lines.last(), QStringLiteral("Failed: The video could not be uploaded. YouTube does not let this "
                                                "account upload. Check the account on youtube.com."));
        QCOMPARE(VisibleWindows(), QStringList());
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

    void givesUpAfterItsLimit()
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

    // The program itself, as scripts/run.sh starts it on a machine without a
    // display: its exit status and the outcome line on stdout.
    void theProgramEndsWithItsOutcome_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<QString>("error");
        // Where the presets are read from; empty: the program's own.
        QTest::addColumn<QString>("resources");
        const QStringList unattended{QStringLiteral("--emulator"), QStringLiteral("--unattended")};
        QTest::newRow("shared to the emulator")
            << unattended + QStringList{m_clip} << 0 << kSharedLine.pattern() << QString() << QString();
        // What cannot be a video is said with its path, and nothing hangs on a pipe.
        const QString gone = m_dir.filePath(QStringLiteral("gone.mp4"));
        QTest::newRow("the file is gone")
            << unattended + QStringList{gone} << 1
            << QStringLiteral("^Failed: The file to share does not exist: %1$").arg(QRegularExpression::escape(gone))
            << QString() << QString();
        QTest::newRow("a folder") << unattended + QStringList{m_dir.path()} << 1
                                  << QStringLiteral("^Failed: .* is a folder, not a video file\\.$") << QString()
                                  << QString();
        QTest::newRow("a pipe") << unattended + QStringList{m_dir.filePath(QStringLiteral("pipe.mp4"))} << 1
                                << QStringLiteral("^Failed: .*pipe\\.mp4 is not a video file") << QString() << QString();
        QTest::newRow("an empty file") << unattended + QStringList{m_dir.filePath(QStringLiteral("empty.mp4"))} << 1
                                       << QStringLiteral("^Failed: .*empty\\.mp4 is empty") << QString() << QString();
        for (const char* name : {"notes.mp4", "cut short.mp4"})
            QTest::newRow(name) << unattended + QStringList{m_dir.filePath(QLatin1String(name))} << 1
                                << QStringLiteral("^Failed: .* is not a video this program can read") << QString()
                                << QString();
        QTest::newRow("an unknown option") << QStringList{QStringLiteral("--unattended"), QStringLiteral("--bogus"), m_clip} << 64 << QString()
                                           << QStringLiteral("Unknown option 'bogus'") << QString();
        // Start would go nowhere: the run ends at once instead of waiting for its limit.
        QTest::newRow("no presets to convert to")
            << unattended + QStringList{m_clip} << 1
            << QStringLiteral("^Failed: the sharing dialog offers no resolution to convert to") << QString()
            << m_dir.path();
        QTest::newRow("a real account without a client id")
            << QStringList{QStringLiteral("--unattended"), m_clip} << 64 << QString()
            << QStringLiteral("--unattended shares to a real account only with an OAuth client id") << QString();
    }

    void theProgramEndsWithItsOutcome()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, lastLine);
        QFETCH(QString, error);
        QFETCH(QString, resources);

        QProcess program;
        program.setProcessEnvironment(Environment(resources));
        program.start(QStringLiteral(RQ_YOUTUBE_HOST), arguments);
        QVERIFY(program.waitForFinished(120000));

        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == exitCode, qPrintable(out + err));
        const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (lastLine.isEmpty())
            QCOMPARE(lines, QStringList());
        else
            QVERIFY2(!lines.isEmpty() && QRegularExpression(lastLine).match(lines.last()).hasMatch(), qPrintable(out));
        QVERIFY2(err.contains(error), qPrintable(err));
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
        program.setProcessEnvironment(Environment());
        program.start(QStringLiteral(RQ_YOUTUBE_HOST),
                      {QStringLiteral("--emulator"), QStringLiteral("--unattended"), m_clip});
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT((out += QString::fromUtf8(program.readAllStandardOutput())).contains(
                                     QStringLiteral("Sharing \"Harbour\"")),
                                 60000);
        // The emulator is the program's child, with its data folder on its command line.
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(program.processId()));
        QVERIFY(children.open(QIODevice::ReadOnly));
        const QList<QByteArray> pids = children.readAll().simplified().split(' ');
        QString emulator;
        QString folder;
        for (const QByteArray& pid : pids)
        {
            QFile line(QStringLiteral("/proc/%1/cmdline").arg(QString::fromLatin1(pid)));
            if (!line.open(QIODevice::ReadOnly))
                continue;
            const QList<QByteArray> words = line.readAll().split('\0');
            if (!words.first().endsWith("youtube-emulator"))
                continue;
            emulator = QStringLiteral("/proc/") + QString::fromLatin1(pid);
            folder = QString::fromLocal8Bit(words.value(words.indexOf("--data") + 1));
        }
        QVERIFY2(!emulator.isEmpty(), pids.join(' ').constData());
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
            QVERIFY(SetFault(R"({"status": 400, "on": "token"})"));
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

        HostApplication host(m_options);
        UnattendedRun user(10min, Sink());
        QSignalSpy abandoned(&user, &UnattendedRun::Abandoned);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(host.Share(ioPath(m_clip.toStdString())));
        QTRY_COMPARE_WITH_TIMEOUT(abandoned.count(), 1, 60000);
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
        {
            HostApplication earlier(m_options);
            const auto protocol = earlier.Container()->resolve<RQ::SocialSettings>()->YouTubeProtocol();
            bool signedIn = false;
            protocol->LogIn({}, [&signedIn](Social::Ticket, Social::RequestResult result) {
                signedIn = result == Social::Success;
            });
            QTRY_VERIFY(signedIn);
        }
        QVERIFY(SetFault(R"({"revokeRefreshTokens": true})"));
        QCOMPARE(ShareUnattended(), int(HostApplication::Shared));
        const QString said = m_lines.join(QLatin1Char('\n'));
        QVERIFY2(m_lines.indexOf(QStringLiteral("Signing in...")) == 1, qPrintable(said));
        QVERIFY(m_lines.indexOf(QStringLiteral("Converting the video...")) > 1);
    }

private:
    enum SignInFailure
    {
        NoBrowser,
        ConsentRefused,
        TokenRefused,
    };

    // No display, and a home of its own: the user's settings stay untouched.
    QProcessEnvironment Environment(const QString& resources = QString()) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TAVRIX_YOUTUBE_CLIENT_ID",
                                 "TAVRIX_YOUTUBE_CLIENT_SECRET"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("HOME"), m_run->path());
        if (!resources.isEmpty())
            environment.insert(QStringLiteral("TAVRIX_RESOURCES_DIR"), resources);
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            environment.insert(QLatin1String(name), m_run->filePath(QLatin1String(name)));
        return environment;
    }

    bool SetFault(const QByteArray& json) const
    {
        QNetworkAccessManager network;
        return TestSupport::Fetch(network, "POST", AdminUrl("faults"), json, "application/json").status == 200;
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

    QUrl AdminUrl(const char* what) const
    {
        return m_emulator.Origin().resolved(QUrl(QStringLiteral("/_emulator/") + QLatin1String(what)));
    }

    QTemporaryDir m_dir;
    QString m_clip;
    EmulatorProcess m_emulator;
    std::unique_ptr<QTemporaryDir> m_run;
    HostOptions m_options;
    QStringList m_lines;
};

TAVRIX_TEST_MAIN(TestUnattendedRun)
#include "tst_UnattendedRun.moc"
