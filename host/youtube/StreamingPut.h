#pragma once

// One HTTP/1.1 PUT whose body is a range of a file, written straight onto a
// socket in large blocks, and its answer. The upload's chunks go this way:
// QNetworkAccessManager passes an upload body to its HTTP thread 16 KiB at a
// time through queued signals, which costs several times curl's CPU per byte,
// and the chunks are nearly all the bytes there are. Everything else stays on
// QNetworkAccessManager.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>

#include <functional>
#include <memory>

class QUrl;

namespace Tavrix::Social::YouTube {

class StreamingPut : public QObject
{
    Q_OBJECT
public:
    struct Response
    {
        int status = 0;                 // 0: no complete answer (see error)
        QList<QPair<QByteArray, QByteArray>> headers; // names in lower case
        QByteArray body;
        QString error;
        bool fileFailed = false;        // the file could not be read

        QByteArray Header(const QByteArray& lowerName) const;
    };

    explicit StreamingPut(QObject* parent);
    ~StreamingPut() override;

    // Bodies of `length` bytes from `start` of `path`; `headers` besides Host,
    // Content-Length and Connection. The answer arrives through `finished`.
    void Start(const QUrl& url, const QList<QPair<QByteArray, QByteArray>>& headers, const QString& path,
               qint64 start, qint64 length, int idleTimeoutMs);
    // Closes the connection; no callback afterwards.
    void Abort();

    // Body bytes the peer has taken, not those still in the system's buffers.
    std::function<void(qint64 bodyBytesSent)> progressed;
    std::function<void(const Response&)> finished;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::Social::YouTube
