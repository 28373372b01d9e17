#include "VideoConverter.h"

#include "ProjectManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QTemporaryFile>
#include <QTime>

#include <glog/logging.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace Tavrix::RQ {

namespace {
constexpr char kStart[] = "Tavrix::RQ::VideoConverter::Start";
constexpr char kCancel[] = "Tavrix::RQ::VideoConverter::Cancel";
constexpr char kFinished[] = "Tavrix::RQ::VideoConverter::OnProcessFinished";
constexpr int kStopTimeoutMs = 10000;
constexpr qint64 kEstimateBasisMs = 1000;
// "name (2).mp4" up to this number before giving up.
constexpr int kMaxNameAttempts = 999;

using Segment = std::pair<std::int64_t, std::int64_t>;

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(VideoConverter)
};

QString Local(const ioPath& path)
{
    return QString::fromStdString(path.utf8string());
}

QString Quoted(const QString& path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

QString Seconds(std::int64_t us)
{
    return QString::number(static_cast<double>(us) / 1e6, 'f', 6);
}

QTime FromMsecs(qint64 msecs)
{
    return QTime(0, 0).addMSecs(static_cast<int>(std::max<qint64>(0, msecs)));
}

// What the cuts leave of [0, duration]: cuts are removed parts, their bounds
// in either order; they are clipped to the source and may overlap.
std::vector<Segment> KeptSegments(std::int64_t duration, const CutIntervals& cuts)
{
    std::vector<Segment> removed;
    for (const auto& [a, b] : cuts)
    {
        const std::int64_t from = std::clamp<std::int64_t>(std::min(a, b), 0, duration);
        const std::int64_t to = std::clamp<std::int64_t>(std::max(a, b), 0, duration);
        if (to > from)
            removed.emplace_back(from, to);
    }
    std::sort(removed.begin(), removed.end());

    std::vector<Segment> kept;
    std::int64_t position = 0;
    for (const auto& [from, to] : removed)
    {
        if (from > position)
            kept.emplace_back(position, from);
        position = std::max(position, to);
    }
    if (duration > position)
        kept.emplace_back(position, duration);
    return kept;
}

// The first of "name.ext", "name (2).ext", ... that is free, together with
// the ".part" file the conversion writes first; that one must be free too.
std::optional<QString> FreeOutputPath(const QString& wanted)
{
    const QFileInfo info(wanted);
    const QString folder = info.absolutePath();
    const QString stem = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 1; n <= kMaxNameAttempts; ++n)
    {
        const QString name = n == 1 ? stem + suffix : QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
        const QString candidate = folder + QLatin1Char('/') + name;
        if (!QFileInfo::exists(candidate) && !QFileInfo::exists(candidate + QStringLiteral(".part")))
            return candidate;
    }
    return std::nullopt;
}

struct Plan
{
    QStringList arguments;
    std::int64_t outputDurationUs = 0;
    Conf::FrameInfo frame;
    // The streams are copied as they are; `whyNot` says otherwise why not.
    bool copy = false;
    std::string whyNot;
    // The concat demuxer's list when kept parts of the source are copied.
    QByteArray concatList;
};

// x264's speed preset when re-encoding, measured at the default preset's
// 8 Mb/s on 10 s of 1080p30 test pattern with light noise, every thread:
//   ultrafast  9.3 s of CPU, SSIM 0.9681, PSNR 41.95 dB
//   superfast 12.8 s of CPU, SSIM 0.9690, PSNR 42.29 dB
//   veryfast  18.6 s of CPU, SSIM 0.9685, PSNR 42.21 dB
// At this rate superfast loses nothing to veryfast for 31 % less work;
// ultrafast (no CABAC, no deblocking) saves another 27 % but is the only one
// to lose quality (0.3 dB).
constexpr char kX264Preset[] = "superfast";

// The H.264 profiles YouTube takes as they are: 8-bit 4:2:0 ones.
bool AcceptedProfile(const QString& profile)
{
    return profile == QLatin1String("Constrained Baseline") || profile == QLatin1String("Baseline") ||
           profile == QLatin1String("Main") || profile == QLatin1String("High");
}

