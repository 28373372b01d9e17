#pragma once

// Everything a YouTubeSharingManager is built from, as the tests of the
// manager and of the sharing flows need it: the protocol fake, settings over
// files in a temporary folder, a streams builder and a file manager that
// answer from a script, and recording progress and result strategies.

#include "YouTubeSharingManager.h"
#include "UI/YouTubeSharingDialog.h"

#include "AppServices.h"
#include "CoreUtils.h"
#include "FakeYoutubeProtocol.h"
#include "FlowWindows.h"
#include "HostFakes.h"
#include "MediaFakes.h"
#include "ParentProvider.h"
#include "ProjectManager.h"
#include "RecordingStrategies.h"
#include "UserSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stdexcept>

namespace TestSupport {

// Probes nothing: answers the facts the test gives, or throws what it is told to.
class ScriptedFileManager : public Tavrix::RQ::IFileManager
{
public:
    enum class Failure
    {
        None,
        HostException,
        StdException,
        Other,
    };

    bool Exists(const Tavrix::ioPath& path) const override { return path.exists(); }
    bool Remove(const Tavrix::ioPath& path) override { return path.remove(); }
    bool ShowInFolder(const Tavrix::ioPath&) override { return true; }
    // A video as far as the project cares; the fakes need no more of it.
    Tavrix::RQ::MediaFacts ProbeMedia(const Tavrix::ioPath&) const override
    {
        switch (failure)
        {
        case Failure::HostException:
            throw Tavrix::Exception("the probe found no streams");
        case Failure::StdException:
            throw std::runtime_error("out of file handles");
        case Failure::Other:
            throw 42;
        case Failure::None:
            break;
        }
        Tavrix::RQ::MediaFacts video;
        video.hasVideo = true;
        return video;
    }

    Failure failure = Failure::None;
};

struct ManagerKit
{
    using Manager = Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingManager;
    using Dialog = Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingDialog;

    explicit ManagerKit(bool signedIn = false)
    {
        // A folder check failing would otherwise show a message box.
        Tavrix::RQ::SetPathProblemPresenter([](QWidget*, const QString& title, const QString& text) {
            QFAIL(qPrintable(QStringLiteral("folder refused: %1 %2").arg(title, text)));
        });
        protocol->loggedIn = signedIn;
        protocol->fields.insert(Tavrix::Social::YoutubeProtocol::FIELD_CATEGORY_ID,
                                MakeField({{QStringLiteral("10"), QStringLiteral("Music")},
                                           {QStringLiteral("22"), QStringLiteral("People & Blogs")}},
                                          QStringLiteral("22")));
        protocol->fields.insert(Tavrix::Social::YoutubeProtocol::FIELD_PRIVACY,
                                MakeField({{QStringLiteral("public"), QStringLiteral("Public")},
                                           {QStringLiteral("unlisted"), QStringLiteral("Unlisted")}},
                                          QStringLiteral("unlisted")));
        streams->video = FakeStreamsBuilder::MakeVideo(320, 240, 1000000);
        // Exports and kept copies land in the test's own folder, never in the user's videos.
        QDir(folder.path()).mkpath(QStringLiteral("exports"));
        QDir(folder.path()).mkpath(QStringLiteral("kept"));
        pathsSettings->SetResultsFolderPath(Path(QStringLiteral("exports")));
        pathsSettings->SetUserSelectedSavePath(Path(QStringLiteral("kept")));
    }

    ~ManagerKit() { Tavrix::RQ::SetPathProblemPresenter({}); }

    QString Path(const QString& name) const { return QDir(folder.path()).filePath(name); }

    // A file with a few bytes in the test's folder; the fakes never read it.
    Tavrix::ioPath WriteFile(const QString& name) const
    {
        TestSupport::WriteFile(Path(name), "not really a video");
        return Tavrix::ioPath(Path(name).toStdString());
    }

    std::unique_ptr<Manager> Make() const
    {
        return std::make_unique<Manager>(socialSettings, pathsSettings, streams, files, customization, lookAndFeel,
                                         links, parentProvider, progress, result);
    }

    // The sharing dialog, once a ShareFile has shown it (it is then the top of the parent stack).
    Dialog* ShownDialog() const { return qobject_cast<Dialog*>(parentProvider->GetParent()); }

    QTemporaryDir folder;
    std::shared_ptr<FakeYoutubeProtocol> protocol = std::make_shared<FakeYoutubeProtocol>();
    std::shared_ptr<Tavrix::RQ::SocialSettings> socialSettings = MakeSocialSettings(protocol);
    std::shared_ptr<Tavrix::App::ICustomizationManager> customization =
        std::make_shared<Tavrix::App::CustomizationManager>();
    std::shared_ptr<Tavrix::RQ::PathsSettings> pathsSettings = std::make_shared<Tavrix::RQ::PathsSettings>(
        customization, std::make_shared<Tavrix::RQ::ApplicationSettingsManager>(Path(QStringLiteral("app.ini"))));
    std::shared_ptr<FakeStreamsBuilder> streams = std::make_shared<FakeStreamsBuilder>();
    std::shared_ptr<ScriptedFileManager> files = std::make_shared<ScriptedFileManager>();
    std::shared_ptr<Tavrix::App::ILookAndFeelManager> lookAndFeel = std::make_shared<Tavrix::App::LookAndFeelManager>();
    std::shared_ptr<Tavrix::App::ILinksGenerator> links = std::make_shared<Tavrix::App::LinksGenerator>();
    std::shared_ptr<Tavrix::RQ::UI::ParentProvider> parentProvider = std::make_shared<Tavrix::RQ::UI::ParentProvider>();
    std::shared_ptr<RecordingProgress> progress = std::make_shared<RecordingProgress>();
    std::shared_ptr<RecordingResult> result = std::make_shared<RecordingResult>();
};

} // namespace TestSupport
