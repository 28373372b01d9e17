#pragma once

// The host's streams builder: the video and audio streams of the opened
// project, made from the facts its probe read when the project was opened.

#include "ProjectStreams.h"

#include <memory>

namespace Tavrix::RQ {

class ProjectStreamsBuilder : public IProjectStreamsBuilder
{
public:
    ProjectStreamsBuilder();
    ~ProjectStreamsBuilder() override;

    ProjectStreamsBuilder(const ProjectStreamsBuilder&) = delete;
    ProjectStreamsBuilder& operator=(const ProjectStreamsBuilder&) = delete;

    // Settings without a project leave no streams (and an ERROR line).
    void SetConversionSettings(const ConvertationContext::Conversion& settings) override;
    void Release() override;
    Proc::IStreamPtr GetVideoStream() const override;
    Proc::IStreamPtr GetSecondStream() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ
