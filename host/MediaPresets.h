#pragma once

// The host's preset catalogue and media layer: export presets, their filters,
// the streams of a source and the size estimate of an export.

#include "CoreUtils.h"

#include <boost/intrusive_ptr.hpp>

#include <cstddef>
#include <string>

namespace Tavrix::Core {
class Property;
}

namespace Tavrix::Conf {

// One export preset of the catalogue.
class IPreset : public Core::RefCounted
{
public:
    virtual std::string GetId() const = 0;
    virtual std::string GetFileExtension() const = 0;
    virtual std::size_t GetFiltersCount() const = 0;
    virtual const Core::Property& GetFilterProperty(std::size_t index) const = 0;
};

using IPresetPtr = boost::intrusive_ptr<const IPreset>;

} // namespace Tavrix::Conf
