#include "YouTubeSharingManager.h"

#include "UI/YouTubeSharingDialog.h"
#include "UI/YouTubeSharingErrorHandler.h"
#include "YouTubeAuthLogic.h"
#include "YouTubeSharingLogic.h"

#include "CoreUtils.h"
#include "ParentProvider.h"
#include "ProjectManager.h"
#include "SocialUI.h"
#include "SocialUtils.h"
#include "UserSettings.h"

#include <QCoreApplication>

#include <glog/logging.h>

#include <optional>
#include <typeinfo>

namespace Tavrix::RQ::Service::Sharing::YouTube {

namespace {

constexpr char kShareFile[] = "Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingManager::ShareFile";
constexpr char kOnStartRequested[] =
    "Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingManager::Impl::OnStartRequested";
// The failures of ShareFile are reported under fixed places of this file, so
// that a host's log filters keep matching them whatever this file becomes.
constexpr char kLogFile[] = "YouTubeSharingManager.cpp";
constexpr int kHostExceptionLine = 329;
constexpr int kStdExceptionLine = 335;
constexpr int kUnknownExceptionLine = 341;

// Keeps the manager entered in the host's instance registry while it lives.
class RegistrationRecord
{
public:
    explicit RegistrationRecord(AbstractSharingManager* manager)
        : m_manager(manager)
        , m_name(InstanceRegistry::Demangle(typeid(AbstractSharingManager).name()))
    {
        if (InstanceRegistry* registry = InstanceRegistry::Instance())
            registry->DoRegister(m_name, m_manager);
    }

    ~RegistrationRecord()
    {
        if (InstanceRegistry* registry = InstanceRegistry::Instance())
            registry->DoUnregister(m_name, m_manager);
    }

    RegistrationRecord(const RegistrationRecord&) = delete;
    RegistrationRecord& operator=(const RegistrationRecord&) = delete;

private:
    AbstractSharingManager* m_manager;
    std::string m_name;
};

} // namespace

class YouTubeSharingManager::Impl : public QObject
{
public:
    struct PendingRequest
    {
        bool needSaveAfterExport = false;
        ConvertationContext context;
        YouTubeSharingLogic::YouTubeInfoData info;
    };

    Impl(YouTubeSharingManager* owner,
         const std::shared_ptr<SocialSettings>& socialSettings,
         const std::shared_ptr<PathsSettings>& pathsSettings,
         const std::shared_ptr<IProjectStreamsBuilder>& projectStreamsBuilder,
         const std::shared_ptr<IFileManager>& fileManager,
         const std::shared_ptr<App::ICustomizationManager>& customizationManager,
         const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeelManager,
         const std::shared_ptr<App::ILinksGenerator>& linksGenerator,
         const std::shared_ptr<RQ::UI::ParentProvider>& parentProviderService,
         const std::shared_ptr<IProgressStrategy>& progressService,
         const std::shared_ptr<ResultStrategy>& resultService)
        : owner(owner)
        , dialog(errorHandler, socialSettings, pathsSettings, projectStreamsBuilder, customizationManager,
                 lookAndFeelManager, linksGenerator, nullptr)
        , authLogic(socialSettings, errorHandler)
        , sharingLogic(socialSettings, owner)
        , protocolWrapper(customizationManager, lookAndFeelManager,
                          std::shared_ptr<Social::BaseProtocol>(socialSettings->YouTubeProtocol()))
        , authConnector(authLogic, dialog, nullptr)
        , projectManager(fileManager, [] { return ProjectManager::ProjectType(0); })
        , authorizationDialog(new Sharing::UI::SharingAuthorizationDialog(&dialog))
        , parentProvider(parentProviderService)
        , progress(progressService)
        , result(resultService)
        , registrationToken(std::make_unique<RegistrationRecord>(owner))
    {
        dialog.SetPrivacyDescriptionFetcher([this] { return sharingLogic.GetPrivacyField(); });
        dialog.SetCategoryDescriptionFetcher([this] { return sharingLogic.GetCathegoryField(); });

        connect(&dialog, &UI::YouTubeSharingDialog::CancelRequested, owner, [owner] { owner->Cancel(); });
        connect(&dialog, &UI::YouTubeSharingDialog::StartRequested, this, &Impl::OnStartRequested);
        connect(&sharingLogic, &YouTubeSharingLogic::ProgressChanged, this,
                [this](int percent, const QTime& elapsed, const QTime& remained) {
                    progress->Process(static_cast<float>(static_cast<float>(percent) / 100.0), elapsed, remained);
                });
        connect(&sharingLogic, &YouTubeSharingLogic::UploadFinished, this, &Impl::OnUploadFinished);
        connect(progress.get(), &IProgressStrategy::CancelRequested, &sharingLogic, &YouTubeSharingLogic::CancelUpload);
        connect(&authLogic, &AbstractAuthLogic::UserStateUpdated, owner,
                [this](AbstractAuthLogic::UserState state) { OnUserStateUpdated(state); });

        authLogic.UpdateUserInfo();
        errorHandler.Retranslate();
    }

