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

// Command-line words written as one line; no word may hold a blank.
inline QStringList Args(const QString& line)
{
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Runs an ffmpeg tool to its end; its standard output, or a null array when it failed.
inline QByteArray RunTool(const QString& program, const QStringList& args, int timeoutMs = 60000)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(program, args);
    if (!tool.waitForFinished(timeoutMs) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return QByteArray();
    const QByteArray out = tool.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

// A clip of the size and length, with stereo AAC noise when asked; MPEG-4
// Part 2 video unless other encoder options are given.
inline bool MakeClip(const QString& path, int width, int height, double seconds, bool withAudio,
                     const QStringList& videoOptions = Args(QStringLiteral("-c:v mpeg4 -q:v 4")))
{
    const QString length = QString::number(seconds);
    QStringList args = Args(QStringLiteral("-v error -y -f lavfi -i"));
    args << QStringLiteral("testsrc2=size=%1x%2:rate=25:duration=%3,noise=alls=60:allf=t+u").arg(width).arg(height).arg(length);
    if (withAudio)
        args << Args(QStringLiteral("-f lavfi -i"))
             << QStringLiteral("anoisesrc=d=%1:c=pink:a=0.5,aformat=channel_layouts=stereo").arg(length)
             << Args(QStringLiteral("-c:a aac"));
    args << videoOptions << QStringLiteral("-shortest") << path;
    return !RunTool(QStringLiteral("ffmpeg"), args, 120000).isNull();
}

// ffprobe's account of a file: {"streams": [...], "format": {...}}; empty when it cannot read it.
inline QJsonObject Probe(const QString& path)
{
    return QJsonDocument::fromJson(
               RunTool(QStringLiteral("ffprobe"), Args(QStringLiteral("-v error -print_format json -show_streams -show_format")) << path))
        .object();
}

// The first stream of a kind ("video", "audio") of a Probe answer.
inline QJsonObject StreamOf(const QJsonObject& probe, const QString& kind)
{
    for (const QJsonValue& stream : probe.value(QStringLiteral("streams")).toArray())
        if (stream.toObject().value(QStringLiteral("codec_type")).toString() == kind)
            return stream.toObject();
    return {};
}

// The first video stream's packets, one "flags hash" each in decoding order.
inline QStringList VideoPackets(const QString& path)
{
    const QStringList args =
        Args(QStringLiteral("-v error -select_streams v:0 -show_data_hash MD5 -show_entries packet=flags,data_hash -of csv=p=0"))
        << path;
    return QString::fromLatin1(RunTool(QStringLiteral("ffprobe"), args)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace TestSupport
