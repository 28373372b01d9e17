// Uploads one large file to the loopback emulator with the YouTube protocol
// component and, in the same run, the same bytes with curl, then prints both
// throughputs, their ratio and the component's peak resident memory.
//
//   youtube-upload-bench [--size-mib N] [--chunk-mib N] [--dir DIR]

#include "EmulatorSession.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <glog/logging.h>

#include <cstdio>
#include <sys/resource.h>
#include <cstring>

using namespace Tavrix::Social;
using Bench::Die;
using Bench::Send;
using Bench::UploadWithId;

namespace {
using Bench::kMiB;

// VmHWM of this process in KiB.
qint64 PeakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression pattern(QStringLiteral("VmHWM:\\s*(\\d+) kB"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// Lets the peak start from what is resident now (Linux: "5" resets VmHWM).
void ResetPeakRss()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray FileSha256(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        Die(QStringLiteral("cannot hash %1").arg(path));
    return hash.result().toHex();
}

} // namespace

int main(int argc, char** argv)
{
    Bench::QuietStart(argv[0]);
    QApplication app(argc, argv);

    const Bench::Arguments arguments = Bench::ParseArguments(app);

    QTemporaryDir temporary(arguments.folder);
    if (!temporary.isValid())
        Die("cannot make a work folder");
    const qint64 size = arguments.size;

    // The file: 16 MiB of random bytes, repeated, with the block number stamped in.
    const QString path = temporary.filePath("video.bin");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            Die("cannot write the file");
        QByteArray block(16 * kMiB, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        for (qint64 written = 0, n = 0; written < size; ++n)
        {
            std::memcpy(block.data(), &n, sizeof n);
            const qint64 part = qMin<qint64>(block.size(), size - written);
            if (file.write(block.constData(), part) != part)
                Die("cannot write the file");
            written += part;
        }
    }
    const QByteArray sha = FileSha256(path);

    QProcess emulator;
    const QUrl origin = Bench::StartEmulator(emulator, TAVRIX_YOUTUBE_EMULATOR, temporary.filePath("emulator"));
    QNetworkAccessManager network;

    YouTube::Configuration config = Bench::EmulatorConfiguration(origin, temporary.filePath("tokens.json"));
    if (arguments.chunkSize > 0)
        config.chunkSize = arguments.chunkSize;
    YoutubeNetworkProtocol protocol(config, Bench::EmulatorBrowser(network));
    Bench::SignIn(protocol);

    // The component.
    const qint64 rssBefore = PeakRssKiB();
    ResetPeakRss();
    QElapsedTimer clock;
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    RequestResult uploaded = Failed;
    DefaultSharingResult result;
    {
        QEventLoop loop;
        clock.start();
        protocol.Upload(path,
                        {{YoutubeProtocol::FIELD_TITLE, "Benchmark"}, {YoutubeProtocol::FIELD_PRIVACY, "private"}},
                        [&](Ticket, RequestResult r, const DefaultSharingResult& data) {
                            uploaded = r;
                            result = data;
                            loop.quit();
                        },
                        {});
        loop.exec();
    }
    const double componentSecs = clock.nsecsElapsed() / 1e9;
    const double componentCpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    const qint64 peakRss = PeakRssKiB();
    if (uploaded != Success)
        Die("the component's upload failed: " + result.message);
    if (UploadWithId(network, origin, result.videoId).value("sha256").toString().toLatin1() != sha)
        Die("the component's upload arrived damaged");

    // curl, the same bytes in one PUT of a session opened the same way.
    const auto [curlVideo, curlSecs] = Bench::CurlUpload(network, config, path, size, temporary.path());
    const double curlCpu = CpuSeconds(RUSAGE_CHILDREN);
    if (UploadWithId(network, origin, curlVideo).value("sha256").toString().toLatin1() != sha)
        Die("curl's upload arrived damaged");

    emulator.terminate();
    emulator.waitForFinished(10000);

    const double mib = double(size) / kMiB;
    const double componentRate = mib / componentSecs;
    const double curlRate = mib / curlSecs;
    std::printf("file:        %.0f MiB, chunks of %lld MiB\n", mib, config.EffectiveChunkSize() / kMiB);
    std::printf("component:   %.2f s, %.1f MiB/s, %.2f s of CPU\n", componentSecs, componentRate, componentCpu);
    std::printf("curl:        %.2f s, %.1f MiB/s, %.2f s of CPU\n", curlSecs, curlRate, curlCpu);
    std::printf("ratio:       %.1f %% of curl's throughput\n", 100.0 * componentRate / curlRate);
    std::printf("peak RSS:    %lld KiB during the upload (VmHWM; %lld KiB before it)\n", peakRss, rssBefore);
    return 0;
}
