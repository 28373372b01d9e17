#include "ProjectStreamsBuilder.h"

#include "ProjectManager.h"

#include <glog/logging.h>

namespace Tavrix::RQ {

namespace {
constexpr char kSetConversionSettings[] = "Tavrix::RQ::ProjectStreamsBuilder::SetConversionSettings";
}

struct ProjectStreamsBuilder::Impl
{
    Proc::IStreamPtr video;
    Proc::IStreamPtr audio;
};

ProjectStreamsBuilder::ProjectStreamsBuilder()
    : m_impl(std::make_unique<Impl>())
{
}

ProjectStreamsBuilder::~ProjectStreamsBuilder() = default;

void ProjectStreamsBuilder::SetConversionSettings(const ConvertationContext::Conversion& settings)
{
    Release();
    if (!settings.project)
    {
        LOG(ERROR) << kSetConversionSettings << ": " << "No project is open, so there are no streams";
        return;
    }
    const MediaFacts& facts = settings.project->GetFacts();
    // The probe reads no per-stream bit rate: 0 says unknown.
    if (facts.hasVideo)
    {
        Conf::FrameInfo frame;
        frame.width = facts.width;
        frame.height = facts.height;
        m_impl->video = Proc::Stream::CreateVideo(
            Conf::FormatCodecVideo::Create(frame, facts.videoCodec.toStdString()), facts.durationUs, 0);
    }
    if (facts.hasAudio)
        m_impl->audio = Proc::Stream::CreateAudio(facts.durationUs, 0);
    VLOG(30) << kSetConversionSettings << ": " << "Streams of " << settings.project->GetPath() << ": video "
             << (m_impl->video ? "yes" : "no") << ", audio " << (m_impl->audio ? "yes" : "no");
}

void ProjectStreamsBuilder::Release()
{
    m_impl->video.reset();
    m_impl->audio.reset();
}

Proc::IStreamPtr ProjectStreamsBuilder::GetVideoStream() const
{
    return m_impl->video;
}

Proc::IStreamPtr ProjectStreamsBuilder::GetSecondStream() const
{
    return m_impl->audio;
}

} // namespace Tavrix::RQ
