#include "AppServices.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtMath>

#include <glog/logging.h>

#include <algorithm>
#include <vector>

namespace Tavrix::App {

namespace {
constexpr char kPlay[] = "Tavrix::App::SimpleAudioPlayer::Play";
constexpr int kSampleRate = 22050;

struct Note
{
    double frequency;
    double seconds;
};

std::vector<Note> NotesOf(const std::string& sound)
{
    if (sound == "success")
        return {{660.0, 0.12}, {880.0, 0.18}};
    if (sound == "error")
        return {{330.0, 0.25}};
    return {{880.0, 0.15}};
}

// Sound names become file names: only safe characters are kept, and the
// tone follows the kept name so that one file never holds two sounds.
std::string SafeName(const std::string& sound)
{
    QString name = QString::fromStdString(sound);
    name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")));
    return name.isEmpty() ? std::string("tone") : name.toStdString();
}

// A file per sound in the temporary folder.
QString SoundFile(const std::string& safeName)
{
    return QDir(QDir::tempPath()).filePath(QStringLiteral("tavrix-sounds/%1.wav").arg(QString::fromStdString(safeName)));
}

bool WriteIfChanged(const QString& fileName, const QByteArray& bytes)
{
    QFile existing(fileName);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return true;
    existing.close();
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}
} // namespace

struct SimpleAudioPlayer::Impl
{
    Launcher launcher;
    QStringList players;
};

SimpleAudioPlayer::SimpleAudioPlayer()
    : SimpleAudioPlayer([](const QString& program,
                           const QStringList& arguments) { return QProcess::startDetached(program, arguments); },
                        {QStringLiteral("paplay"), QStringLiteral("aplay")})
{
}

SimpleAudioPlayer::SimpleAudioPlayer(Launcher launcher, const QStringList& players)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->launcher = std::move(launcher);
    m_impl->players = players;
}

SimpleAudioPlayer::~SimpleAudioPlayer() = default;

QByteArray SimpleAudioPlayer::MakeSound(const std::string& sound)
{
    QByteArray samples;
    QDataStream pcm(&samples, QIODevice::WriteOnly);
    pcm.setByteOrder(QDataStream::LittleEndian);
    for (const Note& note : NotesOf(sound))
    {
        const int count = static_cast<int>(note.seconds * kSampleRate);
        for (int i = 0; i < count; ++i)
        {
            // Short fades at both ends keep the tone from clicking.
            const double fade = std::min({1.0, i / 200.0, (count - i) / 200.0});
            const double value = 0.3 * fade * qSin(2.0 * M_PI * note.frequency * i / kSampleRate);
            pcm << static_cast<qint16>(value * 32767.0);
        }
    }

    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint16 channels = 1;
    const quint16 bitsPerSample = 16;
    const quint16 blockAlign = channels * bitsPerSample / 8;
    out.writeRawData("RIFF", 4);
    out << static_cast<quint32>(36 + samples.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << channels << quint32(kSampleRate) << quint32(kSampleRate * blockAlign)
        << blockAlign << bitsPerSample;
    out.writeRawData("data", 4);
    out << static_cast<quint32>(samples.size());
    out.writeRawData(samples.constData(), samples.size());
    return wav;
}

void SimpleAudioPlayer::Play(const std::string& sound)
{
    const std::string name = SafeName(sound);
    const QString fileName = SoundFile(name);
    if (WriteIfChanged(fileName, MakeSound(name)) && m_impl->launcher)
    {
        for (const QString& player : m_impl->players)
        {
            const QString program =
                QDir::isAbsolutePath(player) ? player : QStandardPaths::findExecutable(player);
            if (program.isEmpty() || !QFileInfo(program).isExecutable())
                continue;
            if (m_impl->launcher(program, {fileName}))
            {
                VLOG(30) << kPlay << ": " << "Playing " << sound << " with " << program.toStdString();
                return;
            }
        }
    }
    // No player could take it: the beep is better than silence, and harmless without a device.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}

} // namespace Tavrix::App