// Why the source's streams cannot go into the output as they are; empty
// when they fit the preset. Key frames are read only when the cuts need them.
std::string WhyNotCopy(const MediaFacts& facts, const Conf::IPreset& preset, const Conf::FrameInfo& frame,
                       const std::vector<Segment>& segments, const std::function<std::vector<std::int64_t>()>& keyFrames)
{
    const QString container = QString::fromStdString(preset.GetContainer());
    if (!facts.container.split(QLatin1Char(',')).contains(container))
        return "the source's container is " + facts.container.toStdString() + ", not " + container.toStdString();
    if (facts.videoCodec != QLatin1String("h264") || (preset.GetVideoCodec() != "h264" && preset.GetVideoCodec() != "avc"))
        return "the source's video is " + facts.videoCodec.toStdString() + ", not H.264";
    if (facts.pixelFormat != QLatin1String("yuv420p"))
        return "the source's pixels are " + facts.pixelFormat.toStdString() + ", not yuv420p";
    if (!AcceptedProfile(facts.videoProfile))
        return "the source's H.264 profile is " + facts.videoProfile.toStdString();
    if (frame.width != facts.width || frame.height != facts.height)
        return "the source is " + std::to_string(facts.width) + "x" + std::to_string(facts.height) + ", the preset makes " +
               std::to_string(frame.width) + "x" + std::to_string(frame.height);
    // Never above the preset's rate, so the size the dialog estimated stays an upper bound.
    if (preset.GetVideoBitRate() > 0 && (facts.videoBitRate <= 0 || facts.videoBitRate > preset.GetVideoBitRate()))
        return "the source's video rate of " + std::to_string(facts.videoBitRate) + " b/s is not within the preset's " +
               std::to_string(preset.GetVideoBitRate()) + " b/s";
    if (facts.hasAudio && preset.GetAudioBitRate() > 0 &&
        (facts.audioCodec != QLatin1String("aac") || preset.GetAudioCodec() != "aac"))
        return "the source's audio is " + facts.audioCodec.toStdString() + ", not AAC";
    if (segments.size() == 1 && segments.front().first == 0 && segments.front().second == facts.durationUs)
        return {};

    // A copied part must begin on a key frame, and end on one so that no
    // frame of it refers to a frame left out.
    const std::vector<std::int64_t> keys = keyFrames();
    const std::int64_t tolerance = facts.frameRate > 0.0 ? static_cast<std::int64_t>(5e5 / facts.frameRate) : 1000;
    const auto onKeyFrame = [&keys, tolerance](std::int64_t time) {
        const auto next = std::lower_bound(keys.begin(), keys.end(), time - tolerance);
        return next != keys.end() && *next <= time + tolerance;
    };
    for (const auto& [from, to] : segments)
    {
        if (from != 0 && !onKeyFrame(from))
            return "a cut ends at " + std::to_string(from) + " us, between key frames";
        if (to != facts.durationUs && !onKeyFrame(to))
            return "a cut starts at " + std::to_string(to) + " us, between key frames";
    }
    return {};
}

// ffconcat's list of the kept parts of one file.
QByteArray ConcatList(const QString& source, const std::vector<Segment>& segments)
{
    QString quoted = QStringLiteral("file:") + source;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    QByteArray list = "ffconcat version 1.0\n";
    for (const auto& [from, to] : segments)
        list += "file '" + quoted.toUtf8() + "'\ninpoint " + Seconds(from).toLatin1() + "\noutpoint " +
                Seconds(to).toLatin1() + "\n";
    return list;
}

QString VideoEncoder(const std::string& codec)
{
    if (codec == "h264" || codec == "avc")
        return QStringLiteral("libx264");
    throw Exception("the preset's video codec \"" + codec + "\" is not supported");
}

QString AudioEncoder(const std::string& codec)
{
    if (codec == "aac")
        return QStringLiteral("aac");
    throw Exception("the preset's audio codec \"" + codec + "\" is not supported");
}

