#include "ProjectManager.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <glog/logging.h>

#include <algorithm>
#include <cmath>

namespace Tavrix::RQ {

namespace {
constexpr char kOpen[] = "Tavrix::RQ::ProjectManager::Open";
constexpr char kClose[] = "Tavrix::RQ::ProjectManager::Close";
constexpr char kProbeKeyFrames[] = "Tavrix::RQ::FileManager::ProbeKeyFrames";
constexpr int kProbeTimeoutMs = 30000;

QString Local(const ioPath& path)
{
    return QString::fromStdString(path.utf8string());
}

std::string Quoted(const ioPath& path)
{
    return "\"" + path.utf8string() + "\"";
}

// "30000/1001" or "25"; "0/0" means unknown.
double ParseRate(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    const double numerator = parts.value(0).toDouble();
    const double denominator = parts.size() > 1 ? parts.at(1).toDouble() : 1.0;
    return denominator > 0.0 ? numerator / denominator : 0.0;
}

std::int64_t SecondsToUs(const QJsonValue& seconds)
{
    return static_cast<std::int64_t>(std::llround(seconds.toString().toDouble() * 1e6));
}

MediaFacts ParseProbe(const QByteArray& json, const ioPath& path)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw Exception("Cannot read media facts of " + Quoted(path) + ": unexpected answer of the probe");

    MediaFacts facts;
    const QJsonObject format = document.object().value(QStringLiteral("format")).toObject();
    facts.container = format.value(QStringLiteral("format_name")).toString();
    facts.durationUs = SecondsToUs(format.value(QStringLiteral("duration")));

    std::int64_t longestStreamUs = 0;
    for (const QJsonValue& value : document.object().value(QStringLiteral("streams")).toArray())
    {
        const QJsonObject stream = value.toObject();
        const QString type = stream.value(QStringLiteral("codec_type")).toString();
        longestStreamUs = std::max(longestStreamUs, SecondsToUs(stream.value(QStringLiteral("duration"))));
        // Cover art of an audio file comes as a one-picture video stream; it is no video.
        const bool coverArt =
            stream.value(QStringLiteral("disposition")).toObject().value(QStringLiteral("attached_pic")).toInt() == 1;
        if (type == QLatin1String("video") && !coverArt && !facts.hasVideo)
        {
            facts.hasVideo = true;
            facts.videoCodec = stream.value(QStringLiteral("codec_name")).toString();
            facts.videoProfile = stream.value(QStringLiteral("profile")).toString();
            facts.pixelFormat = stream.value(QStringLiteral("pix_fmt")).toString();
            facts.videoBitRate = stream.value(QStringLiteral("bit_rate")).toString().toLongLong();
            facts.width = stream.value(QStringLiteral("width")).toInt();
            facts.height = stream.value(QStringLiteral("height")).toInt();
            facts.frameRate = ParseRate(stream.value(QStringLiteral("avg_frame_rate")).toString());
            if (facts.frameRate <= 0.0)
                facts.frameRate = ParseRate(stream.value(QStringLiteral("r_frame_rate")).toString());
        }
        else if (type == QLatin1String("audio") && !facts.hasAudio)
        {
            facts.hasAudio = true;
            facts.audioCodec = stream.value(QStringLiteral("codec_name")).toString();
        }
    }
    if (facts.durationUs <= 0)
        facts.durationUs = longestStreamUs;
    if (facts.hasVideo && facts.videoBitRate <= 0)
        facts.videoBitRate = format.value(QStringLiteral("bit_rate")).toString().toLongLong();
    return facts;
}
} // namespace

struct FileManager::Impl
{
    UrlOpener opener;
    QString probeProgram;
};

FileManager::FileManager()
    : FileManager([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
}

FileManager::FileManager(UrlOpener opener)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->opener = std::move(opener);
}

FileManager::~FileManager() = default;

bool FileManager::Exists(const ioPath& path) const
{
    return path.exists();
}

bool FileManager::Remove(const ioPath& path)
{
    const QFileInfo info(Local(path));
    if (!info.isFile())
        return false;
    return QFile::remove(info.absoluteFilePath());
}

bool FileManager::ShowInFolder(const ioPath& path)
{
    const QFileInfo info(Local(path));
    if (!info.exists() || !m_impl->opener)
        return false;
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    return m_impl->opener(QUrl::fromLocalFile(folder));
}

void FileManager::SetProbeProgram(const QString& program)
{
    m_impl->probeProgram = program;
}

