#include "ResumableUpload.h"

#include "ApiReply.h"
#include "StreamingPut.h"
#include "UploadSessionStore.h"
#include "YoutubeConfiguration.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrlQuery>

#include <glog/logging.h>

#include <utility>

namespace Tavrix::Social::YouTube {

namespace {
constexpr char kStart[] = "Tavrix::Social::YouTube::ResumableUpload::Start: ";
constexpr char kSession[] = "Tavrix::Social::YouTube::ResumableUpload::Session: ";
constexpr char kTransfer[] = "Tavrix::Social::YouTube::ResumableUpload::Transfer: ";
constexpr int kMaxSessions = 3;

// "bytes=0-N" -> N + 1; no header means nothing is stored.
qint64 NextOffset(const QByteArray& range)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(?:bytes=)?(\\d+)-(\\d+)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(range));
    return match.hasMatch() ? match.captured(2).toLongLong() + 1 : 0;
}

// The file's video type as Google's own clients send it ("video/mp4"), by its
// name and first bytes; "video/*" when it is not recognisably a video.
QByteArray VideoContentType(const QString& path)
{
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    return type.startsWith(QLatin1String("video/")) ? type.toLatin1() : QByteArrayLiteral("video/*");
}
} // namespace

struct ResumableUpload::Impl
{
    ResumableUpload* self;
    Configuration config;
    QNetworkAccessManager& network;
    TokenProvider tokens;

    QString path;
    QByteArray metadata;
    qint64 total = 0;
    QDateTime modified;
    UploadSessionStore store;
    FileIdentity identity;
    bool resuming = false;

    QUrl session;
    QString accessToken;
    qint64 offset = 0;
    qint64 requestStart = 0;
    qint64 requestEnd = 0;
    int failures = 0;
    int sessions = 0;
    bool authRetried = false;
    bool stopped = false;
    bool sendingChunk = false;
    int lastPercent = -1;

    QPointer<QNetworkReply> reply;
    QPointer<StreamingPut> put;
    QTimer retryTimer;
    std::function<void()> retryAction;

    Impl(ResumableUpload* owner, const Configuration& c, QNetworkAccessManager& n, TokenProvider t)
        : self(owner)
        , config(c)
        , network(n)
        , tokens(std::move(t))
        , store(c.sessionFolder, c.sessionLifetime)
    {
        retryTimer.setSingleShot(true);
    }

    void StopTransfer()
    {
        retryTimer.stop();
        if (reply)
        {
            reply->disconnect();
            reply->abort();
            reply->deleteLater();
        }
        reply = nullptr;
        if (put)
        {
            put->Abort();
            put->deleteLater();
        }
        put = nullptr;
    }

    void Finish(const Outcome& outcome)
    {
        stopped = true;
        StopTransfer();
        store.Remove(path);
        if (outcome.result != Success)
            LOG(ERROR) << kTransfer << "upload failed: " << outcome.message.toStdString();
        // The receiver may delete this upload: nothing after this call.
        if (self->finished)
            self->finished(outcome);
    }

    void Fail(RequestResult result, const QString& message) { Finish({result, {}, message}); }

    void Progress(qint64 bytes)
    {
        // 100 only once YouTube has the video.
        const int percent = total > 0 ? static_cast<int>(qMin<qint64>(99, bytes * 100 / total)) : 0;
        if (percent <= lastPercent)
            return;
        lastPercent = percent;
        if (self->progressed)
            self->progressed(percent);
    }

    void WithToken(bool refresh, std::function<void()> next)
    {
        QPointer<ResumableUpload> guard(self);
        tokens(refresh, [this, guard, next = std::move(next)](RequestResult result, const QString& token) {
            if (!guard || stopped)
                return;
            if (result != Success)
            {
                Fail(result, QStringLiteral("no valid sign-in for the upload"));
                return;
            }
            accessToken = token;
            next();
        });
    }

    QNetworkRequest Request(const QUrl& url) const
    {
        QNetworkRequest request(url);
        PrepareRequest(request, config.transferTimeoutMs);
        request.setRawHeader("Authorization", "Bearer " + accessToken.toLatin1());
        return request;
    }

    void Watch(QNetworkReply* started, void (Impl::*handler)(const ApiReply&))
    {
        reply = started;
        QObject::connect(started, &QNetworkReply::finished, self, [this, started, handler] {
            started->deleteLater();
            reply = nullptr;
            (this->*handler)(ApiReply::Read(started));
        });
    }

    void StartSession()
    {
        ++sessions;
        resuming = false;
        QUrl url = config.uploadUrl;
        QUrlQuery query(url);
        query.addQueryItem(QStringLiteral("uploadType"), QStringLiteral("resumable"));
        query.addQueryItem(QStringLiteral("part"), QStringLiteral("snippet,status"));
        url.setQuery(query);
        QNetworkRequest request = Request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json; charset=UTF-8"));
        request.setRawHeader("X-Upload-Content-Length", QByteArray::number(total));
        request.setRawHeader("X-Upload-Content-Type", VideoContentType(path));
        VLOG(30) << kSession << "opening a session for " << total << " bytes";
        Watch(network.post(request, metadata), &Impl::OnSessionOpened);
    }

