// The whole sharing from Start to the video's link, for a recording that
// already fits the default 1080p preset and one that does not, each beside
// its baselines measured in the same run: ffmpeg's stream copy plus curl's
// upload of the copied bytes (the floor, what sharing a fitting recording
// cannot beat) and ffmpeg's re-encode alone (what converting cannot beat).
//
//   sharing-bench [--media DIR]
//
// The two 60 s 1080p30 recordings are made once and kept in DIR (by default
// build/bench-media).

#include "EmulatorSession.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <glog/logging.h>

#include <cstdio>

namespace {

using Bench::Die;

struct Recording
{
    QString name;
    const char* videoRate;
    QString what;
};

// The options the host's converter gives ffmpeg to re-encode a 1080p source
// with the default preset (kept in step with host/conversion by hand).
QStringList ReencodeOptions(const QString& source, const QString& output)
{
    return {"-hide_banner", "-nostdin", "-loglevel", "error", "-y", "-i", source,
            "-filter_complex", "[0:v:0]scale=1920:1080,setsar=1[vout]", "-map", "[vout]",
            "-c:v", "libx264", "-preset", "superfast", "-threads", "0", "-pix_fmt", "yuv420p", "-profile:v", "high",
            "-b:v", "8000000", "-maxrate", "8000000", "-bufsize", "8000000",
            "-map", "0:a:0", "-c:a", "aac", "-b:a", "384000", "-ar", "48000", "-ac", "2",
            "-movflags", "+faststart", "-f", "mp4", output};
}

// Seconds ffmpeg took with these options; dies when it fails.
double RunFfmpeg(const QStringList& options)
{
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    ffmpeg.start("ffmpeg", options);
    if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        Die("ffmpeg failed: " + options.join(' '));
    return clock.nsecsElapsed() / 1e9;
}

// A screen recorder's H.264 + AAC MP4 at the given video rate, made once.
QString MakeRecording(const QString& folder, const Recording& recording)
{
    const QString path = QDir(folder).filePath(recording.name);
    if (QFileInfo::exists(path))
        return path;
    std::printf("making %s (once)...\n", qPrintable(path));
    std::fflush(stdout);
    const QString part = path + ".part.mp4";
    const QString rate = recording.videoRate;
    RunFfmpeg({"-hide_banner", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
               "testsrc2=size=1920x1080:rate=30:duration=60,noise=alls=3:allf=t", "-f", "lavfi", "-i",
               "sine=frequency=440:duration=60,aformat=channel_layouts=stereo", "-c:v", "libx264", "-preset",
               "veryfast", "-profile:v", "high", "-pix_fmt", "yuv420p", "-g", "60", "-b:v", rate, "-maxrate", rate,
               "-bufsize", rate, "-c:a", "aac", "-b:a", "192k", "-shortest", part});
    if (!QFile::rename(part, path))
        Die("cannot keep " + path);
    return path;
}

// Seconds from starting the host on the file to its printing the link.
double ShareWithHost(const QString& file, const QString& home)
{
    QProcess host;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Its own settings and video folders, so the user's stay untouched.
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/.config");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    host.setProcessEnvironment(environment);
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    host.start(RQ_YOUTUBE_HOST, {"--emulator", "--unattended", file});
    double seconds = 0;
    QByteArray said;
    while (host.waitForReadyRead(-1) || host.canReadLine())
    {
        while (host.canReadLine())
        {
            const QByteArray line = host.readLine();
            said += line;
            if (line.startsWith("Shared: ") && seconds == 0)
                seconds = clock.nsecsElapsed() / 1e9;
        }
        if (seconds > 0)
            break;
    }
    host.waitForFinished(-1);
    if (seconds == 0 || host.exitCode() != 0)
        Die("the host did not share " + file + ":\n" + QString::fromUtf8(said + host.readAll()));
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    Bench::QuietStart(argv[0]);
    QApplication app(argc, argv);
    app.setApplicationName("sharing-bench");

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption mediaOption("media", "Folder of the recordings, made once.", "DIR", SHARING_BENCH_MEDIA);
    parser.addOption(mediaOption);
    parser.process(app);
    const QString media = parser.value(mediaOption);
    QDir().mkpath(media);

    QTemporaryDir work;
    if (!work.isValid())
        Die("cannot make a work folder");

    // The floor's upload: curl to an emulator of our own, signed in once.
    QProcess emulator;
    const QUrl origin = Bench::StartEmulator(emulator, TAVRIX_YOUTUBE_EMULATOR, work.filePath("emulator"));
    QNetworkAccessManager network;
    const auto config = Bench::EmulatorConfiguration(origin, work.filePath("tokens.json"));
    Tavrix::Social::YoutubeNetworkProtocol protocol(config, Bench::EmulatorBrowser(network));
    Bench::SignIn(protocol);

    const Recording recordings[] = {
        {"fits 1080p30 6Mbps.mp4", "6M", "fits the preset (6 Mb/s)"},
        {"over 1080p30 14Mbps.mp4", "14M", "over its rate (14 Mb/s)"},
    };
    std::printf("%-26s %10s %12s %12s  %s\n", "60 s 1080p30 recording", "host", "copy+curl", "re-encode", "ratio");
    for (const Recording& recording : recordings)
    {
        const QString source = MakeRecording(media, recording);
        const QString copy = work.filePath("copy.mp4");
        const double copySecs = RunFfmpeg({"-hide_banner", "-nostdin", "-loglevel", "error", "-y", "-i", source,
                                           "-map", "0:v:0", "-map", "0:a:0", "-c", "copy", "-movflags", "+faststart",
                                           "-f", "mp4", copy});
        const double curlSecs =
            Bench::CurlUpload(network, config, copy, QFileInfo(copy).size(), work.path()).second;
        const double floor = copySecs + curlSecs;
        const double encodeSecs = RunFfmpeg(ReencodeOptions(source, work.filePath("encoded.mp4")));
        const double hostSecs = ShareWithHost(source, work.filePath("home"));
        const bool fits = recording.name.startsWith("fits");
        std::printf("%-26s %9.2fs %11.2fs %11.2fs  %.2fx %s (target %s)\n", qPrintable(recording.what), hostSecs,
                    floor, encodeSecs, hostSecs / (fits ? floor : encodeSecs), fits ? "the floor" : "the re-encode",
                    fits ? "<= 1.5x" : "<= 1.05x");
        std::fflush(stdout);
        QFile::remove(copy);
        QFile::remove(work.filePath("encoded.mp4"));
    }
    emulator.terminate();
    emulator.waitForFinished(10000);
    return 0;
}
