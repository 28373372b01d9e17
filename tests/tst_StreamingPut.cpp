// The upload's socket PUT against a scripted server on 127.0.0.1: the bytes
// that leave, every way an HTTP/1.1 answer may be framed, early refusals,
// broken connections and unreadable files.

#include "StreamingPut.h"

#include "TestMain.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryFile>

#include <optional>

using Tavrix::Social::YouTube::StreamingPut;

namespace {
// Reads one request and answers it with `answer` once `bodyBytes` bytes of its
// body came, then closes the connection if `close`.
class ScriptedServer : public QObject
{
public:
    QByteArray request;

    ScriptedServer(const QByteArray& answer, bool close, qint64 bodyBytes)
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this, answer, close, bodyBytes] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, answer, close, bodyBytes] {
                request += socket->readAll();
                const int head = request.indexOf("\r\n\r\n");
                if (answered || head < 0 || request.size() - head - 4 < bodyBytes)
                    return;
                answered = true;
                socket->write(answer);
                if (close)
                    socket->disconnectFromHost();
            });
        });
    }
    QUrl Url(const QString& pathAndQuery) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(pathAndQuery));
    }

private:
    QTcpServer server;
    bool answered = false;
};
} // namespace

class TestStreamingPut : public QObject
{
    Q_OBJECT

private:
    QTemporaryFile file;
    QByteArray content;

    // Bytes [start, start + length) of `path` to `url`; the answer and the last progress.
    void Put(const QUrl& url, const QString& path, qint64 start, qint64 length, StreamingPut::Response& response,
             qint64& progress)
    {
        StreamingPut put(nullptr);
        std::optional<StreamingPut::Response> answer;
        put.finished = [&answer](const StreamingPut::Response& r) { answer = r; };
        put.progressed = [&progress](qint64 sent) {
            QVERIFY(sent >= progress);
            progress = sent;
        };
        put.Start(url, {{"Content-Range", "bytes 1000-2098156/3145745"}}, path, start, length, 10000);
        // Never from inside Start.
        QVERIFY(!answer.has_value());
        QTRY_VERIFY(answer.has_value());
        response = *answer;
    }

private slots:
    void initTestCase()
    {
        content.resize(3 * 1024 * 1024 + 17);
        QRandomGenerator(3).fillRange(reinterpret_cast<quint32*>(content.data()), content.size() / 4);
        QVERIFY(file.open());
        file.write(content);
        file.flush();
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("close");
        // Whether the server reads the whole body before it answers.
        QTest::addColumn<bool>("readsBody");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("content length") << QByteArray("HTTP/1.1 308 Resume Incomplete\r\nRange: bytes=0-99\r\n"
                                                      "Content-Length: 2\r\n\r\nok")
                                        << false << true << 308 << QByteArray("ok");
        QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                               "5\r\n{\"id\"\r\nA;ext=1\r\n:\"abc\"}   \r\n0\r\n\r\n")
                                 << false << true << 200 << QByteArray("{\"id\":\"abc\"}   ");
        QTest::newRow("until the connection closes") << QByteArray("HTTP/1.0 201 Created\r\n\r\n{\"id\":\"x\"}") << true
                                                     << true << 201 << QByteArray("{\"id\":\"x\"}");
        QTest::newRow("401 before the body was read")
            << QByteArray("HTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n\r\n") << false << false << 401 << QByteArray();
        QTest::newRow("closed without an answer") << QByteArray() << true << false << 0 << QByteArray();
        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << true << false << 0 << QByteArray();
    }

    void answers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, close);
        QFETCH(bool, readsBody);
        QFETCH(int, status);
        const qint64 start = 1000;
        const qint64 length = 2 * 1024 * 1024 + 5;
        ScriptedServer server(answer, close, readsBody ? length : 0);
        StreamingPut::Response response;
        qint64 progress = 0;
        Put(server.Url("/upload?upload_id=a%2Fb"), file.fileName(), start, length, response, progress);
        QCOMPARE(response.status, status);
        QTEST(response.body, "body");
        QCOMPARE(response.error.isEmpty(), status != 0);
        QVERIFY(!response.fileFailed);
        if (status == 308)
            QCOMPARE(response.Header("range"), QByteArray("bytes=0-99"));
        if (!readsBody)
            return;

        QCOMPARE(progress, length);
        const int head = server.request.indexOf("\r\n\r\n");
        const QByteArray requestHead = server.request.left(head);
        QVERIFY(requestHead.startsWith("PUT /upload?upload_id=a%2Fb HTTP/1.1\r\n"));
        QVERIFY(requestHead.contains("\r\nContent-Length: 2097157\r\n"));
        QVERIFY(requestHead.contains("\r\nContent-Range: bytes 1000-2098156/3145745"));
        QCOMPARE(server.request.mid(head + 4), content.mid(start, length));
    }

    void unreadableFileIsToldApart()
    {
        StreamingPut::Response response;
        qint64 progress = 0;
        Put(QUrl("http://127.0.0.1:9/"), file.fileName() + ".gone", 0, 10, response, progress);
        QVERIFY(response.fileFailed);
        QCOMPARE(response.status, 0);
    }
};

TAVRIX_TEST_MAIN(TestStreamingPut)
#include "tst_StreamingPut.moc"