    void OnSessionOpened(const ApiReply& answer)
    {
        if (answer.Ok() && !answer.location.isEmpty())
        {
            session = config.uploadUrl.resolved(QUrl::fromEncoded(answer.location));
            offset = 0;
            failures = 0;
            authRetried = false;
            LOG(INFO) << kSession << "session opened";
            // Kept before the first byte goes, so a kill at any moment can resume.
            store.Save({session, identity, UploadSessionStore::MetadataHash(metadata), config.EffectiveChunkSize(),
                        QDateTime::currentDateTimeUtc()});
            SendChunk();
            return;
        }
        if (answer.Ok())
        {
            Fail(ProtocolError, QStringLiteral("the session answer names no session address"));
            return;
        }
        Recover(answer, [this] { StartSession(); });
    }

    bool FileUnchanged() const
    {
        const QFileInfo info(path);
        return info.exists() && info.size() == total && info.lastModified() == modified;
    }

    void SendChunk()
    {
        if (!FileUnchanged())
        {
            Fail(FileUnreadable, QStringLiteral("the file changed or vanished during the upload"));
            return;
        }
        const qint64 length = qMin(config.EffectiveChunkSize(), total - offset);
        const QList<QPair<QByteArray, QByteArray>> headers{
            {"Authorization", "Bearer " + accessToken.toLatin1()},
            {"Content-Type", "application/octet-stream"},
            {"Content-Range", "bytes " + QByteArray::number(offset) + '-' + QByteArray::number(offset + length - 1)
                                  + '/' + QByteArray::number(total)},
        };
        VLOG(30) << kTransfer << "sending bytes " << offset << "-" << offset + length - 1 << " of " << total;
        requestStart = offset;
        requestEnd = offset + length;
        sendingChunk = true;
        put = new StreamingPut(self);
        put->progressed = [this](qint64 sent) { Progress(requestStart + sent); };
        put->finished = [this, sender = put.data()](const StreamingPut::Response& response) {
            sender->deleteLater();
            put = nullptr;
            if (response.fileFailed)
            {
                Fail(FileUnreadable, QStringLiteral("the file cannot be read any more"));
                return;
            }
            OnSessionAnswer(ApiReply::FromParts(response.status, response.error, response.body,
                                                response.Header("location"), response.Header("range"),
                                                response.Header("retry-after")));
        };
        put->Start(session, headers, path, offset, length, config.transferTimeoutMs);
    }

    void QueryStatus()
    {
        QNetworkRequest request = Request(session);
        request.setHeader(QNetworkRequest::ContentLengthHeader, 0);
        request.setRawHeader("Content-Range", "bytes */" + QByteArray::number(total));
        VLOG(30) << kTransfer << "asking how much the server holds";
        requestStart = offset;
        requestEnd = offset;
        sendingChunk = false;
        Watch(network.put(request, QByteArray()), &Impl::OnSessionAnswer);
    }

    void OnSessionAnswer(const ApiReply& answer)
    {
        if (answer.status == 200 || answer.status == 201)
        {
            const QString id = answer.json.value(QStringLiteral("id")).toString();
            if (id.isEmpty())
            {
                Fail(ProtocolError, QStringLiteral("the final answer names no video"));
                return;
            }
            lastPercent = 99;
            stopped = true;
            if (self->progressed)
                self->progressed(100);
            LOG(INFO) << kTransfer << "upload complete, " << total << " bytes, video " << id.toStdString();
            Finish({Success, answer.json, {}});
            return;
        }
        if (answer.status == 308)
        {
            // Resume Incomplete, never a redirect: go on from what the server holds.
            const qint64 held = NextOffset(answer.range);
            authRetried = false;
            if (held > requestStart)
                failures = 0;
            else if (sendingChunk && ++failures > config.maxRetries)
            {
                Fail(ServerError, QStringLiteral("the server keeps none of the bytes sent"));
                return;
            }
            if (held < requestEnd)
                LOG(INFO) << kTransfer << "the server holds " << held << " bytes, going on from there";
            offset = qMin(held, total);
            if (std::exchange(resuming, false))
                Resumed();
            Progress(offset);
            if (offset < total)
            {
                SendChunk();
                return;
            }
            // Everything is there but no final answer yet: ask again later.
            ScheduleRetry(answer, [this] { QueryStatus(); });
            return;
        }
        if (answer.status == 404 || answer.status == 410)
        {
            if (sessions >= kMaxSessions)
            {
                Fail(ServerError, QStringLiteral("the upload session expired %1 times").arg(sessions));
                return;
            }
            LOG(INFO) << kSession << "the session expired, starting again from byte 0";
            session.clear();
            offset = 0;
            store.Remove(path);
            WithToken(false, [this] { StartSession(); });
            return;
        }
        if ((answer.status == 400 || answer.status == 416) && sendingChunk && answer.Failure() == ProtocolError)
        {
            // The chunk's range does not fit what the server holds (a chunk sent
            // twice, a lost answer): ask where it stands and go on from there.
            if (++failures > config.maxRetries)
            {
                Fail(ProtocolError, answer.Describe());
                return;
            }
            LOG(INFO) << kTransfer << "the server refused the chunk's range, asking where it stands";
            QueryStatus();
            return;
        }
        Recover(answer, [this] { QueryStatus(); });
    }

