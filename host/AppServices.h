#pragma once

// The host application's services: branding, look and feel, links, sounds and
// where its resources are.

#include "CoreUtils.h"

#include <QUrl>

#include <string>

namespace Tavrix::App {

// Branding of the product this build is.
class ICustomizationManager
{
public:
    virtual ~ICustomizationManager() = default;
    virtual std::string GetProductName() const = 0;
    // The two words a shared video is tagged with: a brand and what it is.
    virtual std::string GetTagBrand() const = 0;
    virtual std::string GetTagKind() const = 0;
    virtual std::string GetCompanyName() const = 0;
};

class ILookAndFeelManager
{
public:
    virtual ~ILookAndFeelManager() = default;
    // The user interface language as a locale name, e.g. "en_US".
    virtual std::string GetLocale() const = 0;
};

class ILinksGenerator
{
public:
    enum LinkId : int
    {
        HOMEPAGE_URL = 1,
        HOMEPAGE_URL_youtube_description = 148,
    };

    virtual ~ILinksGenerator() = default;
    virtual std::string GetLink(LinkId id) const = 0;
};

class ILinksOpener
{
public:
    virtual ~ILinksOpener() = default;
    virtual bool OpenLink(const QUrl& url) = 0;
};

class ISimpleAudioPlayer
{
public:
    virtual ~ISimpleAudioPlayer() = default;
    // Plays one of the host's notification sounds by name, e.g. "success".
    virtual void Play(const std::string& sound) = 0;
};

// The folder of the host's shipped resources (presets, images).
ioPath GetPathToResources();
// Overrides it, for a host that keeps them elsewhere and for tests.
void SetPathToResources(const ioPath& folder);

} // namespace Tavrix::App
