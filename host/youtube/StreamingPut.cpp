#include "StreamingPut.h"

#include <QFile>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#include <sys/ioctl.h>
#endif

namespace Tavrix::Social::YouTube {

namespace {
constexpr qint64 kBlock = 1024 * 1024;
// Bytes queued in the socket before the file is read further.
constexpr qint64 kQueued = 4 * kBlock;
constexpr int kMaxHeadBytes = 64 * 1024;
// How often the bytes the peer took are looked at while the system's send
// buffer drains with no write of ours to tell.
constexpr int kProgressPollMs = 100;

// Bytes handed to the system for this socket that the peer has not taken
// yet; 0 where the system cannot tell.
qint64 UnacknowledgedBytes(qintptr descriptor)
{
#ifdef Q_OS_LINUX
    int queued = 0;
    if (descriptor >= 0 && ::ioctl(static_cast<int>(descriptor), SIOCOUTQ, &queued) == 0)
        return queued;
#else
    Q_UNUSED(descriptor);
#endif
    return 0;
}
} // namespace

QByteArray StreamingPut::Response::Header(const QByteArray& lowerName) const
{
    for (const auto& header : headers)
        if (header.first == lowerName)
            return header.second;
    return {};
}

struct StreamingPut::Impl
{
    StreamingPut* self;
    QSslSocket socket;
    QTimer idle;
    QTimer poll;
    QFile file;
    qint64 length = 0;
    qint64 queuedBody = 0;   // body bytes handed to the socket
    qint64 headBytes = 0;    // request head bytes still to leave
    qint64 sentBody = 0;     // body bytes the socket wrote out
    qint64 reported = 0;     // body bytes the peer took, as last reported
    bool done = false;

    QByteArray received;
    bool headParsed = false;
    Response response;
    qint64 contentLength = -1;
    bool chunked = false;

    explicit Impl(StreamingPut* owner)
        : self(owner)
    {
    }

    void Finish()
    {
        if (done)
            return;
        done = true;
        idle.stop();
        poll.stop();
        socket.disconnect();
        socket.abort();
        file.close();
        // The receiver may delete this object: nothing after the call.
        if (self->finished)
            self->finished(response);
    }

    void Fail(const QString& error, bool fileFailed = false)
    {
        response = Response();
        response.error = error;
        response.fileFailed = fileFailed;
        Finish();
    }

    void Pump()
    {
        QByteArray block;
        while (!done && queuedBody < length && socket.bytesToWrite() < kQueued)
        {
            block.resize(static_cast<int>(qMin(kBlock, length - queuedBody)));
            const qint64 read = file.read(block.data(), block.size());
            if (read <= 0)
            {
                Fail(QStringLiteral("the file could not be read"), true);
                return;
            }
            socket.write(block.constData(), read);
            queuedBody += read;
        }
    }

    void OnWritten(qint64 bytes)
    {
        idle.start();
        const qint64 head = qMin(bytes, headBytes);
        headBytes -= head;
        sentBody += bytes - head;
        ReportProgress();
        Pump();
    }

    // Written is not sent: the system buffers megabytes, which a slow line
    // takes seconds to drain, so progress counts what left the buffers.
    void ReportProgress()
    {
        const qint64 taken = qMax<qint64>(0, sentBody - UnacknowledgedBytes(socket.socketDescriptor()));
        if (taken <= reported)
            return;
        reported = taken;
        if (self->progressed)
            self->progressed(taken);
    }

    bool ParseHead()
    {
        const int end = received.indexOf("\r\n\r\n");
        if (end < 0)
            return received.size() <= kMaxHeadBytes;
        const QList<QByteArray> lines = received.left(end).split('\n');
        const QList<QByteArray> statusLine = lines.value(0).trimmed().split(' ');
        bool ok = false;
        response.status = statusLine.value(1).toInt(&ok);
        if (!statusLine.value(0).startsWith("HTTP/1.") || !ok)
            return false;
        for (int i = 1; i < lines.size(); ++i)
        {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                response.headers.append({lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed()});
        }
        received.remove(0, end + 4);
        headParsed = true;
        chunked = response.Header("transfer-encoding").toLower().contains("chunked");
        const QByteArray declared = response.Header("content-length");
        contentLength = declared.isEmpty() ? -1 : declared.toLongLong();
        return true;
    }

