// Uploads one large file to the loopback emulator with the YouTube protocol
// component and, in the same run, the same bytes with curl, then prints both
// throughputs, their ratio and the component's peak resident memory.
//
//   youtube-upload-bench [--size-mib N] [--chunk-mib N] [--dir DIR]

#include "UploadBenchSupport.h"
#include "YoutubeConfiguration.h"
#include "YoutubeNetworkProtocol.h"

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

namespace {
using UploadBench::kMiB;

[[noreturn]] void Die(const QString& why)
{
    std::fprintf(stderr, "youtube-upload-bench: %s\n", qPrintable(why));
    std::exit(1);
}

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

struct Answer
{
    int status = 0;
    QByteArray body;
    QByteArray location;
};

Answer Send(QNetworkAccessManager& network, QNetworkRequest request, const QByteArray& verb, const QByteArray& body = {})
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = network.sendCustomRequest(request, verb, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
                  reply->rawHeader("Location")};
    reply->deleteLater();
    return answer;
}

QByteArray FileSha256(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        Die(QStringLiteral("cannot hash %1").arg(path));
    return hash.result().toHex();
}

QJsonObject UploadWithId(QNetworkAccessManager& network, const QUrl& origin, const QString& videoId)
{
    const Answer answer = Send(network, QNetworkRequest(origin.resolved(QUrl("/_emulator/uploads"))), "GET");
    for (const QJsonValue& upload : QJsonDocument::fromJson(answer.body).object().value("uploads").toArray())
        if (upload.toObject().value("videoId").toString() == videoId)
            return upload.toObject();
    return {};
}
} // namespace

int main(int argc, char** argv)
{
    UploadBench::Prepare(argv[0]);
    QApplication app(argc, argv);
    const UploadBench::Arguments arguments = UploadBench::Parse(app);
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
    const QUrl origin = UploadBench::StartEmulator(emulator, TAVRIX_YOUTUBE_EMULATOR, temporary.filePath("emulator"));
    if (origin.isEmpty())
        Die("the emulator did not start");
    QNetworkAccessManager network;

    YouTube::Configuration config;
    config.PointAt(origin);
    config.clientId = "emulator-client-id";
    config.clientSecret = "emulator-client-secret";
    config.useKeychain = false;
    config.tokenFile = temporary.filePath("tokens.json");
    if (arguments.chunkSize > 0)
        config.chunkSize = arguments.chunkSize;

    // Sign in, playing the browser on the emulator's automatic consent.
    YoutubeNetworkProtocol protocol(config, [&network](const QUrl& url) {
        QTimer::singleShot(0, [&network, url] {
            const Answer consent = Send(network, QNetworkRequest(url), "GET");
            Send(network, QNetworkRequest(QUrl::fromEncoded(consent.location)), "GET");
        });
        return true;
    });
    RequestResult signedIn = Failed;
    {
        QEventLoop loop;
        protocol.LogIn({}, [&](Ticket, RequestResult result) {
            signedIn = result;
            loop.quit();
        });
        loop.exec();
    }
    if (signedIn != Success)
        Die("the sign-in failed");

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
    QFile tokens(config.tokenFile);
    tokens.open(QIODevice::ReadOnly);
    const QString access = QJsonDocument::fromJson(tokens.readAll()).object().value("access_token").toString();
    QNetworkRequest start(QUrl(config.uploadUrl.toString() + "?uploadType=resumable&part=snippet,status"));
    start.setRawHeader("Authorization", "Bearer " + access.toLatin1());
    start.setHeader(QNetworkRequest::ContentTypeHeader, "application/json; charset=UTF-8");
    start.setRawHeader("X-Upload-Content-Length", QByteArray::number(size));
    start.setRawHeader("X-Upload-Content-Type", "video/*");
    const Answer session =
        Send(network, start, "POST", R"({"snippet":{"title":"Benchmark curl"},"status":{"privacyStatus":"private"}})");
    if (session.status != 200 || session.location.isEmpty())
        Die("curl's session could not be opened");
    const QString headers = temporary.filePath("curl-headers.txt");
    {
        QFile file(headers);
        file.open(QIODevice::WriteOnly);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        file.write("Authorization: Bearer " + access.toLatin1() + "\nContent-Type: application/octet-stream\n"
                   "Content-Range: bytes 0-" + QByteArray::number(size - 1) + "/" + QByteArray::number(size) + "\n");
    }
    QProcess curl;
    curl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    curl.start("curl", {"-sS", "-o", temporary.filePath("curl-answer.json"), "-w", "%{http_code} %{time_total}",
                        "-H", "@" + headers, "-T", path, "-X", "PUT", QString::fromLatin1(session.location)});
    if (!curl.waitForFinished(-1))
        Die("curl did not run");
    const double curlCpu = CpuSeconds(RUSAGE_CHILDREN);
    const QStringList curlOut = QString::fromLatin1(curl.readAllStandardOutput()).split(' ');
    const double curlSecs = curlOut.value(1).toDouble();
    if (curlOut.value(0).toInt() / 100 != 2 || curlSecs <= 0)
        Die("curl's upload failed: " + curlOut.join(' '));
    QFile curlAnswer(temporary.filePath("curl-answer.json"));
    curlAnswer.open(QIODevice::ReadOnly);
    const QString curlVideo = QJsonDocument::fromJson(curlAnswer.readAll()).object().value("id").toString();
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