    void Resumed()
    {
        const int percent = static_cast<int>(qMin<qint64>(99, offset * 100 / total));
        LOG(INFO) << kSession << "resuming the upload at " << percent << "%, the server holds " << offset << " of "
                  << total << " bytes";
        if (self->resumed)
            self->resumed(percent);
    }

    // A failed answer: refresh once after a 401, wait and retry what can be retried.
    void Recover(const ApiReply& answer, std::function<void()> retry)
    {
        if (answer.status == 401 && answer.reason != QLatin1String("youtubeSignupRequired") && !authRetried)
        {
            authRetried = true;
            LOG(INFO) << kTransfer << "access refused (HTTP 401), refreshing the sign-in once";
            WithToken(true, std::move(retry));
            return;
        }
        if (answer.Retryable())
        {
            ScheduleRetry(answer, std::move(retry));
            return;
        }
        Fail(answer.Failure(), answer.Describe());
    }

    void ScheduleRetry(const ApiReply& answer, std::function<void()> retry)
    {
        if (++failures > config.maxRetries)
        {
            Fail(answer.Ok() || answer.status == 308 ? ServerError : answer.Failure(),
                 QStringLiteral("gave up after %1 attempts, last: %2").arg(failures).arg(answer.Describe()));
            return;
        }
        const int delay = config.RetryDelayMs(failures, answer.retryAfterMs);
        LOG(INFO) << kTransfer << "attempt " << failures << " failed (" << answer.Describe().toStdString()
                  << "), trying again in " << delay << " ms";
        retryAction = [this, retry = std::move(retry)] {
            if (session.isEmpty())
                WithToken(false, [this] { StartSession(); });
            else
                WithToken(false, retry);
        };
        retryTimer.start(delay);
    }
};

ResumableUpload::ResumableUpload(const Configuration& config, QNetworkAccessManager& network, TokenProvider tokens,
                                 QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(this, config, network, std::move(tokens)))
{
    connect(&m_impl->retryTimer, &QTimer::timeout, this, [this] {
        auto action = std::move(m_impl->retryAction);
        m_impl->retryAction = nullptr;
        if (action)
            action();
    });
}

ResumableUpload::~ResumableUpload()
{
    Abort();
}

void ResumableUpload::Start(const QString& file, const QByteArray& metadataJson)
{
    m_impl->path = file;
    m_impl->metadata = metadataJson;
    const QFileInfo info(file);
    QFile probe(file);
    if (!info.isFile() || !probe.open(QIODevice::ReadOnly))
    {
        m_impl->Fail(FileUnreadable, QStringLiteral("cannot read the file %1").arg(file));
        return;
    }
    m_impl->total = info.size();
    m_impl->modified = info.lastModified();
    if (m_impl->total == 0)
    {
        m_impl->Fail(FileUnreadable, QStringLiteral("the file %1 is empty").arg(file));
        return;
    }
    LOG(INFO) << kStart << "uploading " << m_impl->total << " bytes in chunks of " << m_impl->config.EffectiveChunkSize();
    m_impl->identity = FileIdentity::Of(file);
    const auto kept = m_impl->store.Find(m_impl->identity, UploadSessionStore::MetadataHash(metadataJson),
                                         m_impl->config.EffectiveChunkSize());
    // A session of another server (an emulator of an earlier run) is no use here.
    if (kept && kept->uri.authority() == m_impl->config.uploadUrl.authority())
    {
        LOG(INFO) << kStart << "an upload session of this file is still open, asking how much the server holds";
        m_impl->session = kept->uri;
        m_impl->resuming = true;
        m_impl->WithToken(false, [this] { m_impl->QueryStatus(); });
        return;
    }
    m_impl->Progress(0);
    m_impl->WithToken(false, [this] { m_impl->StartSession(); });
}

void ResumableUpload::Abort()
{
    m_impl->stopped = true;
    m_impl->StopTransfer();
}

void ResumableUpload::Forget()
{
    m_impl->store.Remove(m_impl->path);
}

} // namespace Tavrix::Social::YouTube
