// videos.insert with Google's resumable protocol: the session start that
// checks the video resource, chunked PUTs written straight to disk, the
// status query, and the final answer with the video resource.

#include "EmulatorImpl.h"
#include "VideoResource.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>

#include <glog/logging.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace Tavrix::YouTubeEmulator {

namespace {
constexpr qint64 kChunkGranularity = 256 * 1024;

bool ParseCount(const QString& text, qint64& out)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,18}$"));
    if (!digits.match(text).hasMatch())
        return false;
    out = text.toLongLong();
    return true;
}

// Content-Range of a PUT: "bytes FIRST-LAST/TOTAL", "bytes */TOTAL", TOTAL may be "*".
struct ContentRange
{
    bool present = false;
    bool valid = false;
    bool query = false; // "bytes */TOTAL"
    qint64 first = 0;
    qint64 last = -1;
    qint64 total = -1; // -1: "*"
};

ContentRange ParseContentRange(const QString& text)
{
    ContentRange range;
    range.present = !text.isEmpty();
    static const QRegularExpression form(QStringLiteral("^bytes (?:([0-9]{1,18})-([0-9]{1,18})|(\\*))/([0-9]{1,18}|\\*)$"));
    const auto match = form.match(text.trimmed());
    if (!match.hasMatch())
        return range;
    range.valid = true;
    range.query = !match.captured(3).isEmpty();
    if (!range.query)
    {
        range.first = match.captured(1).toLongLong();
        range.last = match.captured(2).toLongLong();
    }
    range.total = match.captured(4) == QLatin1String("*") ? -1 : match.captured(4).toLongLong();
    return range;
}

void SendBadUpload(httplib::Response& res, const QString& message, const QString& header = QString())
{
    SendLocatedError(res, 400, QStringLiteral("badRequest"), message, header, QStringLiteral("header"));
}

void SendSessionGone(httplib::Response& res, const QString& message)
{
    SendApiError(res, 404, QStringLiteral("notFound"), message);
}

void SendResume(httplib::Response& res, qint64 stored, bool withRange)
{
    res.status = 308;
    if (withRange && stored > 0)
        res.set_header("Range", "bytes=0-" + std::to_string(stored - 1));
}

QString Sha256Of(const QString& path, qint64 size)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray block;
    qint64 left = size;
    while (left > 0)
    {
        block = file.read(std::min<qint64>(left, 1 << 20));
        if (block.isEmpty())
            return QString();
        hash.addData(block);
        left -= block.size();
    }
    return QString::fromLatin1(hash.result().toHex());
}

QJsonObject HistoryEntry(const httplib::Request& req, const QString& what)
{
    QJsonObject entry{{"at", IsoTime(NowMsecs())}, {"method", QString::fromStdString(req.method)}, {"request", what}};
    if (req.has_header("Content-Range"))
        entry.insert("contentRange", Header(req, "Content-Range"));
    if (req.has_header("Content-Length"))
        entry.insert("contentLength", Header(req, "Content-Length"));
    return entry;
}

// Writes all of `data` at `offset`; false on a write error.
bool WriteAt(int fd, const char* data, size_t length, qint64 offset)
{
    while (length > 0)
    {
        const ssize_t written = ::pwrite(fd, data, length, off_t(offset));
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        length -= size_t(written);
        offset += written;
    }
    return true;
}
} // namespace