// Re-encoding: the filter graph's video with x264 on every core at the
// preset's rate, its audio (audioMap, empty for none) at the preset's.
void AddEncoding(QStringList& args, const Conf::IPreset& preset, const QString& input, const QString& graph,
                 const QString& audioMap)
{
    args << QStringLiteral("-i") << input;
    args << QStringLiteral("-filter_complex") << graph << QStringLiteral("-map") << QStringLiteral("[vout]");

    const std::int64_t videoRate = preset.GetVideoBitRate();
    args << QStringLiteral("-c:v") << VideoEncoder(preset.GetVideoCodec()) << QStringLiteral("-preset")
         << QLatin1String(kX264Preset) << QStringLiteral("-threads") << QStringLiteral("0")
         << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p");
    if (!preset.GetVideoProfile().empty())
        args << QStringLiteral("-profile:v") << QString::fromStdString(preset.GetVideoProfile());
    if (videoRate > 0)
        // A one-second buffer keeps even a short video near the preset's rate,
        // so the size the dialog estimated holds.
        args << QStringLiteral("-b:v") << QString::number(videoRate) << QStringLiteral("-maxrate")
             << QString::number(videoRate) << QStringLiteral("-bufsize") << QString::number(videoRate);

    if (!audioMap.isEmpty())
    {
        args << QStringLiteral("-map") << audioMap << QStringLiteral("-c:a") << AudioEncoder(preset.GetAudioCodec())
             << QStringLiteral("-b:a") << QString::number(preset.GetAudioBitRate());
        if (preset.GetAudioSampleRate() > 0)
            args << QStringLiteral("-ar") << QString::number(preset.GetAudioSampleRate());
        if (preset.GetAudioChannels() > 0)
            args << QStringLiteral("-ac") << QString::number(preset.GetAudioChannels());
    }
    else
    {
        args << QStringLiteral("-an");
    }

}

