#pragma once

// Real media files for the conversion tests, made and read with ffmpeg's
// own tools: noisy pictures and sound, so encoders really work at the rates
// they are given.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace TestSupport {

// An MPEG-4 clip of the size and length, with stereo noise when asked.
inline bool MakeClip(const QString& path, int width, int height, double seconds, bool withAudio)
{
    const QString length = QString::number(seconds);
    QStringList args{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                     QStringLiteral("lavfi"), QStringLiteral("-i"),
                     QStringLiteral("testsrc2=size=%1x%2:rate=25:duration=%3,noise=alls=60:allf=t+u")
                         .arg(width)
                         .arg(height)
                         .arg(length)};
    if (withAudio)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("anoisesrc=d=%1:c=pink:a=0.5,aformat=channel_layouts=stereo").arg(length)
             << QStringLiteral("-c:a") << QStringLiteral("aac");
    args << QStringLiteral("-c:v") << QStringLiteral("mpeg4") << QStringLiteral("-q:v") << QStringLiteral("4")
         << QStringLiteral("-shortest") << path;
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    return ffmpeg.waitForFinished(120000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

// ffprobe's account of a file: {"streams": [...], "format": {...}}; empty when it cannot read it.
inline QJsonObject Probe(const QString& path)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
                                            QStringLiteral("json"), QStringLiteral("-show_streams"),
                                            QStringLiteral("-show_format"), path});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
}

// The first stream of a kind ("video", "audio") of a Probe answer.
inline QJsonObject StreamOf(const QJsonObject& probe, const QString& kind)
{
    for (const QJsonValue& stream : probe.value(QStringLiteral("streams")).toArray())
        if (stream.toObject().value(QStringLiteral("codec_type")).toString() == kind)
            return stream.toObject();
    return {};
}

// A number ffprobe writes as text ("bit_rate": "123456").
inline double Number(const QJsonObject& object, const QString& key)
{
    return object.value(key).toString().toDouble();
}

} // namespace TestSupport