    // True once the whole body is there.
    bool ParseBody()
    {
        if (!chunked)
        {
            if (contentLength < 0)
                return false; // ends with the connection
            if (received.size() < contentLength)
                return false;
            response.body = received.left(static_cast<int>(contentLength));
            return true;
        }
        for (;;)
        {
            const int lineEnd = received.indexOf("\r\n");
            if (lineEnd < 0)
                return false;
            bool ok = false;
            const qint64 size = received.left(lineEnd).split(';').value(0).trimmed().toLongLong(&ok, 16);
            if (!ok)
            {
                Fail(QStringLiteral("malformed chunked answer"));
                return false;
            }
            if (size == 0)
                return true;
            if (received.size() < lineEnd + 2 + size + 2)
                return false;
            response.body += received.mid(lineEnd + 2, static_cast<int>(size));
            received.remove(0, static_cast<int>(lineEnd + 2 + size + 2));
        }
    }

    void OnReadyRead()
    {
        idle.start();
        // An answer comes after the acknowledgements of what it answers.
        ReportProgress();
        received += socket.readAll();
        if (!headParsed && !ParseHead())
        {
            Fail(QStringLiteral("malformed answer"));
            return;
        }
        if (headParsed && !done && ParseBody())
            Finish();
    }

    void OnClosed()
    {
        if (done)
            return;
        received += socket.readAll();
        if (headParsed && !chunked && contentLength < 0)
        {
            response.body = received;
            Finish();
            return;
        }
        if (headParsed && ParseBody())
        {
            Finish();
            return;
        }
        Fail(socket.errorString().isEmpty() ? QStringLiteral("connection closed") : socket.errorString());
    }
};

StreamingPut::StreamingPut(QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(this))
{
}

StreamingPut::~StreamingPut()
{
    Abort();
}

void StreamingPut::Start(const QUrl& url, const QList<QPair<QByteArray, QByteArray>>& headers, const QString& path,
                         qint64 start, qint64 length, int idleTimeoutMs)
{
    Impl& d = *m_impl;
    d.length = length;
    d.file.setFileName(path);
    if (!d.file.open(QIODevice::ReadOnly) || !d.file.seek(start))
    {
        QTimer::singleShot(0, this, [this] { m_impl->Fail(QStringLiteral("the file could not be read"), true); });
        return;
    }

    const bool secure = url.scheme() == QLatin1String("https");
    const quint16 port = static_cast<quint16>(url.port(secure ? 443 : 80));
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray head = "PUT " + target + " HTTP/1.1\r\nHost: " + url.host(QUrl::FullyEncoded).toLatin1();
    if (url.port() != -1)
        head += ':' + QByteArray::number(port);
    head += "\r\nContent-Length: " + QByteArray::number(length) + "\r\nConnection: close\r\n";
    for (const auto& header : headers)
        head += header.first + ": " + header.second + "\r\n";
    head += "\r\n";
    d.headBytes = head.size();

    d.idle.setSingleShot(true);
    d.idle.setInterval(idleTimeoutMs);
    connect(&d.idle, &QTimer::timeout, this, [this] { m_impl->Fail(QStringLiteral("no progress, timed out")); });
    connect(&d.socket, &QSslSocket::bytesWritten, this, [this](qint64 bytes) { m_impl->OnWritten(bytes); });
    connect(&d.socket, &QSslSocket::readyRead, this, [this] { m_impl->OnReadyRead(); });
    connect(&d.socket, &QSslSocket::disconnected, this, [this] { m_impl->OnClosed(); });
    connect(&d.socket, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_impl->socket.state() != QAbstractSocket::ConnectedState)
            m_impl->OnClosed();
    });
    d.poll.setInterval(kProgressPollMs);
    connect(&d.poll, &QTimer::timeout, this, [this] { m_impl->ReportProgress(); });
    auto send = [this, head] {
        m_impl->socket.write(head);
        m_impl->Pump();
        m_impl->poll.start();
    };
    if (secure)
    {
        connect(&d.socket, &QSslSocket::encrypted, this, send);
        d.socket.connectToHostEncrypted(url.host(), port);
    }
    else
    {
        connect(&d.socket, &QSslSocket::connected, this, send);
        d.socket.connectToHost(url.host(), port);
    }
    d.idle.start();
}

void StreamingPut::Abort()
{
    m_impl->done = true;
    m_impl->idle.stop();
    m_impl->poll.stop();
    m_impl->socket.disconnect();
    m_impl->socket.abort();
    m_impl->file.close();
}

} // namespace Tavrix::Social::YouTube