// The ffmpeg command line that writes `output` from the facts of the source
// and the preset: the resize box, the cuts, the encoders and their rates.
Plan MakePlan(const ConvertationContext& context, const MediaFacts& facts, const QString& output, bool mayCopy,
              const std::function<std::vector<std::int64_t>()>& keyFrames)
{
    const Conf::IPreset& preset = *context.conversion->preset;
    Plan plan;

    Conf::FrameInfo source;
    source.width = facts.width;
    source.height = facts.height;
    plan.frame = source;
    for (std::size_t i = 0; i < preset.GetFiltersCount(); ++i)
    {
        if (const Core::Property* resize = preset.GetFilterProperty(i).FindChild(Proc::IFilterResize::CLASS_ID))
        {
            plan.frame = Proc::IFilterResize::Property2Settings(*resize).GetOutputFrameSize(source);
            break;
        }
    }
    // 4:2:0 video needs even sizes, also without a resize filter.
    plan.frame.width = std::max(2, plan.frame.width & ~1);
    plan.frame.height = std::max(2, plan.frame.height & ~1);

    const bool withAudio = facts.hasAudio && preset.GetAudioBitRate() > 0;
    const CutIntervals& cuts = context.conversion->cutIntervals;
    std::vector<Segment> segments;
    if (cuts.empty())
        segments.emplace_back(0, facts.durationUs);
    else if (facts.durationUs <= 0)
        throw Exception("the length of the source is unknown, so its cuts cannot be applied");
    else
        segments = KeptSegments(facts.durationUs, cuts);
    if (segments.empty())
        throw Exception("the cuts remove the whole video");
    for (const Segment& segment : segments)
        plan.outputDurationUs += segment.second - segment.first;

    QStringList& args = plan.arguments;
    // -n: ffmpeg itself refuses to write over a file, whatever happens.
    args << QStringLiteral("-hide_banner") << QStringLiteral("-nostdin") << QStringLiteral("-loglevel")
         << QStringLiteral("error") << QStringLiteral("-n");
    // "file:" keeps names that start with '-' or hold ':' from being read as options or protocols.
    const QString input = QStringLiteral("file:") + Local(context.sourcePath);

    plan.whyNot = mayCopy ? WhyNotCopy(facts, preset, plan.frame, segments, keyFrames)
                          : std::string("re-encoding is forced by the settings");
    plan.copy = plan.whyNot.empty();
    if (plan.copy)
    {
        if (cuts.empty())
        {
            args << QStringLiteral("-i") << input;
        }
        else
        {
            // The list's file name comes after "-i" when it is written.
            plan.concatList = ConcatList(Local(context.sourcePath), segments);
            // auto_convert would rewrite H.264 packets into Annex B; they stay as they are.
            args << QStringLiteral("-f") << QStringLiteral("concat") << QStringLiteral("-safe") << QStringLiteral("0")
                 << QStringLiteral("-auto_convert") << QStringLiteral("0") << QStringLiteral("-i");
        }
        args << QStringLiteral("-map") << QStringLiteral("0:v:0");
        if (withAudio)
            args << QStringLiteral("-map") << QStringLiteral("0:a:0");
        args << QStringLiteral("-c") << QStringLiteral("copy");
    }

    const QString scale = QStringLiteral("scale=%1:%2,setsar=1").arg(plan.frame.width).arg(plan.frame.height);
    QString graph;
    QString audioMap = withAudio ? QStringLiteral("0:a:0") : QString();
    if (cuts.empty())
    {
        graph = QStringLiteral("[0:v:0]") + scale + QStringLiteral("[vout]");
    }
    else
    {
        QString joined;
        for (std::size_t i = 0; i < segments.size(); ++i)
        {
            const QString range =
                QStringLiteral("start=%1:end=%2").arg(Seconds(segments[i].first), Seconds(segments[i].second));
            graph += QStringLiteral("[0:v:0]trim=%1,setpts=PTS-STARTPTS[v%2];").arg(range).arg(i);
            joined += QStringLiteral("[v%1]").arg(i);
            if (withAudio)
            {
                graph += QStringLiteral("[0:a:0]atrim=%1,asetpts=PTS-STARTPTS[a%2];").arg(range).arg(i);
                joined += QStringLiteral("[a%1]").arg(i);
            }
        }
        graph += joined + QStringLiteral("concat=n=%1:v=1:a=%2[vc]").arg(segments.size()).arg(withAudio ? 1 : 0);
        if (withAudio)
        {
            graph += QStringLiteral("[aout]");
            audioMap = QStringLiteral("[aout]");
        }
        graph += QStringLiteral(";[vc]") + scale + QStringLiteral("[vout]");
    }

    if (!plan.copy)
        AddEncoding(args, preset, input, graph, withAudio ? audioMap : QString());
    else if (!withAudio)
        args << QStringLiteral("-an");

    const QString container = QString::fromStdString(preset.GetContainer());
    if (container == QLatin1String("mp4") || container == QLatin1String("mov"))
        args << QStringLiteral("-movflags") << QStringLiteral("+faststart");
    // The ".part" name says nothing about the format, so name it.
    args << QStringLiteral("-f") << container;
    args << QStringLiteral("-progress") << QStringLiteral("pipe:1") << QStringLiteral("-nostats");
    args << QStringLiteral("file:") + output;
    return plan;
}

