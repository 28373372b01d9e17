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

        QVERIFY(TestSupport::StartEmulator(m_emulator));
    }

    void init()
    {
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
        QNetworkAccessManager network;
        const QJsonObject fault{{"status", 403}, {"on", "start"}};
        QCOMPARE(TestSupport::Fetch(network, "POST", AdminUrl("faults"), QJsonDocument(fault).toJson(),
                                    "application/json")
                     .status,
                 200);

        HostApplication host(m_options);
        UnattendedRun user(10min, Sink());
        QSignalSpy abandoned(&user, &UnattendedRun::Abandoned);
        QSignalSpy finished(&host, &HostApplication::Finished);
        QVERIFY(host.Share(ioPath(m_clip.toStdString())));

        QTRY_VERIFY_WITH_TIMEOUT(finished.count() + abandoned.count() > 0, 120000);
        QVERIFY2(abandoned.isEmpty(), qPrintable(m_lines.join(QLatin1Char('\n'))));
        QCOMPARE(finished.first().first().toInt(), int(HostApplication::Failed));
        QVERIFY2(m_lines.last().startsWith(QStringLiteral("Failed: The video could not be uploaded. Reason: ")),
                 qPrintable(m_lines.last()));
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
        QTest::newRow("the file is gone")
            << unattended + QStringList{m_dir.filePath(QStringLiteral("gone.mp4"))} << 2
            << QStringLiteral("^Failed: .*The file to share does not exist:") << QString() << QString();
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

        // No display, and a home of its own: the user's settings stay untouched.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TAVRIX_YOUTUBE_CLIENT_ID",
                                 "TAVRIX_YOUTUBE_CLIENT_SECRET"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("HOME"), m_run->path());
        if (!resources.isEmpty())
            environment.insert(QStringLiteral("TAVRIX_RESOURCES_DIR"), resources);
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            environment.insert(QLatin1String(name), m_run->filePath(QLatin1String(name)));
        QProcess program;
        program.setProcessEnvironment(environment);
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

private:
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
