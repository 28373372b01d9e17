#pragma once

// Recording stand-ins for the host's branding, language, sound and link
// services, for tests of the host's windows.

#include "AppServices.h"

#include <QList>
#include <QUrl>

#include <string>
#include <vector>

namespace TestSupport {

class FakeCustomizationManager : public Tavrix::App::ICustomizationManager
{
public:
    std::string GetProductName() const override { return productName; }
    std::string GetTagBrand() const override { return "Orbit"; }
    std::string GetTagKind() const override { return "screen recorder"; }
    std::string GetCompanyName() const override { return "Tavrix"; }

    std::string productName = "Orbit Recorder";
};

class FakeLookAndFeelManager : public Tavrix::App::ILookAndFeelManager
{
public:
    std::string GetLocale() const override { return locale; }

    std::string locale = "en_US";
};

class RecordingAudioPlayer : public Tavrix::App::ISimpleAudioPlayer
{
public:
    void Play(const std::string& sound) override { played.push_back(sound); }

    std::vector<std::string> played;
};

// An opener function for LinksOpener and FileManager that remembers the
// addresses and answers `answer`.
struct RecordingOpener
{
    QList<QUrl> opened;
    bool answer = true;

    std::function<bool(const QUrl&)> Function()
    {
        return [this](const QUrl& url) {
            opened << url;
            return answer;
        };
    }
};

} // namespace TestSupport