void ShowFailure(const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

struct VideoConverter::Impl
{
    Impl(VideoConverter* self, const std::shared_ptr<IFileManager>& files)
        : owner(self)
        , fileManager(files)
    {
    }

    void Fail(const char* where, const QString& reason)
    {
        LOG(ERROR) << where << ": " << reason.toStdString();
        emit owner->Failed(reason);
        if (presenter)
            presenter(Tr::tr("Conversion failed"), reason);
    }

    void RemovePart()
    {
        if (!partPath.isEmpty() && QFileInfo::exists(partPath) && !QFile::remove(partPath))
            LOG(ERROR) << kFinished << ": " << "Cannot remove " << partPath.toStdString();
    }

    void OnOutput()
    {
        buffer += process->readAllStandardOutput();
        int end = 0;
        while ((end = buffer.indexOf('\n')) >= 0)
        {
            const QByteArray line = buffer.left(end).trimmed();
            buffer.remove(0, end + 1);
            // out_time_ms holds microseconds too, in every ffmpeg that writes it.
            if (!line.startsWith("out_time_us=") && !line.startsWith("out_time_ms="))
                continue;
            bool ok = false;
            const qint64 doneUs = line.mid(line.indexOf('=') + 1).toLongLong(&ok);
            if (!ok || durationUs <= 0)
                continue;
            const double fraction = std::clamp(static_cast<double>(doneUs) / static_cast<double>(durationUs), 0.0, 1.0);
            const qint64 elapsed = clock.elapsed();
            VLOG(30) << kFinished << ": " << "Converted " << doneUs << " of " << durationUs << " us";
            emit owner->ProgressChanged(static_cast<float>(fraction), FromMsecs(elapsed), Remaining(fraction, elapsed));
        }
    }

    // ffmpeg's start-up is no part of its pace: the estimate is measured from
    // the first report of work done, and only once a second of it is seen.
    // Invalid until then.
    QTime Remaining(double fraction, qint64 elapsed)
    {
        if (fraction <= 0.0)
            return {};
        if (paceFromMs < 0)
        {
            paceFromMs = elapsed;
            paceFromFraction = fraction;
        }
        const qint64 span = elapsed - paceFromMs;
        if (span < kEstimateBasisMs || fraction <= paceFromFraction)
            return {};
        return FromMsecs(static_cast<qint64>(static_cast<double>(span) * (1.0 - fraction) /
                                             (fraction - paceFromFraction)));
    }

    // The last line ffmpeg wrote about an error, for the user.
    QString Reason()
    {
        const QString text = QString::fromUtf8(process->readAllStandardError()).trimmed();
        const QString last = text.section(QLatin1Char('\n'), -1).trimmed();
        return last.isEmpty() ? Tr::tr("ffmpeg stopped with exit code %1").arg(process->exitCode()) : last;
    }

    void OnProcessFinished(int exitCode, QProcess::ExitStatus status)
    {
        const QString reason = (status == QProcess::NormalExit && exitCode == 0) ? QString() : Reason();
        process.release()->deleteLater();
        concatList.reset();
        if (canceling)
        {
            canceling = false;
            RemovePart();
            LOG(INFO) << kCancel << ": " << "Cancelled converting " << context.sourcePath;
            emit owner->Canceled();
            return;
        }
        if (!reason.isEmpty() || !QFileInfo::exists(partPath))
        {
            RemovePart();
            Fail(kFinished, Tr::tr("Cannot convert %1: %2")
                                .arg(Quoted(Local(context.sourcePath)), reason.isEmpty() ? Tr::tr("no output") : reason));
            return;
        }
        // QFile::rename never replaces a file; one that appeared meanwhile gets the next free name.
        QString target = Local(context.outputPath);
        while (!QFile::rename(partPath, target))
        {
            const std::optional<QString> next = FreeOutputPath(wantedPath);
            if (!next || *next == target)
            {
                RemovePart();
                Fail(kFinished, Tr::tr("Cannot save the converted video as %1").arg(Quoted(target)));
                return;
            }
            target = *next;
        }
        context.outputPath = ioPath(target.toStdString());
        LOG(INFO) << kFinished << ": " << "Converted " << context.sourcePath << " into " << context.outputPath
                  << " in " << clock.elapsed() << " ms";
        emit owner->Finished(context);
    }

    VideoConverter* owner;
    NotNull<IFileManager> fileManager;
    QString program;
    FailurePresenter presenter = ShowFailure;
    EarlierOutput earlierOutput;
    std::unique_ptr<QProcess> process;
    ConvertationContext context;
    QString wantedPath;
    QString partPath;
    std::int64_t durationUs = 0;
    QElapsedTimer clock;
    qint64 paceFromMs = -1;
    double paceFromFraction = 0.0;
    QByteArray buffer;
    bool canceling = false;
    bool alwaysReencode = false;
    // The running conversion copies the streams rather than encoding them.
    bool copying = false;
    std::unique_ptr<QTemporaryFile> concatList;
};

VideoConverter::VideoConverter(const std::shared_ptr<IFileManager>& fileManager, QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(this, fileManager))
{
}

VideoConverter::~VideoConverter()
{
    if (!m_impl->process)
        return;
    // Nobody is told any more; only the unfinished file goes.
    m_impl->process->disconnect();
    m_impl->process->kill();
    m_impl->process->waitForFinished(kStopTimeoutMs);
    m_impl->RemovePart();
}

void VideoConverter::SetProgram(const QString& program)
{
    m_impl->program = program;
}

void VideoConverter::SetAlwaysReencode(bool always)
{
    m_impl->alwaysReencode = always;
}

bool VideoConverter::IsCopying() const
{
    return m_impl->process && m_impl->copying;
}

void VideoConverter::SetFailurePresenter(FailurePresenter presenter)
{
    m_impl->presenter = presenter ? std::move(presenter) : FailurePresenter(ShowFailure);
}

void VideoConverter::SetEarlierOutput(EarlierOutput finder)
{
    m_impl->earlierOutput = std::move(finder);
}

bool VideoConverter::Start(const ConvertationContext& context)
{
    if (m_impl->process)
    {
        m_impl->Fail(kStart, Tr::tr("Another conversion is still running"));
        return false;
    }
    if (!context.conversion || !context.conversion->preset)
    {
        m_impl->Fail(kStart, Tr::tr("Cannot convert %1: no export preset was chosen").arg(Quoted(Local(context.sourcePath))));
        return false;
    }
    if (context.outputPath.empty())
    {
        m_impl->Fail(kStart, Tr::tr("Cannot convert %1: no output file was named").arg(Quoted(Local(context.sourcePath))));
        return false;
    }

    MediaFacts facts;
    try
    {
        facts = context.conversion->project ? context.conversion->project->GetFacts()
                                            : m_impl->fileManager->ProbeMedia(context.sourcePath);
    }
    catch (const std::exception& error)
    {
        m_impl->Fail(kStart, QString::fromStdString(error.what()));
        return false;
    }
    if (!facts.hasVideo)
    {
        m_impl->Fail(kStart, Tr::tr("Cannot convert %1: it has no video").arg(Quoted(Local(context.sourcePath))));
        return false;
    }

    const std::optional<QString> output = FreeOutputPath(Local(context.outputPath));
    if (!output)
    {
        m_impl->Fail(kStart, Tr::tr("No free file name is left beside %1").arg(Quoted(Local(context.outputPath))));
        return false;
    }

    Plan plan;
    const auto keyFrames = [this, &context] { return m_impl->fileManager->ProbeKeyFrames(context.sourcePath); };
    try
    {
        plan = MakePlan(context, facts, *output + QStringLiteral(".part"), !m_impl->alwaysReencode, keyFrames);
    }
    catch (const std::exception& error)
    {
        m_impl->Fail(kStart, Tr::tr("Cannot convert %1: %2")
                                 .arg(Quoted(Local(context.sourcePath)), QString::fromStdString(error.what())));
        return false;
    }

    std::unique_ptr<QTemporaryFile> concatList;
    if (!plan.concatList.isEmpty())
    {
        concatList = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("rq-parts-XXXXXX.ffconcat")));
        if (!concatList->open() || concatList->write(plan.concatList) != plan.concatList.size() || !concatList->flush())
        {
            m_impl->Fail(kStart, Tr::tr("Cannot convert %1: %2")
                                     .arg(Quoted(Local(context.sourcePath)), concatList->errorString()));
            return false;
        }
        const int input = plan.arguments.indexOf(QStringLiteral("-i")) + 1;
        plan.arguments.insert(input, QStringLiteral("file:") + concatList->fileName());
    }

    const QString program = m_impl->program.isEmpty() ? QStringLiteral("ffmpeg") : m_impl->program;
    m_impl->context = context;
    m_impl->copying = plan.copy;
    m_impl->concatList = std::move(concatList);
    m_impl->context.outputPath = ioPath(output->toStdString());
    m_impl->wantedPath = Local(context.outputPath);
    m_impl->partPath = *output + QStringLiteral(".part");
    m_impl->durationUs = plan.outputDurationUs;
    m_impl->buffer.clear();
    m_impl->canceling = false;

    m_impl->process = std::make_unique<QProcess>();
    QProcess* process = m_impl->process.get();
    connect(process, &QProcess::readyReadStandardOutput, this, [this] { m_impl->OnOutput(); });
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this](int code, QProcess::ExitStatus status) { m_impl->OnProcessFinished(code, status); });

    if (plan.copy)
        LOG(INFO) << kStart << ": " << "Preparing " << context.sourcePath << " as " << m_impl->context.outputPath
                  << ": its streams fit " << context.conversion->preset->GetId() << ", so they are copied, "
                  << plan.outputDurationUs << " us";
    else
        LOG(INFO) << kStart << ": " << "Converting " << context.sourcePath << " into " << m_impl->context.outputPath
                  << " with " << context.conversion->preset->GetId() << ": " << plan.frame.width << "x"
                  << plan.frame.height << ", video " << context.conversion->preset->GetVideoBitRate()
                  << " b/s, audio " << (facts.hasAudio ? context.conversion->preset->GetAudioBitRate() : 0) << " b/s, "
                  << plan.outputDurationUs << " us (" << plan.whyNot << ")";
    VLOG(30) << kStart << ": " << program.toStdString() << " " << plan.arguments.join(QLatin1Char(' ')).toStdString();

    m_impl->clock.start();
    m_impl->paceFromMs = -1;
    process->start(program, plan.arguments);
    if (!process->waitForStarted())
    {
        const QString reason = process->errorString();
        m_impl->process.reset();
        m_impl->concatList.reset();
        m_impl->Fail(kStart, Tr::tr("Cannot start %1: %2").arg(program, reason));
        return false;
    }
    return true;
}