// ffprobe's answer about a readable file; throws with ffprobe's last words when it fails.
QByteArray FileManager::RunProbe(const ioPath& path, const QStringList& arguments) const
{
    const QFileInfo info(Local(path));
    if (!info.exists())
        throw Exception("File not found: " + Quoted(path));
    if (!info.isFile())
        throw Exception("Not a file: " + Quoted(path));
    if (!info.isReadable())
        throw Exception("File is not readable: " + Quoted(path));

    const QString program = m_impl->probeProgram.isEmpty()
                                ? QStandardPaths::findExecutable(QStringLiteral("ffprobe"))
                                : m_impl->probeProgram;
    if (program.isEmpty())
        throw Exception("Cannot read media facts of " + Quoted(path) + ": ffprobe is not installed");

    QProcess probe;
    // "file:" keeps names that start with '-' or hold ':' from being read as options or protocols.
    probe.start(program, QStringList{QStringLiteral("-v"), QStringLiteral("error")} + arguments +
                             QStringList{QStringLiteral("file:") + info.absoluteFilePath()});
    if (!probe.waitForStarted())
        throw Exception("Cannot read media facts of " + Quoted(path) + ": cannot start " + program.toStdString());
    if (!probe.waitForFinished(kProbeTimeoutMs))
    {
        probe.kill();
        probe.waitForFinished();
        throw Exception("Cannot read media facts of " + Quoted(path) + ": the probe timed out");
    }
    if (probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
    {
        QString reason = QString::fromUtf8(probe.readAllStandardError()).trimmed();
        reason = reason.section(QLatin1Char('\n'), -1).trimmed();
        if (reason.isEmpty())
            reason = QStringLiteral("the probe failed");
        throw Exception("Not a media file: " + Quoted(path) + ": " + reason.toStdString());
    }
    return probe.readAllStandardOutput();
}

MediaFacts FileManager::ProbeMedia(const ioPath& path) const
{
    return ParseProbe(RunProbe(path, {QStringLiteral("-print_format"), QStringLiteral("json"),
                                      QStringLiteral("-show_streams"), QStringLiteral("-show_format")}),
                      path);
}

std::vector<std::int64_t> FileManager::ProbeKeyFrames(const ioPath& path) const
{
    QByteArray answer;
    try
    {
        // Packets, not frames: the container's flags, nothing is decoded.
        answer = RunProbe(path, {QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                                 QStringLiteral("packet=pts_time,flags"), QStringLiteral("-of"),
                                 QStringLiteral("csv=p=0")});
    }
    catch (const std::exception& error)
    {
        LOG(ERROR) << kProbeKeyFrames << ": " << error.what();
        return {};
    }
    std::vector<std::int64_t> times;
    for (const QByteArray& line : answer.split('\n'))
    {
        // "1.200000,K__"
        const QList<QByteArray> fields = line.trimmed().split(',');
        bool ok = false;
        const double seconds = fields.value(0).toDouble(&ok);
        if (ok && fields.value(1).startsWith('K'))
            times.push_back(std::llround(seconds * 1e6));
    }
    std::sort(times.begin(), times.end());
    return times;
}

struct Project::Impl
{
    ioPath path;
    MediaFacts facts;
};

Project::Project(const ioPath& path, const MediaFacts& facts)
    : m_impl(std::make_unique<Impl>(Impl{path, facts}))
{
}

Project::~Project() = default;

const ioPath& Project::GetPath() const
{
    return m_impl->path;
}

const MediaFacts& Project::GetFacts() const
{
    return m_impl->facts;
}

struct ProjectManager::Impl
{
    Impl(const std::shared_ptr<IFileManager>& files, std::function<ProjectType()> type)
        : fileManager(files)
        , projectType(std::move(type))
    {
    }

    NotNull<IFileManager> fileManager;
    std::function<ProjectType()> projectType;
    std::shared_ptr<Project> current;
};

ProjectManager::ProjectManager(const std::shared_ptr<IFileManager>& fileManager, std::function<ProjectType()> projectType)
    : m_impl(std::make_unique<Impl>(fileManager, std::move(projectType)))
{
}

ProjectManager::~ProjectManager() = default;

void ProjectManager::Open(const ioPath& path)
{
    if (path.empty())
        throw Exception("No file given");
    if (!m_impl->fileManager->Exists(path))
        throw Exception("File not found: " + Quoted(path));

    const MediaFacts facts = m_impl->fileManager->ProbeMedia(path);
    const ProjectType type = m_impl->projectType ? m_impl->projectType() : Video;
    if (type == Video && !facts.hasVideo)
        throw Exception("Unsupported file " + Quoted(path) + ": it has no video stream");
    if (type == Audio && !facts.hasAudio)
        throw Exception("Unsupported file " + Quoted(path) + ": it has no audio stream");

    m_impl->current = std::make_shared<Project>(path, facts);
    LOG(INFO) << kOpen << ": " << "Opened " << path << ": " << facts.width << "x" << facts.height << ", "
              << facts.frameRate << " fps, " << facts.durationUs << " us, video "
              << facts.videoCodec.toStdString() << ", audio "
              << (facts.hasAudio ? facts.audioCodec.toStdString() : std::string("none"));
}

std::shared_ptr<Project> ProjectManager::GetCurrentProject() const
{
    return m_impl->current;
}

void ProjectManager::Close()
{
    if (!m_impl->current)
        return;
    LOG(INFO) << kClose << ": " << "Closed " << m_impl->current->GetPath();
    m_impl->current.reset();
}

} // namespace Tavrix::RQ
