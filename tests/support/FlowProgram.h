#pragma once

// The host program run by a test as scripts/run.sh starts it on a machine
// without a display, and the files it leaves.

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>

namespace TestSupport {

// Starts `program` with no display, no client of a real account, no log level
// of the caller's, and a home of its own (the user's settings, tokens, kept
// files and temporary folder stay untouched); `extra` adds to that environment.
inline void StartProgram(QProcess& process, const QString& program, const QString& home,
                         const QStringList& arguments, const QMap<QString, QString>& extra = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TAVRIX_YOUTUBE_CLIENT_ID",
                             "TAVRIX_YOUTUBE_CLIENT_SECRET", "GLOG_minloglevel"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), home);
    // Temporary files too: a run the test kills cannot remove its own.
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"})
        environment.insert(QLatin1String(name), QDir(home).filePath(QLatin1String(name)));
    QDir(home).mkpath(QStringLiteral("TMPDIR"));
    for (auto it = extra.begin(); it != extra.end(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
}

// A file's bytes; none when it cannot be read.
inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace TestSupport