QJsonObject Emulator::Impl::MakeVideo(const UploadSession& session) const
{
    const QStringList parts = session.part.split(QLatin1Char(','), Qt::SkipEmptyParts);
    const QJsonObject snippetIn = session.metadata.value("snippet").toObject();
    const QJsonObject statusIn = session.metadata.value("status").toObject();
    QJsonObject video{{"kind", "youtube#video"}, {"etag", "video-" + session.videoId}, {"id", session.videoId}};
    if (parts.contains(QStringLiteral("snippet")))
    {
        const QString thumbs = Origin() + QStringLiteral("/vi/%1/").arg(session.videoId);
        auto thumb = [&](const char* name, int width, int height) {
            return QJsonObject{{"url", thumbs + QLatin1String(name) + QStringLiteral(".png")},
                               {"width", width},
                               {"height", height}};
        };
        const QString title = snippetIn.value("title").toString();
        const QString description = snippetIn.value("description").toString();
        QJsonObject snippet{{"publishedAt", IsoTime(session.completedAt)},
                            {"channelId", config.channelId},
                            {"title", title},
                            {"description", description},
                            {"thumbnails", QJsonObject{{"default", thumb("default", 120, 90)},
                                                       {"medium", thumb("mqdefault", 320, 180)},
                                                       {"high", thumb("hqdefault", 480, 360)}}},
                            {"channelTitle", config.channelTitle},
                            {"categoryId", snippetIn.value("categoryId").toString(QStringLiteral("22"))},
                            {"liveBroadcastContent", "none"},
                            {"localized", QJsonObject{{"title", title}, {"description", description}}}};
        if (snippetIn.contains("tags"))
            snippet.insert("tags", snippetIn.value("tags"));
        video.insert("snippet", snippet);
    }
    if (parts.contains(QStringLiteral("status")))
    {
        const QString asked = statusIn.value("privacyStatus").toString(QStringLiteral("public"));
        QJsonObject status{{"uploadStatus", "uploaded"},
                           {"privacyStatus", config.forcePrivate ? QStringLiteral("private") : asked},
                           {"license", "youtube"},
                           {"embeddable", true},
                           {"publicStatsViewable", true}};
        if (statusIn.contains("selfDeclaredMadeForKids"))
        {
            status.insert("selfDeclaredMadeForKids", statusIn.value("selfDeclaredMadeForKids"));
            status.insert("madeForKids", statusIn.value("selfDeclaredMadeForKids"));
        }
        if (statusIn.contains("publishAt"))
            status.insert("publishAt", statusIn.value("publishAt"));
        video.insert("status", status);
    }
    return video;
}

void Emulator::Impl::StartSession(const httplib::Request& req, httplib::Response& res,
                                  const httplib::ContentReader* reader)
{
    if (req.has_param("upload_id"))
    {
        Drain(reader);
        res.set_header("Allow", "PUT");
        return SendApiError(res, 405, QStringLiteral("methodNotAllowed"),
                            QStringLiteral("Send the bytes of an upload session with PUT."));
    }
    if (Param(req, "uploadType") != QLatin1String("resumable"))
    {
        Drain(reader);
        return SendLocatedError(res, 400, QStringLiteral("invalidParameter"),
                                QStringLiteral("This emulator serves uploadType=resumable only."),
                                QStringLiteral("uploadType"));
    }
    QStringList parts = Param(req, "part").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    if (parts.isEmpty())
    {
        Drain(reader);
        return SendLocatedError(res, 400, QStringLiteral("required"), QStringLiteral("Required parameter: part"),
                                QStringLiteral("part"));
    }
    for (const QString& part : parts)
        if (!IsKnownVideoPart(part))
        {
            Drain(reader);
            return SendLocatedError(res, 400, QStringLiteral("unknownPart"), QStringLiteral("'%1'").arg(part),
                                    QStringLiteral("part"));
        }
    if (!Authorize(req, res, {kScopeUpload, kScopeYouTube, kScopeForceSsl}))
        return Drain(reader);
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!config.channel)
        {
            Drain(reader);
            return SendSignupRequired(res);
        }
        if (AnswerApiFault(res, faults.Take(QStringLiteral("start"))))
            return Drain(reader);
    }

    qint64 declared = -1;
    if (req.has_header("X-Upload-Content-Length") &&
        !ParseCount(Header(req, "X-Upload-Content-Length"), declared))
    {
        Drain(reader);
        return SendBadUpload(res, QStringLiteral("X-Upload-Content-Length must be a byte count."),
                             QStringLiteral("X-Upload-Content-Length"));
    }
    if (declared == 0)
    {
        Drain(reader);
        return SendApiError(res, 400, QStringLiteral("mediaBodyRequired"),
                            QStringLiteral("The request does not include the video content."),
                            QStringLiteral("youtube.video"));
    }
    const QString mediaType = Header(req, "X-Upload-Content-Type");
    if (!mediaType.isEmpty() && !mediaType.startsWith(QLatin1String("video/")) &&
        mediaType != QLatin1String("application/octet-stream"))
    {
        Drain(reader);
        return SendApiError(res, 400, QStringLiteral("badContent"),
                            QStringLiteral("Media type '%1' is not supported. Valid media types: [video/*, "
                                           "application/octet-stream]")
                                .arg(mediaType));
    }

    std::string body;
    if (!ReadSmallBody(reader, body, 1 << 20, res, false))
        return;
    QJsonObject resource;
    if (!body.empty())
    {
        if (!Header(req, "Content-Type").startsWith(QLatin1String("application/json")))
            return SendApiError(res, 400, QStringLiteral("badContent"),
                                QStringLiteral("The video resource must be sent as application/json."));
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body), &parseError);
        if (parseError.error != QJsonParseError::NoError || !document.isObject())
            return SendApiError(res, 400, QStringLiteral("parseError"), QStringLiteral("Parse Error"));
        resource = document.object();
    }
    if (const auto problem = CheckVideoResource(resource))
        return SendApiError(res, problem->code, problem->item);

    auto session = std::make_shared<UploadSession>();
    session->id = RandomToken(64);
    session->part = parts.join(QLatin1Char(','));
    session->metadata = resource;
    session->contentType = mediaType;
    session->declaredSize = declared;
    session->createdAt = NowMsecs();
    QJsonObject entry = HistoryEntry(req, QStringLiteral("start"));
    entry.insert("status", 200);
    std::lock_guard<std::mutex> lock(mutex);
    session->expiresAt = session->createdAt + config.sessionLifetime * 1000;
    session->history.append(entry);
    sessions.insert(session->id, session);
    QFile(folder.UploadFile(session->id)).open(QIODevice::WriteOnly);
    folder.SaveSession(*session);
    folder.AppendHistory(*session, entry);
    const QString location =
        Origin() + QStringLiteral("/upload/youtube/v3/videos?uploadType=resumable&upload_id=") + session->id;
    res.status = 200;
    res.set_header("Location", location.toStdString());
    res.set_header("X-GUploader-UploadID", session->id.toStdString());
    LOG(INFO) << "Tavrix::YouTubeEmulator::Emulator::StartSession: session " << session->id.left(8).toStdString()
              << "… for " << declared << " bytes";
}

