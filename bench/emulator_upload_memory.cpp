// Uploads a large generated video (1 GiB by default) to youtube-emulator in
// chunks and reports the emulator's peak resident size (VmHWM), to show that
// uploaded bytes go to disk and never pile up in memory. Run on demand:
//   emulator_upload_memory [--size MiB] [--chunk MiB] [--emulator PATH]
// --chunk 0 sends the whole file in one PUT.

#include <httplib.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr qint64 kMiB = 1024 * 1024;

// The video's bytes, one pseudo-random MiB block at a time.
void FillBlock(qint64 index, char* out, qint64 length)
{
    quint64 state = quint64(index) * 0x9E3779B97F4A7C15ull + 1;
    for (qint64 i = 0; i < length; i += 8)
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(out + i, &state, size_t(std::min<qint64>(8, length - i)));
    }
}

QString Status(qint64 pid, const char* field)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(field))
            return QString::fromLatin1(line.mid(int(qstrlen(field)) + 1).trimmed());
    return QString();
}

int Fail(const char* what)
{
    std::fprintf(stderr, "emulator_upload_memory: %s\n", what);
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qint64 size = 1024 * kMiB;
    qint64 chunk = 64 * kMiB;
    QString emulatorPath = QStringLiteral(YOUTUBE_EMULATOR_PATH);
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2)
    {
        if (args[i] == QLatin1String("--size"))
            size = args[i + 1].toLongLong() * kMiB;
        else if (args[i] == QLatin1String("--chunk"))
            chunk = args[i + 1].toLongLong() * kMiB;
        else if (args[i] == QLatin1String("--emulator"))
            emulatorPath = args[i + 1];
    }
    if (chunk <= 0 || chunk > size)
        chunk = size;

    QTemporaryDir data;
    QProcess emulator;
    emulator.start(emulatorPath, {"--port", "0", "--data", data.path(), "--auto-consent"});
    if (!emulator.waitForStarted() || !emulator.waitForReadyRead(10000))
        return Fail("the emulator did not start");
    struct StopAtEnd
    {
        QProcess& process;
        ~StopAtEnd()
        {
            process.terminate();
            process.waitForFinished(5000);
        }
    } stopAtEnd{emulator};
    const int port = QString::fromUtf8(emulator.readLine()).trimmed().section(QLatin1Char(':'), -1).toInt();
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(600);
    client.set_write_timeout(600);
    std::printf("emulator pid %lld on port %d, VmHWM after start: %s\n", emulator.processId(), port,
                qPrintable(Status(emulator.processId(), "VmHWM:")));

    // Sign in: verifier and challenge of RFC 7636's example.
    const std::string verifier = "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk";
    const std::string challenge = "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM";
    const auto auth = client.Get(("/o/oauth2/v2/auth?client_id=emulator-client-id&redirect_uri=http%3A%2F%2F127.0.0.1%3A1%2F"
                                  "&response_type=code&scope=https%3A%2F%2Fwww.googleapis.com%2Fauth%2Fyoutube.upload"
                                  "&state=s&code_challenge_method=S256&code_challenge=" + challenge).c_str());
    const QString code = auth ? QUrlQuery(QUrl(QString::fromStdString(auth->get_header_value("Location"))))
                                    .queryItemValue("code", QUrl::FullyDecoded)
                              : QString();
    const auto token = client.Post("/token", httplib::Params{{"code", code.toStdString()},
                                                             {"client_id", "emulator-client-id"},
                                                             {"client_secret", "emulator-client-secret"},
                                                             {"redirect_uri", "http://127.0.0.1:1/"},
                                                             {"grant_type", "authorization_code"},
                                                             {"code_verifier", verifier}});
    const std::string access =
        token ? QJsonDocument::fromJson(QByteArray::fromStdString(token->body)).object().value("access_token").toString().toStdString()
              : std::string();
    if (access.empty())
        return Fail("sign-in failed");

    const auto start = client.Post("/upload/youtube/v3/videos?uploadType=resumable&part=snippet,status",
                                   httplib::Headers{{"Authorization", "Bearer " + access},
                                                    {"X-Upload-Content-Length", std::to_string(size)},
                                                    {"X-Upload-Content-Type", "video/mp4"}},
                                   R"({"snippet": {"title": "Large upload"}, "status": {"privacyStatus": "private"}})",
                                   "application/json; charset=UTF-8");
    if (!start || start->status != 200)
        return Fail("the session did not start");
    const std::string session =
        start->get_header_value("Location").substr(QStringLiteral("http://127.0.0.1:%1").arg(port).size());

    QCryptographicHash sent(QCryptographicHash::Sha256);
    std::vector<char> block(static_cast<size_t>(kMiB));
    QElapsedTimer timer;
    timer.start();
    int finalStatus = 0;
    for (qint64 first = 0; first < size; first += chunk)
    {
        const qint64 length = std::min(chunk, size - first);
        const auto res = client.Put(
            session.c_str(),
            httplib::Headers{{"Content-Range", "bytes " + std::to_string(first) + "-" +
                                                   std::to_string(first + length - 1) + "/" + std::to_string(size)}},
            size_t(length),
            [&](size_t offset, size_t, httplib::DataSink& sink) {
                const qint64 at = first + qint64(offset);
                const qint64 piece = std::min(kMiB, first + length - at);
                FillBlock(at / kMiB, block.data(), piece);
                sent.addData(block.data(), int(piece));
                return sink.write(block.data(), size_t(piece));
            },
            "application/octet-stream");
        if (!res)
            return Fail("a chunk got no answer");
        finalStatus = res->status;
        std::printf("  bytes %lld-%lld: %d, emulator VmRSS %s\n", first, first + length - 1, res->status,
                    qPrintable(Status(emulator.processId(), "VmRSS:")));
    }
    const double seconds = timer.elapsed() / 1000.0;

    const QJsonObject upload = QJsonDocument::fromJson(QByteArray::fromStdString(client.Get("/_emulator/uploads")->body))
                                   .object().value("uploads").toArray().first().toObject();
    const bool identical = upload.value("sha256").toString() == QString::fromLatin1(sent.result().toHex());
    std::printf("uploaded %lld MiB in %lld-MiB chunks in %.1f s (%.0f MiB/s); final answer %d; SHA-256 %s\n",
                size / kMiB, chunk / kMiB, seconds, double(size / kMiB) / seconds, finalStatus,
                identical ? "matches" : "DIFFERS");
    std::printf("emulator peak resident size (VmHWM): %s\n", qPrintable(Status(emulator.processId(), "VmHWM:")));
    return identical && finalStatus == 201 ? 0 : 1;
}