    void ShowDialog()
    {
        dialog.SetUserName(QString());
        dialog.SetUserPicture(QPixmap());
        dialog.SetLoginStatus(authLogic.IsLoggedIn());
        authLogic.UpdateUserInfo();
        dialog.setParent(parentProvider->GetParent(), dialog.windowFlags());
        dialog.show();
        parentProvider->PushParent(&dialog);
    }

    void ResetState()
    {
        dialog.setParent(nullptr, dialog.windowFlags());
        dialog.hide();
        parentProvider->RemoveParent(&dialog);
        progress->OnStop();
        sharingLogic.CancelUpload();
        pending.reset();
        projectManager.Close();
    }

    bool ShareFile(const ioPath& file, const CutIntervals& cutIntervals)
    {
        if (!file.exists())
        {
            FinishSharing(Social::Failed, QUrl(), {4});
            owner->Cancel();
            return false;
        }

        try
        {
            projectManager.Open(file);
            pending.emplace();

            ConvertationContext::Conversion conversion;
            conversion.project = projectManager.GetCurrentProject();
            conversion.cutIntervals = cutIntervals;
            conversion.flag = false;
            if (pending->context.conversion)
                *pending->context.conversion = conversion;
            else
                pending->context.conversion = conversion;

            pending->context.sourcePath = file;
            dialog.SetFileContext(pending->context);
        }
        catch (const Tavrix::Exception& error)
        {
            google::LogMessage(kLogFile, kHostExceptionLine, google::GLOG_ERROR).stream()
                << kShareFile << ": " << " Cannot load project: " << file << "; reason: " << error.what();
            owner->Cancel();
            return false;
        }
        catch (const std::exception& error)
        {
            google::LogMessage(kLogFile, kStdExceptionLine, google::GLOG_ERROR).stream()
                << kShareFile << ": " << " Cannot load project: " << file << "; reason: " << error.what();
            owner->Cancel();
            return false;
        }
        catch (...)
        {
            google::LogMessage(kLogFile, kUnknownExceptionLine, google::GLOG_ERROR).stream()
                << kShareFile << ": " << " Cannot load project: " << file;
            owner->Cancel();
            return false;
        }

        ShowDialog();
        return true;
    }

    void OnStartRequested(const ConvertationContext& context, const YouTubeSharingLogic::YouTubeInfoData& info,
                          bool needSaveAfterExport)
    {
        // The dialog is only shown for a sharing that ShareFile prepared.
        if (!pending)
        {
            LOG(ERROR) << kOnStartRequested << ": " << "No sharing in progress, start ignored";
            return;
        }
        pending->needSaveAfterExport = needSaveAfterExport;
        pending->info = info;
        pending->context = context;

        if (errorHandler.IsUserNotLoggedInAndNoError())
        {
            authorizationDialog->SwitchDialogState([this] { authLogic.LogIn(); }, [this] { SaveWithoutUpload(); },
                                                   Sharing::UI::SharingAuthorizationDialog::SignInRequired);
            authorizationDialog->exec();
            return;
        }
        if (errorHandler.IsProfileInvalid())
        {
            authorizationDialog->SwitchDialogState([this] { authorizationDialog->hide(); },
                                                   [this] { SaveWithoutUpload(); },
                                                   Sharing::UI::SharingAuthorizationDialog::ProfileInvalid);
            authorizationDialog->exec();
            return;
        }
        dialog.hide();
        parentProvider->RemoveParent(&dialog);
        saveOnly = false;
        emit owner->ConvertingRequested(pending->context);
    }

    void SaveWithoutUpload()
    {
        authorizationDialog->hide();
        dialog.hide();
        saveOnly = true;
        emit owner->ConvertingRequested(pending ? pending->context : ConvertationContext(), true);
    }

    void OnUserStateUpdated(AbstractAuthLogic::UserState state)
    {
        if (state != AbstractAuthLogic::LoggedIn && state != AbstractAuthLogic::ProfileInvalid)
            return;
        // A sign-in outside a start request starts nothing.
        if (!authorizationDialog->isVisible())
            return;
        if (state == AbstractAuthLogic::ProfileInvalid)
        {
            authorizationDialog->SwitchDialogState([this] { authorizationDialog->hide(); },
                                                   [this] { SaveWithoutUpload(); },
                                                   Sharing::UI::SharingAuthorizationDialog::ProfileInvalid);
            return;
        }
        saveOnly = false;
        emit owner->ConvertingRequested(pending ? pending->context : ConvertationContext());
        authorizationDialog->hide();
        dialog.hide();
    }

