#pragma once

#include "RQServiceYouTubeExport.h"

#include "SocialProtocol.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QTime>
#include <QUrl>

#include <memory>

namespace Tavrix {
class ioPath;
}

namespace Tavrix::RQ {
class SocialSettings;
}

namespace Tavrix::RQ::Service::Sharing::YouTube {

// Uploads one finished video with the metadata the user typed, one upload at a
// time, and reports progress and outcome as signals. Also hands out the
// category and privacy option lists of the protocol.
class RQSERVICEYOUTUBE_EXPORT YouTubeSharingLogic : public QObject
{
    Q_OBJECT
public:
    struct YouTubeInfoData
    {
        QString title;
        QString description;
        QString tags;
        QString categoryId;
        QString privacy;
    };

    YouTubeSharingLogic(const std::shared_ptr<SocialSettings>& settings, QObject* parent);
    ~YouTubeSharingLogic() override;

    YouTubeSharingLogic(const YouTubeSharingLogic&) = delete;
    YouTubeSharingLogic& operator=(const YouTubeSharingLogic&) = delete;

    bool StartUpload(const ioPath& file, const YouTubeInfoData& info);
    void CancelUpload();
    bool UploadInProgress() const;

    Social::Field GetCathegoryField() const;
    Social::Field GetPrivacyField() const;

signals:
    void ProgressChanged(int progress, const QTime& elapsed, const QTime& remained);
    void UploadFinished(Social::RequestResult status, const QUrl& url);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing::YouTube

Q_DECLARE_METATYPE(Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingLogic::YouTubeInfoData)
