#pragma once

// The streams of the project being shared, as the host's probe finds them.
// Kept apart from MediaPresets.h because it speaks of ConvertationContext,
// whose header already depends on the preset catalogue.

#include "MediaPresets.h"
#include "SocialServices.h"

namespace Tavrix::RQ {

class IProjectStreamsBuilder
{
public:
    virtual ~IProjectStreamsBuilder() = default;

    // Builds the streams of the project that the settings name.
    virtual void SetConversionSettings(const ConvertationContext::Conversion& settings) = 0;
    // Drops what SetConversionSettings built.
    virtual void Release() = 0;
    // Null when the source has no video.
    virtual Proc::IStreamPtr GetVideoStream() const = 0;
    // The audio stream; null when there is none.
    virtual Proc::IStreamPtr GetSecondStream() const = 0;
};

} // namespace Tavrix::RQ
