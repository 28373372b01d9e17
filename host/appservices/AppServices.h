#pragma once

// The host application's services: branding, look and feel, links, sounds and
// where its resources are.

#include "CoreUtils.h"

#include <QByteArray>
#include <QStringList>
#include <QUrl>

#include <functional>

#include <memory>
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

// Opens links in the desktop's browser.
class LinksOpener : public ILinksOpener
{
public:
    using Opener = std::function<bool(const QUrl&)>;

    LinksOpener();
    // Opens with the given function instead (tests, hosts with their own browser).
    explicit LinksOpener(Opener opener);
    ~LinksOpener() override;

    LinksOpener(const LinksOpener&) = delete;
    LinksOpener& operator=(const LinksOpener&) = delete;

    // Refuses empty, invalid and relative addresses.
    bool OpenLink(const QUrl& url) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Plays short generated tones through the desktop's sound player, and falls
// back to the system beep where none is installed. Never fails the caller:
// no sound device means no sound.
class SimpleAudioPlayer : public ISimpleAudioPlayer
{
public:
    // Starts program with arguments and does not wait; false when it did not start.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

    // paplay or aplay from PATH, started detached.
    SimpleAudioPlayer();
    // players: program names (looked up in PATH) or paths, tried in order.
    SimpleAudioPlayer(Launcher launcher, const QStringList& players);
    ~SimpleAudioPlayer() override;

    SimpleAudioPlayer(const SimpleAudioPlayer&) = delete;
    SimpleAudioPlayer& operator=(const SimpleAudioPlayer&) = delete;

    void Play(const std::string& sound) override;

    // The WAV file (16-bit mono PCM) of a sound: "success", "error", or a plain tone.
    static QByteArray MakeSound(const std::string& sound);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The branding this build of the host ships with.
class CustomizationManager : public ICustomizationManager
{
public:
    explicit CustomizationManager(const std::string& productName = "OrbitRec",
                                  const std::string& tagBrand = "OrbitRec",
                                  const std::string& tagKind = "Screen Recorder",
                                  const std::string& companyName = "Tavrix");
    ~CustomizationManager() override;

    CustomizationManager(const CustomizationManager&) = delete;
    CustomizationManager& operator=(const CustomizationManager&) = delete;

    std::string GetProductName() const override;
    std::string GetTagBrand() const override;
    std::string GetTagKind() const override;
    std::string GetCompanyName() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Follows the application's default QLocale (the system's unless the host
// picked a language) until a locale is set explicitly.
class LookAndFeelManager : public ILookAndFeelManager
{
public:
    LookAndFeelManager();
    ~LookAndFeelManager() override;

    LookAndFeelManager(const LookAndFeelManager&) = delete;
    LookAndFeelManager& operator=(const LookAndFeelManager&) = delete;

    std::string GetLocale() const override;
    // An empty name goes back to following QLocale.
    void SetLocale(const std::string& locale);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Addresses on the product's web site. Links the host does not know are empty.
class LinksGenerator : public ILinksGenerator
{
public:
    explicit LinksGenerator(const std::string& homePage = "https://orbitrec.example/");
    ~LinksGenerator() override;

    LinksGenerator(const LinksGenerator&) = delete;
    LinksGenerator& operator=(const LinksGenerator&) = delete;

    std::string GetLink(LinkId id) const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The folder of the host's shipped resources (presets, images).
ioPath GetPathToResources();
// Overrides it, for a host that keeps them elsewhere and for tests.
void SetPathToResources(const ioPath& folder);

} // namespace Tavrix::App
