// The upload's socket PUT against a scripted server on 127.0.0.1: the bytes
// that leave, and every way an HTTP/1.1 answer may be framed.

#include "StreamingPut.h"

#include "TestMain.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryFile>

#include <optional>

using Tavrix::Social::YouTube::StreamingPut;

namespace {
// Reads one request and answers with `answer` once `waitForBody` bytes of body came.
class ScriptedServer : public QObject
{
public:
    QByteArray request;
    QByteArray answer;
    bool closeAfterAnswer = true;
    int answerAfterBodyBytes = 0;

    ScriptedServer(const QByteArray& answerToSend, bool closeAfter)
        : answer(answerToSend)
        , closeAfterAnswer(closeAfter)
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                request += socket->readAll();
                const int head = request.indexOf("\r\n\r\n");
                if (answered || head < 0 || request.size() - head - 4 < answerAfterBodyBytes)
                    return;
                answered = true;
                socket->write(answer);
                if (closeAfterAnswer)
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

private slots:
    void initTestCase()
    {
        content.resize(3 * 1024 * 1024 + 17);
        QRandomGenerator(3).fillRange(reinterpret_cast<quint32*>(content.data()), content.size() / 4);
        QVERIFY(file.open());
        file.write(content);
        file.flush();
    }

    void answersInEveryFraming_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("close");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("content length") << QByteArray("HTTP/1.1 308 Resume Incomplete\r\nRange: bytes=0-99\r\n"
                                                      "Content-Length: 2\r\n\r\nok")
                                        << false << 308 << QByteArray("ok");
        QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                               "5\r\n{\"id\"\r\nA;ext=1\r\n:\"abc\"}   \r\n0\r\n\r\n")
                                 << false << 200 << QByteArray("{\"id\":\"abc\"}   ");
        QTest::newRow("until the connection closes") << QByteArray("HTTP/1.0 201 Created\r\n\r\n{\"id\":\"x\"}") << true
                                                     << 201 << QByteArray("{\"id\":\"x\"}");
    }

    void answersInEveryFraming()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, close);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        ScriptedServer server(answer, close);
        const qint64 start = 1000;
        const qint64 length = 2 * 1024 * 1024 + 5;
        server.answerAfterBodyBytes = static_cast<int>(length);

        StreamingPut put(nullptr);
        std::optional<StreamingPut::Response> response;
        qint64 lastProgress = 0;
        put.finished = [&response](const StreamingPut::Response& r) { response = r; };
        put.progressed = [&lastProgress](qint64 sent) {
            QVERIFY(sent >= lastProgress);
            lastProgress = sent;
        };
        put.Start(server.Url("/upload?upload_id=a%2Fb"), {{"Content-Range", "bytes 1000-2098156/3145745"}},
                  file.fileName(), start, length, 10000);
        QTRY_VERIFY(response.has_value());
        QCOMPARE(response->status, status);
        QCOMPARE(response->body, body);
        QCOMPARE(lastProgress, length);
        if (status == 308)
            QCOMPARE(response->Header("range"), QByteArray("bytes=0-99"));

        const int head = server.request.indexOf("\r\n\r\n");
        const QByteArray requestHead = server.request.left(head);
        QVERIFY(requestHead.startsWith("PUT /upload?upload_id=a%2Fb HTTP/1.1\r\n"));
        QVERIFY(requestHead.contains("\r\nContent-Length: 2097157\r\n"));
        QVERIFY(requestHead.contains("\r\nContent-Range: bytes 1000-2098156/3145745"));
        QCOMPARE(server.request.mid(head + 4), content.mid(start, length));
    }

    void earlyRefusalAndBrokenConnectionsEnd_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("close");
        QTest::addColumn<int>("status");
        QTest::newRow("401 before the body was read")
            << QByteArray("HTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n\r\n") << false << 401;
        QTest::newRow("closed without an answer") << QByteArray() << true << 0;
        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << true << 0;
    }

    void earlyRefusalAndBrokenConnectionsEnd()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, close);
        QFETCH(int, status);
        ScriptedServer server(answer, close);
        StreamingPut put(nullptr);
        std::optional<StreamingPut::Response> response;
        put.finished = [&response](const StreamingPut::Response& r) { response = r; };
        put.Start(server.Url("/"), {}, file.fileName(), 0, content.size(), 10000);
        QTRY_VERIFY(response.has_value());
        QCOMPARE(response->status, status);
        QCOMPARE(response->error.isEmpty(), status != 0);
        QVERIFY(!response->fileFailed);
    }

    void unreadableFileIsToldApart()
    {
        StreamingPut put(nullptr);
        std::optional<StreamingPut::Response> response;
        put.finished = [&response](const StreamingPut::Response& r) { response = r; };
        put.Start(QUrl("http://127.0.0.1:9/"), {}, file.fileName() + ".gone", 0, 10, 10000);
        QVERIFY(!response.has_value());
        QTRY_VERIFY(response.has_value());
        QVERIFY(response->fileFailed);
        QCOMPARE(response->status, 0);
    }
};

TAVRIX_TEST_MAIN(TestStreamingPut)
#include "tst_StreamingPut.moc"
