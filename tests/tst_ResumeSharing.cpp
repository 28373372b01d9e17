// The host program killed half way through an upload and started again on the
// same video: against one emulator that outlives both runs, the second run
// skips the conversion and goes on with the open session, unless the source,
// the kept session or its record no longer allow it.

#include "KeptConversions.h"
#include "FlowProgram.h"
#include "MediaClips.h"
#include "MediaFakes.h"
#include "TestMain.h"
#include "YoutubeEmulator.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr qint64 kChunk = 256 * 1024;

QJsonDocument ReadJson(const QString& path)
{
    return QJsonDocument::fromJson(TestSupport::ReadAll(path));
}

} // namespace

class TestResumeSharing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is needed (scripts/install-deps.sh installs it)");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("Lighthouse.mp4"));
        QVERIFY(TestSupport::MakeClip(m_clip, 320, 240, 1.2, true));
    }

    void resumesAfterTheHostWasKilled_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<bool>("resumes");
        QTest::newRow("nothing changed") << QString() << false << true;
        QTest::newRow("the source changed") << QStringLiteral("source") << true << false;
        QTest::newRow("the session expired") << QStringLiteral("expired") << false << false;
        QTest::newRow("the record is torn") << QStringLiteral("torn") << false << false;
    }

    void resumesAfterTheHostWasKilled()
    {
        QFETCH(QString, change);
        QFETCH(bool, converts);
        QFETCH(bool, resumes);

        TestSupport::YoutubeEmulator emulator({QStringLiteral("--auto-consent")});
        QVERIFY2(emulator.Origin().isValid(), qPrintable(emulator.Error()));
        // Slow enough that a kill lands half way; quick enough for the whole test.
        emulator.Post(QStringLiteral("/_emulator/faults"),
                      QJsonObject{{"throttleBytesPerSecond", 400000}, {"times", -1}});
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString source = home.filePath(QStringLiteral("Lighthouse.mp4"));
        QVERIFY(QFile::copy(m_clip, source));
        const QString data = home.filePath(QStringLiteral("XDG_DATA_HOME/Tavrix/rq-youtube-host"));

        // First run: killed once half the video went up.
        QProcess first;
        Start(first, home, emulator.Origin(), source);
        QByteArray firstOut;
        QTRY_VERIFY_WITH_TIMEOUT((firstOut += first.readAllStandardOutput()).contains("Uploading to YouTube: 50%"),
                                 60000);
        first.kill();
        QVERIFY(first.waitForFinished(10000));

        const QJsonArray kept = ReadJson(data + QStringLiteral("/kept-conversions.json")).array();
        QCOMPARE(kept.size(), 1);
        const QString converted = kept.first().toObject().value(QStringLiteral("output")).toString();
        const QByteArray convertedBytes = TestSupport::ReadAll(converted);
        QVERIFY(!convertedBytes.isEmpty());
        const QByteArray convertedSha = QCryptographicHash::hash(convertedBytes, QCryptographicHash::Sha256).toHex();
        const QStringList records =
            QDir(data + QStringLiteral("/upload-sessions")).entryList({QStringLiteral("*.json")}, QDir::Files);
        QCOMPARE(records.size(), 1);
        const QString record = data + QStringLiteral("/upload-sessions/") + records.first();
        QCOMPARE(emulator.Uploads().size(), 1);
        const QString firstSession = emulator.Uploads().first().toObject().value(QStringLiteral("uploadId")).toString();

        if (change == QLatin1String("source"))
        {
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        }
        else if (change == QLatin1String("expired"))
        {
            QJsonObject json = ReadJson(record).object();
            json.insert(QStringLiteral("openedAt"),
                        QDateTime::currentDateTimeUtc().addDays(-7).toString(Qt::ISODateWithMs));
            QVERIFY(TestSupport::WriteFile(record, QJsonDocument(json).toJson()));
        }
        else if (change == QLatin1String("torn"))
        {
            QFile file(record);
            QVERIFY(file.resize(file.size() / 2));
        }

        // Second run: to the end.
        QProcess second;
        Start(second, home, emulator.Origin(), source);
        QVERIFY(second.waitForFinished(60000));
        const QString out = QString::fromUtf8(second.readAllStandardOutput());
        const QString err = QString::fromUtf8(second.readAllStandardError());
        QVERIFY2(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0, qPrintable(out + err));
        QVERIFY2(out.contains(QLatin1String("\nShared: https://www.youtube.com/watch?v=")), qPrintable(out));
        QCOMPARE(out.contains(QLatin1String("Converting the video...")), converts);
        const QRegularExpressionMatch resumed =
            QRegularExpression(QStringLiteral("\nResuming the upload at (\\d+)%\n")).match(out);
        QVERIFY2(resumed.hasMatch() == resumes, qPrintable(out));
        if (change == QLatin1String("torn"))
            QVERIFY2(err.contains(QLatin1String("ignoring the unreadable upload session record")), qPrintable(err));

        // One complete video; resumed, it is the first session, and no byte went twice beyond a chunk.
        QJsonObject complete;
        qint64 received = 0;
        for (const QJsonValue& value : emulator.Uploads())
        {
            const QJsonObject upload = value.toObject();
            if (upload.value(QStringLiteral("state")).toString() != QLatin1String("complete"))
                continue;
            QVERIFY2(complete.isEmpty(), "two videos were stored");
            complete = upload;
            for (const QJsonValue& request : upload.value(QStringLiteral("history")).toArray())
                received += static_cast<qint64>(request.toObject().value(QStringLiteral("received")).toDouble());
        }
        QVERIFY(!complete.isEmpty());
        const qint64 size = static_cast<qint64>(complete.value(QStringLiteral("size")).toDouble());
        QCOMPARE(complete.value(QStringLiteral("uploadId")).toString() == firstSession, resumes);
        if (!converts)
            QCOMPARE(complete.value(QStringLiteral("sha256")).toString().toLatin1(), convertedSha);
        if (resumes)
        {
            QVERIFY2(resumed.captured(1).toInt() >= 25, qPrintable(out));
            QVERIFY2(received <= size + kChunk, qPrintable(QStringLiteral("%1 of %2").arg(received).arg(size)));
        }
        else
        {
            QCOMPARE(received, size);
        }

        // Nothing is left behind once the sharing ended.
        QVERIFY(!QFile::exists(converted));
        QCOMPARE(ReadJson(data + QStringLiteral("/kept-conversions.json")).array().size(), 0);
        QCOMPARE(QDir(data + QStringLiteral("/upload-sessions")).entryList({QStringLiteral("*.json")}, QDir::Files),
                 QStringList());
    }

    // What the list may hold at start: files too old or past the limit go,
    // oldest first; a user's copy or a file changed since is only unlisted.
    void keptConversionsArePruned_data()
    {
        // One file of 1 MiB each: its age, and whether it is the user's or changed since it was kept.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("left"); // 1 still on disk, 0 gone, a character a file
        QTest::addColumn<int>("listed");
        const qint64 ample = 100 * 1024 * 1024;
        QTest::newRow("young ones stay") << QStringList{"1h", "2h"} << ample << "11" << 2;
        QTest::newRow("too old") << QStringList{"1h", "200h"} << ample << "10" << 1;
        QTest::newRow("too old, but the user's or changed") << QStringList{"200h user", "200h changed"} << ample << "11"
                                                            << 0;
        QTest::newRow("past the limit, oldest first") << QStringList{"3h", "1h", "2h"} << qint64(2 * 1024 * 1024)
                                                      << "011" << 2;
    }

    void keptConversionsArePruned()
    {
        QFETCH(QStringList, files);
        QFETCH(qint64, limit);
        QFETCH(QString, left);
        QFETCH(int, listed);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QJsonArray list;
        for (int i = 0; i < files.size(); ++i)
        {
            const QString file = folder.filePath(QStringLiteral("kept %1.mp4").arg(i));
            QVERIFY(TestSupport::WriteFile(file, QByteArray(1024 * 1024, 'v')));
            const QFileInfo info(file);
            const qint64 ageHours = files.at(i).section(QLatin1Char('h'), 0, 0).toLongLong();
            list.append(QJsonObject{
                {"source", folder.filePath(QStringLiteral("source.mp4"))},
                {"output", file},
                {"outputSize", static_cast<double>(info.size() + (files.at(i).endsWith("changed") ? 1 : 0))},
                {"outputModified", static_cast<double>(info.lastModified().toMSecsSinceEpoch())},
                {"keptAt", static_cast<double>(QDateTime::currentMSecsSinceEpoch() - ageHours * 3600000LL)},
                {"userCopy", files.at(i).endsWith("user")}});
        }
        const QString listFile = folder.filePath(QStringLiteral("kept-conversions.json"));
        QVERIFY(TestSupport::WriteFile(listFile, QJsonDocument(list).toJson()));

        Tavrix::RQ::Host::KeptConversions kept(listFile, 6 * 24 * 3600, limit);
        QString onDisk;
        for (int i = 0; i < files.size(); ++i)
            onDisk += QFile::exists(folder.filePath(QStringLiteral("kept %1.mp4").arg(i))) ? QLatin1Char('1')
                                                                                           : QLatin1Char('0');
        QCOMPARE(onDisk, left);
        QCOMPARE(ReadJson(listFile).array().size(), listed);
    }

private:
    static void Start(QProcess& program, const QTemporaryDir& home, const QUrl& emulator, const QString& source)
    {
        const QStringList arguments{QStringLiteral("--emulator-at"), emulator.toString(),
                                    QStringLiteral("--unattended"), source};
        TestSupport::StartProgram(program, QStringLiteral(RQ_YOUTUBE_HOST), home.path(), arguments,
                                  {{QStringLiteral("TAVRIX_YOUTUBE_CHUNK_SIZE"), QString::number(kChunk)}});
    }

    QTemporaryDir m_dir;
    QString m_clip;
};

TAVRIX_TEST_MAIN(TestResumeSharing)
#include "tst_ResumeSharing.moc"
