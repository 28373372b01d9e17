#pragma once

// The host's project library: the file operations the host offers, and the
// project opened for the video being shared, with the facts read from it.

#include "CoreUtils.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QByteArray;
class QStringList;
class QUrl;

namespace Tavrix::RQ {

// What a media file holds, as ffprobe reads it.
struct MediaFacts
{
    std::int64_t durationUs = 0;
    int width = 0;
    int height = 0;
    double frameRate = 0.0;
    bool hasVideo = false;
    bool hasAudio = false;
    QString videoCodec;
    QString audioCodec;
    // ffprobe's names: "mov,mp4,m4a,3gp,3g2,mj2", "High", "yuv420p".
    QString container;
    QString videoProfile;
    QString pixelFormat;
    // Bits per second of the video stream; the whole file's rate when the
    // container keeps none per stream (an upper bound), 0 when unknown.
    std::int64_t videoBitRate = 0;
};

class IFileManager
{
public:
    virtual ~IFileManager() = default;
    virtual bool Exists(const ioPath& path) const = 0;
    // Removes a file (never a folder); false when nothing was removed.
    virtual bool Remove(const ioPath& path) = 0;
    // Opens the folder that holds the file in the desktop's file browser.
    virtual bool ShowInFolder(const ioPath& path) = 0;
    // Throws Tavrix::Exception with the reason when the file cannot be read as media.
    virtual MediaFacts ProbeMedia(const ioPath& path) const = 0;
    // The times of the key frames of the first video stream, in microseconds
    // and ascending; empty when they cannot be read. Reads the whole stream,
    // so only what needs them asks.
    virtual std::vector<std::int64_t> ProbeKeyFrames(const ioPath& path) const
    {
        (void)path;
        return {};
    }
};

class FileManager : public IFileManager
{
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // Opens folders with the desktop's services.
    FileManager();
    // Opens folders with the given function (tests, hosts with their own browser).
    explicit FileManager(UrlOpener opener);
    ~FileManager() override;

    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    bool Exists(const ioPath& path) const override;
    bool Remove(const ioPath& path) override;
    bool ShowInFolder(const ioPath& path) override;
    MediaFacts ProbeMedia(const ioPath& path) const override;
    std::vector<std::int64_t> ProbeKeyFrames(const ioPath& path) const override;

    // The probing program; "ffprobe" from PATH unless set.
    void SetProbeProgram(const QString& program);

private:
    QByteArray RunProbe(const ioPath& path, const QStringList& arguments) const;

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class Project
{
public:
    Project(const ioPath& path, const MediaFacts& facts);
    ~Project();

    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    const ioPath& GetPath() const;
    const MediaFacts& GetFacts() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Opens one source video at a time as the current project.
class ProjectManager
{
public:
    // What an opened file must hold: a video stream, or an audio stream.
    enum ProjectType : int
    {
        Video = 0,
        Audio = 1,
    };

    ProjectManager(const std::shared_ptr<IFileManager>& fileManager, std::function<ProjectType()> projectType);
    virtual ~ProjectManager();

    ProjectManager(const ProjectManager&) = delete;
    ProjectManager& operator=(const ProjectManager&) = delete;

    // Replaces the current project. Throws Tavrix::Exception with the reason
    // when the file is missing, unreadable or not of the project type; the
    // current project then stays as it was.
    virtual void Open(const ioPath& path);
    // Null when nothing is open.
    virtual std::shared_ptr<Project> GetCurrentProject() const;
    virtual void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ
