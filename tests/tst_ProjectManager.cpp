#include "ProjectManager.h"

#include "DesktopFakes.h"
#include "LogCapture.h"
#include "MediaClips.h"
#include "MediaFakes.h"
#include "TestMain.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

using namespace Tavrix;
using Tavrix::RQ::ProjectManager;

class TestProjectManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_haveFfmpeg = !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty()
                       && !QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty();
        if (!m_haveFfmpeg)
            return;
        // A name that would read as an option and a protocol if passed bare.
        m_video = m_dir.filePath(QStringLiteral("-clip: 1.mp4"));
        m_audio = m_dir.filePath(QStringLiteral("tone.m4a"));
        QVERIFY(TestSupport::MakeClip(QStringLiteral("file:") + m_video, 320, 240, 2, true));
        QVERIFY(TestSupport::MakeClip(m_dir.filePath(QStringLiteral("silent.mp4")), 160, 120, 1, false));
        const QStringList tone = TestSupport::Args(QStringLiteral("-v error -y -f lavfi -i sine=duration=1 -c:a aac"));
        QVERIFY(!TestSupport::RunTool(QStringLiteral("ffmpeg"), tone + QStringList{m_audio}).isNull());
        QVERIFY(TestSupport::WriteFile(m_dir.filePath(QStringLiteral("notes.mp4")), "these are notes, not a video\n"));
        QVERIFY(TestSupport::WriteFile(m_dir.filePath(QStringLiteral("locked.mp4")), ""));
        QVERIFY(QFile::setPermissions(m_dir.filePath(QStringLiteral("locked.mp4")), QFileDevice::WriteOwner));
    }

    void opensAVideoAndReadsItsFacts()
    {
        RequireFfmpeg();
        TestSupport::LogCapture log;
        ProjectManager manager(std::make_shared<RQ::FileManager>(), [] { return ProjectManager::Video; });
        // Closing with nothing open is harmless.
        manager.Close();
        QVERIFY(!manager.GetCurrentProject());
        manager.Open(Path(m_video));

        const auto project = manager.GetCurrentProject();
        QVERIFY(project);
        QCOMPARE(project->GetPath(), Path(m_video));
        const RQ::MediaFacts& facts = project->GetFacts();
        QVERIFY2(qAbs(facts.durationUs - 2000000) <= 100000, qPrintable(QString::number(facts.durationUs)));
        const QStringList seen{QStringLiteral("%1x%2").arg(facts.width).arg(facts.height), QString::number(facts.frameRate),
                               facts.hasVideo ? facts.videoCodec : "no video", facts.hasAudio ? facts.audioCodec : "no audio"};
        QCOMPARE(seen, (QStringList{"320x240", "25", "mpeg4", "aac"}));
        QVERIFY2(facts.container.contains(QLatin1String("mp4")), qPrintable(facts.container));
        QCOMPARE(log.Texts(google::GLOG_INFO).size(), 1);
        QVERIFY(log.Texts(google::GLOG_INFO).first().startsWith(
            QStringLiteral("Tavrix::RQ::ProjectManager::Open: Opened %1: 320x240, 25 fps, ").arg(m_video)));

        manager.Close();
        manager.Close();
        QVERIFY(!manager.GetCurrentProject());
        // The handle given out stays valid after the close.
        QCOMPARE(project->GetFacts().width, 320);
        QVERIFY_EXCEPTION_THROWN(ProjectManager(std::shared_ptr<RQ::IFileManager>(), {}), std::logic_error);
    }

    void refusesWhatItCannotOpen_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("probe"); // empty: ffprobe
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("detail");
        const int video = ProjectManager::Video;
        QTest::newRow("missing") << "missing.mp4" << video << "" << "File not found: " << "missing.mp4\"";
        QTest::newRow("folder") << "." << video << "" << "Not a file: " << "/.\"";
        QTest::newRow("text") << "notes.mp4" << video << "" << "Not a media file: "
                              << "Invalid data found when processing input";
        QTest::newRow("audio only") << "tone.m4a" << video << "" << "Unsupported file " << "it has no video stream";
        QTest::newRow("silent video as audio") << "silent.mp4" << int(ProjectManager::Audio) << ""
                                               << "Unsupported file " << "it has no audio stream";
        const QString noProbe = m_dir.filePath(QStringLiteral("no-such-ffprobe"));
        QTest::newRow("no probe") << "notes.mp4" << video << noProbe << "Cannot read media facts of "
                                  << "cannot start " + noProbe;
        // Root reads every file.
        if (geteuid() != 0)
            QTest::newRow("unreadable") << "locked.mp4" << video << "" << "File is not readable: " << "locked.mp4\"";
    }

    void refusesWhatItCannotOpen()
    {
        RequireFfmpeg();
        QFETCH(QString, file);
        QFETCH(int, type);
        QFETCH(QString, probe);
        QFETCH(QString, reason);
        QFETCH(QString, detail);
        const auto files = std::make_shared<RQ::FileManager>();
        ProjectManager manager(files, [type] { return static_cast<ProjectManager::ProjectType>(type); });
        manager.Open(Path(type == ProjectManager::Video ? m_video : m_audio));
        const auto before = manager.GetCurrentProject();
        if (!probe.isEmpty())
            files->SetProbeProgram(probe);

        const ioPath path = Path(m_dir.filePath(file));
        try
        {
            manager.Open(path);
            QFAIL("opened what it should refuse");
        }
        catch (const Tavrix::Exception& error)
        {
            const QString what = QString::fromStdString(error.what());
            QVERIFY2(what.startsWith(reason) && what.endsWith(detail), qPrintable(what));
            QVERIFY2(what.contains(QString::fromStdString(path.utf8string())), qPrintable(what));
        }
        // A refused file loses nothing: the open project stays open, the file stays where it is.
        QCOMPARE(manager.GetCurrentProject(), before);
        QCOMPARE(QFileInfo::exists(m_dir.filePath(file)), file != QLatin1String("missing.mp4"));
    }

    void fileManagerRemovesFilesOnlyAndShowsFolders()
    {
        TestSupport::RecordingOpener folders;
        RQ::FileManager files(folders.Function());
        const QString victim = m_dir.filePath(QStringLiteral("export.mp4"));
        QFile(victim).open(QIODevice::WriteOnly);
        QVERIFY(files.Exists(Path(victim)));
        QVERIFY(files.ShowInFolder(Path(victim)));
        QCOMPARE(folders.opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
        QVERIFY(files.Remove(Path(victim)));
        QVERIFY(!files.Exists(Path(victim)));
        QVERIFY(!files.Remove(Path(victim)));
        QVERIFY(!files.ShowInFolder(Path(victim)));
        // A folder is never removed through the file operation.
        QVERIFY(!files.Remove(Path(m_dir.path())));
        QVERIFY(QFile::exists(m_dir.path()));
    }

private:
    static ioPath Path(const QString& file) { return ioPath(file.toStdString()); }

    void RequireFfmpeg()
    {
        if (!m_haveFfmpeg)
            QSKIP("ffmpeg is not installed");
    }

    QTemporaryDir m_dir;
    bool m_haveFfmpeg = false;
    QString m_video;
    QString m_audio;
};

TAVRIX_TEST_MAIN(TestProjectManager)
#include "tst_ProjectManager.moc"
