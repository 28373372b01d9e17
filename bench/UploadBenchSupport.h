#pragma once

// What the upload benchmarks share: their command line, their logging and the
// loopback emulator they upload to.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include <glog/logging.h>

namespace UploadBench {

constexpr qint64 kMiB = 1024 * 1024;

struct Arguments
{
    qint64 size = 0;
    qint64 chunkSize = 0; // 0: the component's
    QString folder;       // empty: the system's temporary folder
};

// Before the application object: logs to stderr, warnings and up; no display needed.
inline void Prepare(const char* program)
{
    FLAGS_logtostderr = true;
    FLAGS_minloglevel = 1;
    google::InitGoogleLogging(program);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

//   [--size-mib N] [--chunk-mib N] [--dir DIR]
inline Arguments Parse(const QCoreApplication& app)
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

// Starts the emulator with automatic consent; its origin, or empty when it did not come up.
inline QUrl StartEmulator(QProcess& emulator, const QString& program, const QString& dataFolder)
{
    emulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    emulator.start(program, {"--port", "0", "--data", dataFolder, "--auto-consent"});
    if (!emulator.waitForReadyRead(20000))
        return {};
    const QRegularExpressionMatch listening =
        QRegularExpression("listening on (http://127\\.0\\.0\\.1:\\d+)").match(QString::fromUtf8(emulator.readLine()));
    return listening.hasMatch() ? QUrl(listening.captured(1)) : QUrl();
}

} // namespace UploadBench
