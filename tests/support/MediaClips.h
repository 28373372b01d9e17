#pragma once

// Real media files for the conversion tests, made and read with ffmpeg's
// own tools: noisy pictures and sound, so encoders really work at the rates
// they are given.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace TestSupport {

// A clip of the size and length, with stereo AAC noise when asked; MPEG-4
// Part 2 video unless other encoder options are given.
inline bool MakeClip(const QString& path, int width, int height, double seconds, bool withAudio,
                     const QStringList& videoOptions = {QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                                                        QStringLiteral("-q:v"), QStringLiteral("4")})
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
    args << videoOptions << QStringLiteral("-shortest") << path;
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

// The first video stream's packets, one "flags hash" each in decoding order.
inline QStringList VideoPackets(const QString& path)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"), QStringLiteral("v:0"),
                 QStringLiteral("-show_data_hash"), QStringLiteral("MD5"), QStringLiteral("-show_entries"),
                 QStringLiteral("packet=flags,data_hash"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), path});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return {};
    return QString::fromLatin1(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The types of the top-level boxes of an MPEG-4 file, in file order.
inline QStringList TopLevelAtoms(const QString& path)
{
    QFile file(path);
    QStringList atoms;
    if (!file.open(QIODevice::ReadOnly))
        return atoms;
    for (qint64 at = 0; at + 8 <= file.size();)
    {
        file.seek(at);
        const QByteArray header = file.read(16);
        quint64 size = (quint64(quint8(header[0])) << 24) | (quint64(quint8(header[1])) << 16) |
                       (quint64(quint8(header[2])) << 8) | quint64(quint8(header[3]));
        if (size == 1 && header.size() == 16)
        {
            size = 0;
            for (int i = 8; i < 16; ++i)
                size = (size << 8) | quint8(header[i]);
        }
        atoms << QString::fromLatin1(header.mid(4, 4));
        if (size < 8)
            break;
        at += static_cast<qint64>(size);
    }
    return atoms;
}

// A number ffprobe writes as text ("bit_rate": "123456").
inline double Number(const QJsonObject& object, const QString& key)
{
    return object.value(key).toString().toDouble();
}

} // namespace TestSupport