void Emulator::Impl::PutToSession(const httplib::Request& req, httplib::Response& res,
                                  const httplib::ContentReader* reader)
{
    const QString id = Param(req, "upload_id");
    static const QRegularExpression idForm(QStringLiteral("^[A-Za-z0-9_-]{1,128}$"));
    if (id.isEmpty())
    {
        Drain(reader);
        return SendLocatedError(res, 400, QStringLiteral("required"), QStringLiteral("Required parameter: upload_id"),
                                QStringLiteral("upload_id"));
    }
    const ContentRange range = ParseContentRange(Header(req, "Content-Range"));
    qint64 length = 0;
    const bool hasLength = req.has_header("Content-Length");
    if (hasLength && !ParseCount(Header(req, "Content-Length"), length))
        return SendBadUpload(res, QStringLiteral("Bad Content-Length."), QStringLiteral("Content-Length"));

    std::shared_ptr<UploadSession> session;
    QJsonObject entry = HistoryEntry(req, range.query ? QStringLiteral("status") : QStringLiteral("chunk"));
    std::vector<Fault> fired;
    qint64 first = 0, total = -1;
    // Records the answer in the session's history (the lock is held).
    auto record = [&](int status) {
        entry.insert("status", status);
        const auto rangeHeader = res.get_header_value("Range");
        if (!rangeHeader.empty())
            entry.insert("range", QString::fromStdString(rangeHeader));
        entry.insert("stored", session->stored);
        session->history.append(entry);
        if (!session->removed)
        {
            folder.SaveSession(*session);
            folder.AppendHistory(*session, entry);
        }
    };
    {
        std::unique_lock<std::mutex> lock(mutex);
        session = idForm.match(id).hasMatch() ? sessions.value(id) : nullptr;
        if (!session)
        {
            lock.unlock();
            Drain(reader);
            return SendSessionGone(res, QStringLiteral("Not Found: no upload session %1.").arg(id.left(12)));
        }
        // One writer per session: a PUT sent right after a broken one waits for it.
        if (!sessionIdle.wait_for(lock, std::chrono::seconds(10), [&] { return !session->busy; }))
        {
            lock.unlock();
            Drain(reader);
            return SendApiError(res, 503, QStringLiteral("backendError"),
                                QStringLiteral("Another request is still writing to this session."));
        }
        if (!session->complete && !session->expired && session->expiresAt <= NowMsecs())
        {
            session->expired = true;
            folder.SaveSession(*session);
        }
        auto refuse = [&](auto&& answer) {
            answer();
            record(res.status);
            lock.unlock();
            Drain(reader);
        };
        if (config.requireTokenOnPut && !AuthorizeLocked(req, res, {kScopeUpload, kScopeYouTube, kScopeForceSsl}))
            return refuse([] {});
        if (session->expired || session->removed)
            return refuse([&] { SendSessionGone(res, QStringLiteral("The upload session has expired.")); });
        if (session->complete)
            return refuse([&] { SendJson(res, 200, session->video); });
        if (req.has_header("Transfer-Encoding"))
            return refuse([&] { SendBadUpload(res, QStringLiteral("A Content-Length is required."),
                                              QStringLiteral("Content-Length")); });
        if (range.present && !range.valid)
            return refuse([&] {
                SendBadUpload(res, QStringLiteral("Content-Range must read bytes FIRST-LAST/TOTAL or bytes */TOTAL."),
                              QStringLiteral("Content-Range"));
            });
        if (range.query || (!range.present && length == 0))
        {
            if (!range.present)
                return refuse([&] {
                    SendBadUpload(res, QStringLiteral("An empty PUT asks for the status with Content-Range: bytes */TOTAL."),
                                  QStringLiteral("Content-Range"));
                });
            if (length != 0)
                return refuse([&] { SendBadUpload(res, QStringLiteral("A status query carries no bytes."),
                                                  QStringLiteral("Content-Length")); });
            if (range.total >= 0 && session->declaredSize >= 0 && range.total != session->declaredSize)
                return refuse([&] {
                    SendBadUpload(res, QStringLiteral("The total %1 differs from the %2 bytes announced.")
                                           .arg(range.total)
                                           .arg(session->declaredSize),
                                  QStringLiteral("Content-Range"));
                });
            fired = faults.Take(QStringLiteral("status"));
            for (const Fault& fault : fired)
            {
                entry.insert("fault", fault.ToJson());
                if (fault.status)
                    return refuse([&] { SendFaultStatus(res, fault, false); });
                if (fault.omitRange)
                {
                    session->stored = 0;
                    ::truncate(folder.UploadFile(id).toLocal8Bit().constData(), 0);
                }
            }
            SendResume(res, session->stored, true);
            return refuse([] {});
        }

        first = range.present ? range.first : 0;
        const qint64 last = range.present ? range.last : length - 1;
        total = range.present ? range.total : length;
        if (total < 0 && session->declaredSize >= 0)
            total = session->declaredSize;
        QString problem;
        if (last < first)
            problem = QStringLiteral("Content-Range ends before it starts.");
        else if (last - first + 1 != length)
            problem = QStringLiteral("Content-Range covers %1 bytes but the body has %2.").arg(last - first + 1).arg(length);
        else if (total >= 0 && last >= total)
            problem = QStringLiteral("Content-Range goes past the total of %1 bytes.").arg(total);
        else if (total >= 0 && session->declaredSize >= 0 && total != session->declaredSize)
            problem = QStringLiteral("The total %1 differs from the %2 bytes announced.").arg(total).arg(session->declaredSize);
        else if (first != session->stored)
            problem = QStringLiteral("The chunk starts at byte %1 but %2 bytes are stored; ask with "
                                     "Content-Range: bytes */TOTAL and go on from there.")
                          .arg(first)
                          .arg(session->stored);
        else if ((total < 0 || last + 1 < total) && length % kChunkGranularity != 0)
            problem = QStringLiteral("Every chunk but the last must be a multiple of 262144 bytes; this one has %1.")
                          .arg(length);
        if (!problem.isEmpty())
            return refuse([&] { SendBadUpload(res, problem, QStringLiteral("Content-Range")); });
        if (total >= 0)
            session->declaredSize = total;
        fired = faults.Take(QStringLiteral("chunk"));
        session->busy = true;
    }

    // The bytes go straight from the socket to the file, outside the lock.
    qint64 throttle = 0, dropAfter = -1, keepAtMost = -1;
    const Fault* statusFault = nullptr;
    bool omitRange = false;
    QJsonArray firedJson;
    for (const Fault& fault : fired)
    {
        firedJson.append(fault.ToJson());
        throttle = fault.throttleBytesPerSecond ? fault.throttleBytesPerSecond : throttle;
        dropAfter = fault.dropAfterBytes >= 0 ? fault.dropAfterBytes : dropAfter;
        keepAtMost = fault.shortStoreBytes >= 0 ? fault.shortStoreBytes : keepAtMost;
        omitRange = omitRange || fault.omitRange;
        statusFault = fault.status ? &fault : statusFault;
    }
    if (!firedJson.isEmpty())
        entry.insert("fault", firedJson.size() == 1 ? QJsonValue(firedJson.first()) : QJsonValue(firedJson));
    if (statusFault && !statusFault->storeChunk)
        keepAtMost = 0;

    const QString path = folder.UploadFile(id);
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    QString writeError;
    if (fd < 0 || ::ftruncate(fd, off_t(first)) != 0)
        writeError = QString::fromLocal8Bit(std::strerror(errno));
    qint64 received = 0;
    bool dropped = false;
    const auto started = std::chrono::steady_clock::now();
    bool bodyComplete = true;
    if (writeError.isEmpty() && reader)
        bodyComplete = (*reader)([&](const char* data, size_t size) {
            size_t take = size;
            if (dropAfter >= 0 && received + qint64(size) >= dropAfter)
            {
                take = size_t(dropAfter - received);
                dropped = true;
            }
            if (take > 0 && !WriteAt(fd, data, take, first + received))
            {
                writeError = QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            received += qint64(take);
            if (throttle > 0)
                std::this_thread::sleep_until(started + std::chrono::microseconds(received * 1000000 / throttle));
            return !dropped;
        });
    const qint64 kept = keepAtMost >= 0 ? std::min(received, keepAtMost) : received;
    if (fd >= 0)
    {
        if (::ftruncate(fd, off_t(first + kept)) != 0 && writeError.isEmpty())
            writeError = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
    }
    const qint64 stored = writeError.isEmpty() ? first + kept : first;
    if (!writeError.isEmpty())
        ::truncate(path.toLocal8Bit().constData(), off_t(first));

    // The whole video is here: hash it before the answer, still outside the lock.
    const bool finished = total >= 0 && stored == total && !omitRange;
    const QString sha256 = finished ? Sha256Of(path, stored) : QString();

    std::lock_guard<std::mutex> lock(mutex);
    session->busy = false;
    sessionIdle.notify_all();
    session->stored = omitRange ? 0 : stored;
    if (omitRange)
        ::truncate(path.toLocal8Bit().constData(), 0);
    entry.insert("received", received);
    if (dropped && DropConnection(req, port))
    {
        entry.insert("note", QStringLiteral("connection dropped after %1 bytes").arg(received));
        return record(0);
    }
    if (!writeError.isEmpty())
    {
        SendApiError(res, 500, QStringLiteral("internalError"),
                     QStringLiteral("The emulator could not store the bytes: %1").arg(writeError));
        LOG(ERROR) << "Tavrix::YouTubeEmulator::Emulator::PutToSession: can not write " << path.toStdString() << ": "
                   << writeError.toStdString();
        return record(500);
    }
    if (!bodyComplete)
    {
        entry.insert("note", QStringLiteral("the body ended after %1 bytes").arg(received));
        SendBadUpload(res, QStringLiteral("The body ended before Content-Length bytes arrived."));
        return record(400);
    }
    if (statusFault)
    {
        SendFaultStatus(res, *statusFault, false);
        return record(res.status);
    }
    if (finished)
    {
        session->complete = true;
        session->sha256 = sha256;
        session->completedAt = NowMsecs();
        session->videoId = RandomToken(11);
        session->video = MakeVideo(*session);
        SendJson(res, 201, session->video);
        LOG(INFO) << "Tavrix::YouTubeEmulator::Emulator::PutToSession: video " << session->videoId.toStdString()
                  << " complete, " << stored << " bytes";
        return record(201);
    }
    SendResume(res, session->stored, !omitRange);
    record(308);
}

void Emulator::Impl::AddUploadRoutes()
{
    WithBody("POST", "/upload/youtube/v3/videos",
             [this](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader* reader) {
                 StartSession(req, res, reader);
             });
    WithBody("PUT", "/upload/youtube/v3/videos",
             [this](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader* reader) {
                 PutToSession(req, res, reader);
             });
}

} // namespace Tavrix::YouTubeEmulator
