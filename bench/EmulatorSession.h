#pragma once

// What the benchmarks share: the loopback emulator started for the run, an
// account signed in on it through the YouTube protocol component, and curl's
// upload of a file to it, the baseline every upload figure is measured against.

#include "YoutubeConfiguration.h"
#include "YoutubeNetworkProtocol.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <glog/logging.h>

#include <cstdio>
#include <cstdlib>

namespace Bench {

constexpr qint64 kMiB = 1024 * 1024;

[[noreturn]] inline void Die(const QString& why)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(why));
    std::exit(1);
}

// Before the application: warnings and errors only on stderr, no display needed.
inline void QuietStart(const char* program)
{
    FLAGS_logtostderr = true;
    FLAGS_minloglevel = 1;
    google::InitGoogleLogging(program);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The upload benchmarks' command line: [--size-mib N] [--chunk-mib N] [--dir DIR].
struct Arguments
{
    qint64 size = 0;
    qint64 chunkSize = 0; // 0: the component's
    QString folder;       // a QTemporaryDir template; empty: the system's temporary folder
};

inline Arguments ParseArguments(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption sizeOption("size-mib", "File size in MiB (default 1024).", "N", "1024");
    const QCommandLineOption chunkOption("chunk-mib", "Chunk size in MiB (default: the component's).", "N");
    const QCommandLineOption dirOption("dir", "Folder for the file and the emulator's data.", "DIR");
    parser.addOptions({sizeOption, chunkOption, dirOption});
    parser.process(app);
    return {parser.value(sizeOption).toLongLong() * kMiB, parser.value(chunkOption).toLongLong() * kMiB,
            parser.isSet(dirOption) ? parser.value(dirOption) + "/bench-XXXXXX" : QString()};
}

struct Answer
{
    int status = 0;
    QByteArray body;
    QByteArray location;
};

inline Answer Send(QNetworkAccessManager& network, QNetworkRequest request, const QByteArray& verb,
                   const QByteArray& body = {})
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

// The emulator's record of an upload: size, sha256, metadata.
inline QJsonObject UploadWithId(QNetworkAccessManager& network, const QUrl& origin, const QString& videoId)
{
    const Answer answer = Send(network, QNetworkRequest(origin.resolved(QUrl("/_emulator/uploads"))), "GET");
    for (const QJsonValue& upload : QJsonDocument::fromJson(answer.body).object().value("uploads").toArray())
        if (upload.toObject().value("videoId").toString() == videoId)
            return upload.toObject();
    return {};
}

// Starts the emulator with automatic consent, its data in `folder`; its origin.
inline QUrl StartEmulator(QProcess& emulator, const QString& program, const QString& folder)
{
    emulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    emulator.start(program, {"--port", "0", "--data", folder, "--auto-consent"});
    if (!emulator.waitForReadyRead(20000))
        Die("the emulator did not start");
    const QRegularExpressionMatch listening =
        QRegularExpression("listening on (http://127\\.0\\.0\\.1:\\d+)").match(QString::fromUtf8(emulator.readLine()));
    if (!listening.hasMatch())
        Die("the emulator did not say where it listens");
    return QUrl(listening.captured(1));
}

// The component's configuration for the emulator, its tokens in `tokenFile`.
inline Tavrix::Social::YouTube::Configuration EmulatorConfiguration(const QUrl& origin, const QString& tokenFile)
{
    Tavrix::Social::YouTube::Configuration config;
    config.PointAt(origin);
    config.clientId = "emulator-client-id";
    config.clientSecret = "emulator-client-secret";
    config.useKeychain = false;
    config.tokenFile = tokenFile;
    return config;
}

// Signs the protocol in, playing the browser on the emulator's automatic consent.
inline void SignIn(Tavrix::Social::YoutubeNetworkProtocol& protocol)
{
    Tavrix::Social::RequestResult signedIn = Tavrix::Social::Failed;
    QEventLoop loop;
    protocol.LogIn({}, [&](Tavrix::Social::Ticket, Tavrix::Social::RequestResult result) {
        signedIn = result;
        loop.quit();
    });
    loop.exec();
    if (signedIn != Tavrix::Social::Success)
        Die("the sign-in failed");
}

// The browser for SignIn: follows the consent page's redirect back to the listener.
inline Tavrix::Social::YoutubeNetworkProtocol::BrowserOpener EmulatorBrowser(QNetworkAccessManager& network)
{
    return [&network](const QUrl& url) {
        QTimer::singleShot(0, [&network, url] {
            const Answer consent = Send(network, QNetworkRequest(url), "GET");
            Send(network, QNetworkRequest(QUrl::fromEncoded(consent.location)), "GET");
        });
        return true;
    };
}

// curl's upload of `path` (`size` bytes) in one PUT of a resumable session
// opened with the signed-in account's token; its video id and seconds.
inline std::pair<QString, double> CurlUpload(QNetworkAccessManager& network,
                                             const Tavrix::Social::YouTube::Configuration& config, const QString& path,
                                             qint64 size, const QString& workFolder)
{
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
    // The token goes to curl in a file only the user reads, never on its command line.
    const QString headers = workFolder + "/curl-headers.txt";
    {
        QFile file(headers);
        file.open(QIODevice::WriteOnly);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        file.write("Authorization: Bearer " + access.toLatin1() + "\nContent-Type: application/octet-stream\n"
                   "Content-Range: bytes 0-" + QByteArray::number(size - 1) + "/" + QByteArray::number(size) + "\n");
    }
    const QString answerFile = workFolder + "/curl-answer.json";
    QProcess curl;
    curl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    curl.start("curl", {"-sS", "-o", answerFile, "-w", "%{http_code} %{time_total}", "-H", "@" + headers, "-T", path,
                        "-X", "PUT", QString::fromLatin1(session.location)});
    if (!curl.waitForFinished(-1))
        Die("curl did not run");
    const QStringList curlOut = QString::fromLatin1(curl.readAllStandardOutput()).split(' ');
    const double seconds = curlOut.value(1).toDouble();
    if (curlOut.value(0).toInt() / 100 != 2 || seconds <= 0)
        Die("curl's upload failed: " + curlOut.join(' '));
    QFile answer(answerFile);
    answer.open(QIODevice::ReadOnly);
    return {QJsonDocument::fromJson(answer.readAll()).object().value("id").toString(), seconds};
}

} // namespace Bench