void VideoConverter::Cancel()
{
    if (!m_impl->process || m_impl->canceling)
        return;
    m_impl->canceling = true;
    m_impl->process->kill();
    // finished() runs inside the wait, which removes the partial file and reports.
    m_impl->process->waitForFinished(kStopTimeoutMs);
}

bool VideoConverter::IsRunning() const
{
    return m_impl->process != nullptr;
}

void VideoConverter::ServeSharing(Service::Sharing::AbstractSharingManager* manager,
                                  const std::shared_ptr<IProgressStrategy>& progress)
{
    using Service::Sharing::AbstractSharingManager;
    QPointer<AbstractSharingManager> target(manager);

    const auto convert = [this, progress](const ConvertationContext& context) {
        if (const std::optional<ioPath> earlier = m_impl->earlierOutput ? m_impl->earlierOutput(context) : std::nullopt)
        {
            ConvertationContext done = context;
            done.outputPath = *earlier;
            LOG(INFO) << kStart << ": " << "Not converting " << context.sourcePath << " again: " << *earlier
                      << " was converted from it unchanged with the same preset and cuts";
            emit Finished(done);
            return;
        }
        if (Start(context) && progress)
        {
            progress->SetSaveFormatTextGetter(
                [this] { return m_impl->copying ? Tr::tr("Preparing the video") : Tr::tr("Converting the video"); });
            progress->OnStart(context);
        }
    };
    connect(manager, qOverload<const ConvertationContext&>(&AbstractSharingManager::ConvertingRequested), this,
            convert);
    connect(manager, qOverload<const ConvertationContext&, bool>(&AbstractSharingManager::ConvertingRequested), this,
            [convert](const ConvertationContext& context, bool) { convert(context); });

    // The manager hears back from the event loop, never from inside its own signal.
    const auto stop = [progress] {
        if (progress)
            progress->OnStop();
    };
    connect(this, &VideoConverter::Finished, manager, [target, stop](const ConvertationContext& context) {
        stop();
        QMetaObject::invokeMethod(
            target, [target, context] { target->Upload(context); }, Qt::QueuedConnection);
    });
    const auto cancel = [target, stop] {
        stop();
        QMetaObject::invokeMethod(
            target, [target] { target->Cancel(); }, Qt::QueuedConnection);
    };
    connect(this, &VideoConverter::Failed, manager, cancel);
    connect(this, &VideoConverter::Canceled, manager, cancel);

    if (progress)
    {
        connect(this, &VideoConverter::ProgressChanged, progress.get(), &IProgressStrategy::Process);
        connect(progress.get(), &IProgressStrategy::CancelRequested, this, &VideoConverter::Cancel);
    }
}

} // namespace Tavrix::RQ