    bool Upload(const ConvertationContext& context)
    {
        if (saveOnly)
        {
            authorizationDialog->hide();
            emit owner->SharingFinished(true);
            owner->Reset();
            return true;
        }
        if (!authLogic.IsLoggedIn() || !pending)
            return FailUpload();

        pending->context = context;
        if (!sharingLogic.StartUpload(pending->context.outputPath, pending->info))
            return FailUpload();

        progress->SetSaveFormatTextGetter(
            [] { return QCoreApplication::translate("YouTubeSharing", "Uploading to YouTube"); });
        progress->OnStart(pending->context);

        QMap<QString, QString> parameters;
        const auto& conversion = pending->context.conversion;
        parameters.insert(QStringLiteral("RESOLUTION"), conversion && conversion->preset
                                                            ? QString::fromStdString(conversion->preset->GetId())
                                                            : QString());
        parameters.insert(QStringLiteral("CATEGORY"), pending->info.categoryId);
        parameters.insert(QStringLiteral("PRIVACY"), pending->info.privacy.toUpper());
        parameters.insert(QStringLiteral("SAVE_TO"),
                          pending->needSaveAfterExport ? QStringLiteral("YES") : QStringLiteral("NO"));
        emit owner->SharingStarted(QStringLiteral("video"), parameters);
        return true;
    }

    bool FailUpload()
    {
        FinishSharing(Social::Failed, QUrl(), {});
        owner->Cancel();
        return false;
    }

    void OnUploadFinished(Social::RequestResult status, const QUrl& url)
    {
        FinishSharing(status, url, {});
        if (pending && !pending->needSaveAfterExport && pending->context.outputPath.exists())
            pending->context.outputPath.remove();
        ResetState();
        emit owner->SharingFinished(status == Social::Success);
    }

    void FinishSharing(Social::RequestResult status, const QUrl& url, const std::set<std::int32_t>& flags)
    {
        progress->OnStop();
        SharingResultContext resultContext;
        resultContext.resultFlags = flags;
        if (pending)
            resultContext.context = pending->context;
        resultContext.resultFlags.insert(1);
        if (pending && !pending->needSaveAfterExport)
            resultContext.resultFlags.insert(0);
        resultContext.url = url;
        result->Process(resultContext, status);
    }

    YouTubeSharingManager* owner;
    UI::YouTubeSharingErrorHandler errorHandler;
    UI::YouTubeSharingDialog dialog;
    YouTubeAuthLogic authLogic;
    YouTubeSharingLogic sharingLogic;
    RetranslateProtocolWrapper protocolWrapper;
    SocialAuthConnector authConnector;
    ProjectManager projectManager;
    // Owned by the dialog through Qt parenthood.
    Sharing::UI::SharingAuthorizationDialog* authorizationDialog;
    NotNull<RQ::UI::ParentProvider> parentProvider;
    NotNull<IProgressStrategy> progress;
    NotNull<ResultStrategy> result;
    std::optional<PendingRequest> pending;
    std::unique_ptr<RegistrationRecord> registrationToken;
    bool saveOnly = false;
};

YouTubeSharingManager::YouTubeSharingManager(const std::shared_ptr<SocialSettings>& socialSettings,
                                             const std::shared_ptr<PathsSettings>& pathsSettings,
                                             const std::shared_ptr<IProjectStreamsBuilder>& projectStreamsBuilder,
                                             const std::shared_ptr<IFileManager>& fileManager,
                                             const std::shared_ptr<App::ICustomizationManager>& customizationManager,
                                             const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeelManager,
                                             const std::shared_ptr<App::ILinksGenerator>& linksGenerator,
                                             const std::shared_ptr<RQ::UI::ParentProvider>& parentProvider,
                                             const std::shared_ptr<IProgressStrategy>& progress,
                                             const std::shared_ptr<ResultStrategy>& result)
    : AbstractSharingManager(nullptr)
    , m_impl(std::make_unique<Impl>(this, socialSettings, pathsSettings, projectStreamsBuilder, fileManager,
                                    customizationManager, lookAndFeelManager, linksGenerator, parentProvider,
                                    progress, result))
{
}

YouTubeSharingManager::~YouTubeSharingManager() = default;

bool YouTubeSharingManager::ShareFile(const ioPath& file, const CutIntervals& cutIntervals)
{
    return m_impl->ShareFile(file, cutIntervals);
}

bool YouTubeSharingManager::Upload(const ConvertationContext& context)
{
    return m_impl->Upload(context);
}

void YouTubeSharingManager::Cancel()
{
    Reset();
    emit SharingCanceled();
}

void YouTubeSharingManager::Reset()
{
    m_impl->ResetState();
}

AbstractSharingManager::Type YouTubeSharingManager::GetType() const
{
    return YouTube;
}

QString YouTubeSharingManager::GetSharingName() const
{
    return QStringLiteral("YouTube");
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube
