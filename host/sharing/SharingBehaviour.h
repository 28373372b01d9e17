#pragma once

// The host's sharing behaviour library: the progress window and the result
// window that a sharing service reports through. Both are non-modal windows
// shown over the parent provider's current window.

#include "SocialServices.h"

#include <memory>

class QWidget;

namespace Tavrix::App {
class ICustomizationManager;
class ILinksOpener;
class ISimpleAudioPlayer;
} // namespace Tavrix::App

namespace Tavrix::RQ {
class IFileManager;
class IUiSettings;
} // namespace Tavrix::RQ

namespace Tavrix::RQ::UI {
class ParentProvider;
}

namespace Tavrix::RQ::Service::Sharing {

// A small window with the operation's text, a progress bar, the elapsed and
// remaining times and a Cancel button. Cancel (or closing the window) asks
// for cancellation through CancelRequested; the window stays until OnStop.
class SharingProgressBehaviour : public IProgressStrategy
{
    Q_OBJECT
public:
    explicit SharingProgressBehaviour(const std::shared_ptr<UI::ParentProvider>& parentProvider);
    ~SharingProgressBehaviour() override;

    SharingProgressBehaviour(const SharingProgressBehaviour&) = delete;
    SharingProgressBehaviour& operator=(const SharingProgressBehaviour&) = delete;

    void SetProgressText(const TextGetter& getter) override;
    void SetAccelerationInfo(const TextGetter& getter) override;
    void SetSaveFormatTextGetter(const TextGetter& getter) override;
    void Process(float fraction, const QTime& elapsed, const QTime& remaining) override;
    void OnPause() override;
    void OnResume() override;
    void OnStart(const ConvertationContext& context) override;
    void OnStop() override;

    bool IsRunning() const;
    // The window, once OnStart made it; null before.
    QWidget* Window() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// A window with the outcome of one sharing: the video's link to open or copy
// on success, the reason on failure, a plain notice on cancel, and the way to
// the exported file when it was kept. The window's "requestResult" property
// holds the outcome (a Social::RequestResult) for the host that ends the run.
class SharingResultBehaviour : public IResultStrategy<SharingResultContext, Social::RequestResult>
{
public:
    // Flags of SharingResultContext::resultFlags that this window reads.
    enum ResultFlag : int
    {
        ExportedFileRemoved = 0,
        SharingEnded = 1,
        SourceMissing = 4,
    };

    SharingResultBehaviour(const std::shared_ptr<IUiSettings>& uiSettings,
                           const std::shared_ptr<UI::ParentProvider>& parentProvider,
                           const std::shared_ptr<App::ISimpleAudioPlayer>& audioPlayer,
                           const std::shared_ptr<IFileManager>& fileManager,
                           const std::shared_ptr<App::ILinksOpener>& linksOpener,
                           const std::shared_ptr<App::ICustomizationManager>& customization);
    ~SharingResultBehaviour() override;

    SharingResultBehaviour(const SharingResultBehaviour&) = delete;
    SharingResultBehaviour& operator=(const SharingResultBehaviour&) = delete;

    void SetSuccessText(const std::function<QString()>& getter) override;
    void Process(const SharingResultContext& context, const Social::RequestResult& result) override;

    // The window of the last outcome; null before the first.
    QWidget* Window() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing
