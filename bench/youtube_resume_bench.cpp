// What resuming saves: uploads one large file to the loopback emulator once
// without a break (the baseline), then again with the protocol component torn
// down at half way, as a killed program would be, and a new one started on
// the same file; prints the bytes the server received and the seconds each
// took.
//
//   youtube-resume-bench [--size-mib N] [--chunk-mib N] [--dir DIR]

#include "EmulatorSession.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <glog/logging.h>

#include <cstdio>
#include <memory>

using namespace Tavrix::Social;

namespace {
using Bench::Die;
using Bench::kMiB;

struct Run
{
    double seconds = 0;
    qint64 received = 0;
    int sessions = 0;
    QString sha256;
};

class ResumeBench
{
public:
    ResumeBench(const QUrl& origin, const QTemporaryDir& work, qint64 chunkSize)
        : m_origin(origin)
    {
        m_config = Bench::EmulatorConfiguration(origin, work.filePath("tokens.json"));
        m_config.sessionFolder = work.filePath("sessions");
        if (chunkSize > 0)
            m_config.chunkSize = chunkSize;
    }

    qint64 ChunkSize() const { return m_config.EffectiveChunkSize(); }

    // A protocol signed in through the emulator's automatic consent (the tokens stay for the next one).
    std::unique_ptr<YoutubeNetworkProtocol> Protocol()
    {
        auto protocol = std::make_unique<YoutubeNetworkProtocol>(m_config, Bench::EmulatorBrowser(m_network));
        if (!protocol->IsLoggedIn())
            Bench::SignIn(*protocol);
        return protocol;
    }

    // Uploads the file; with `breakAt`, the component goes at that percentage and a new one finishes.
    Run Upload(const QString& path, int breakAt)
    {
        const QSet<QString> before = SessionIds();
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<YoutubeNetworkProtocol> protocol = Protocol();
        QString videoId;
        for (bool broken = false; videoId.isEmpty();)
        {
            QEventLoop loop;
            const auto progress = [&](Ticket, int percent) {
                if (breakAt > 0 && !broken && percent >= breakAt)
                {
                    broken = true;
                    loop.quit();
                }
            };
            protocol->Upload(path, {{YoutubeProtocol::FIELD_TITLE, "Benchmark"}, {YoutubeProtocol::FIELD_PRIVACY, "private"}},
                             [&](Ticket, RequestResult, const DefaultSharingResult& data) {
                                 videoId = data.videoId;
                                 loop.quit();
                             },
                             progress);
            loop.exec();
            if (videoId.isEmpty() && !broken)
                Die("the upload failed");
            if (videoId.isEmpty())
            {
                // As if the program were killed: nothing is told, the session stays kept.
                protocol.reset();
                protocol = Protocol();
            }
        }
        Run run;
        run.seconds = clock.nsecsElapsed() / 1e9;
        for (const QJsonValue& value : Uploads())
        {
            const QJsonObject upload = value.toObject();
            if (before.contains(upload.value("uploadId").toString()))
                continue;
            ++run.sessions;
            if (upload.value("videoId").toString() == videoId)
                run.sha256 = upload.value("sha256").toString();
            for (const QJsonValue& request : upload.value("history").toArray())
                run.received += static_cast<qint64>(request.toObject().value("received").toDouble());
        }
        return run;
    }

private:
    QJsonArray Uploads()
    {
        return QJsonDocument::fromJson(Bench::Send(m_network, QNetworkRequest(m_origin.resolved(QUrl("/_emulator/uploads"))), "GET").body)
            .object()
            .value("uploads")
            .toArray();
    }

    QSet<QString> SessionIds()
    {
        QSet<QString> ids;
        for (const QJsonValue& upload : Uploads())
            ids.insert(upload.toObject().value("uploadId").toString());
        return ids;
    }

    QUrl m_origin;
    YouTube::Configuration m_config;
    QNetworkAccessManager m_network;
};
} // namespace

int main(int argc, char** argv)
{
    Bench::QuietStart(argv[0]);
    QApplication app(argc, argv);
    const Bench::Arguments arguments = Bench::ParseArguments(app);
    QTemporaryDir work(arguments.folder);
    if (!work.isValid())
        Die("cannot make a work folder");
    const qint64 size = arguments.size;
    const QString path = work.filePath("video.bin");
    {
        // Random bytes: nothing on the way may shrink them.
        QProcess head;
        head.setStandardOutputFile(path);
        head.start("head", {"-c", QString::number(size), "/dev/urandom"});
        if (!head.waitForFinished(-1) || head.exitCode() != 0)
            Die("cannot write the file");
    }
    QProcess sha;
    sha.start("sha256sum", {path});
    sha.waitForFinished(-1);
    const QString fileSha = QString::fromLatin1(sha.readAllStandardOutput()).section(' ', 0, 0);

    QProcess emulator;
    const QUrl origin = Bench::StartEmulator(emulator, TAVRIX_YOUTUBE_EMULATOR, work.filePath("emulator"));

    ResumeBench bench(origin, work, arguments.chunkSize);
    const Run straight = bench.Upload(path, 0);
    const Run resumed = bench.Upload(path, 50);
    emulator.terminate();
    emulator.waitForFinished(10000);
    if (straight.sha256 != fileSha || resumed.sha256 != fileSha)
        Die("an upload arrived damaged");
    if (resumed.sessions != 1)
        Die(QStringLiteral("the interrupted upload used %1 sessions instead of resuming its one").arg(resumed.sessions));

    const double mib = double(size) / kMiB;
    std::printf("file:                      %.0f MiB, chunks of %lld MiB\n", mib, bench.ChunkSize() / kMiB);
    std::printf("uninterrupted (baseline):  %lld bytes received, %.2f s\n", straight.received, straight.seconds);
    std::printf("interrupted at 50%%, resumed: %lld bytes received (%+lld, %.2f %% of the file), %.2f s\n",
                resumed.received, resumed.received - straight.received,
                100.0 * double(resumed.received - straight.received) / double(size), resumed.seconds);
    return 0;
}
