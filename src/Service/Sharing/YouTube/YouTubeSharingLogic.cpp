#include "YouTubeSharingLogic.h"

#include "UploadTimes.h"

#include "CoreUtils.h"
#include "SocialUtils.h"
#include "UserSettings.h"

#include <QElapsedTimer>
#include <QSet>

#include <glog/logging.h>

#include <atomic>

namespace Tavrix::RQ::Service::Sharing::YouTube {

namespace {
constexpr char kStartUpload[] = "Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingLogic::StartUpload";
constexpr char kCancelUpload[] = "Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingLogic::CancelUpload";
constexpr char kFinishCallback[] = "YouTubeSharingLogic/StartUpload/FinishCallBack: ";

const int kMetaTypes[] = {
    qRegisterMetaType<Social::RequestResult>("Social::RequestResult"),
    qRegisterMetaType<YouTubeSharingLogic::YouTubeInfoData>(),
};
} // namespace

struct YouTubeSharingLogic::Impl
{
    explicit Impl(const std::shared_ptr<SocialSettings>& settings)
        : protocol(NotNull<SocialSettings>(settings)->YouTubeProtocol())
    {
    }

    Social::Field FieldNamed(const QString& name) const
    {
        return protocol->GetFields().value(name);
    }

    NotNull<Social::YoutubeProtocol> protocol;
    QSet<qint64> pendingTickets;
    // Held from an accepted StartUpload until its finish callback. A second try
    // must fail on every thread, the owning one included, which a mutex's
    // try_lock does not promise; an atomic flag does.
    std::atomic_flag uploadGuard = ATOMIC_FLAG_INIT;
    qint64 uploadingTicket = -1;
    // A monotonic clock: the start of the upload is the base of both times.
    QElapsedTimer uploadClock;
    // Counts finish callbacks, so StartUpload can tell that its upload has
    // already ended while the protocol was still starting it.
    quint64 finishedUploads = 0;
};

YouTubeSharingLogic::YouTubeSharingLogic(const std::shared_ptr<SocialSettings>& settings, QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(settings))
{
    Q_UNUSED(kMetaTypes);
}

YouTubeSharingLogic::~YouTubeSharingLogic()
{
    // A protocol may answer a cancel at once; nobody must hear from an object
    // that is going away.
    blockSignals(true);
    const QSet<qint64> tickets = m_impl->pendingTickets;
    for (qint64 ticket : tickets)
        m_impl->protocol->Cancel(ticket);
}

bool YouTubeSharingLogic::StartUpload(const ioPath& file, const YouTubeInfoData& info)
{
    if (!m_impl->protocol->IsLoggedIn())
    {
        LOG(ERROR) << kStartUpload << ": " << "User is not logged in";
        return false;
    }
    if (m_impl->uploadGuard.test_and_set())
    {
        LOG(ERROR) << kStartUpload << ": " << "Uploading already in progress";
        return false;
    }

    QMap<QString, QString> fields;
    fields.insert(Social::YoutubeProtocol::FIELD_TITLE, info.title);
    fields.insert(Social::YoutubeProtocol::FIELD_DESCRIPTION, info.description);
    fields.insert(Social::YoutubeProtocol::FIELD_TAGS, info.tags);
    fields.insert(Social::YoutubeProtocol::FIELD_CATEGORY_ID, info.categoryId);
    fields.insert(Social::YoutubeProtocol::FIELD_PRIVACY, info.privacy);

    m_impl->uploadClock.restart();
    const QString path = QString::fromStdString(file.utf8string());

    auto finished = [this](qint64 ticket, Social::RequestResult result, const Social::DefaultSharingResult& data) {
        if (result == Social::Success)
            LOG(INFO) << kFinishCallback << "Uploading finished, uploadingTicket=" << m_impl->uploadingTicket;
        else
            LOG(ERROR) << kFinishCallback << "Uploading failed with result=" << RequestResultToString(result)
                       << ", uploadingTicket=" << m_impl->uploadingTicket;
        m_impl->pendingTickets.remove(ticket);
        m_impl->uploadingTicket = -1;
        m_impl->uploadGuard.clear();
        ++m_impl->finishedUploads;
        emit UploadFinished(result, data.url);
    };
    auto progressed = [this](qint64, int progress) {
        const UploadTimes times = ComputeUploadTimes(progress, m_impl->uploadClock.elapsed());
        emit ProgressChanged(progress, times.elapsed, times.remained);
    };

    const quint64 finishedBefore = m_impl->finishedUploads;
    const qint64 ticket = m_impl->protocol->Upload(path, fields, finished, progressed);
    // A protocol that refuses on the spot has finished the upload already;
    // storing its ticket now would leave the logic busy for good.
    if (m_impl->finishedUploads == finishedBefore)
    {
        m_impl->uploadingTicket = ticket;
        m_impl->pendingTickets.insert(ticket);
    }
    LOG(INFO) << kStartUpload << ": " << "Uploading started, uploadingTicket=" << ticket;
    return true;
}

void YouTubeSharingLogic::CancelUpload()
{
    LOG(INFO) << kCancelUpload << ": " << "Uploading cancelled, uploadingTicket=" << m_impl->uploadingTicket;
    m_impl->protocol->Cancel(m_impl->uploadingTicket);
}

bool YouTubeSharingLogic::UploadInProgress() const
{
    return m_impl->uploadingTicket != -1;
}

Social::Field YouTubeSharingLogic::GetCathegoryField() const
{
    return m_impl->FieldNamed(Social::YoutubeProtocol::FIELD_CATEGORY_ID);
}

Social::Field YouTubeSharingLogic::GetPrivacyField() const
{
    return m_impl->FieldNamed(Social::YoutubeProtocol::FIELD_PRIVACY);
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube
