#include "AppServices.h"

#include "DesktopFakes.h"
#include "LogCapture.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

using Tavrix::App::LinksOpener;
using Tavrix::App::SimpleAudioPlayer;

namespace {
struct Launch
{
    QString program;
    QStringList arguments;
};

quint32 ReadU32(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
} // namespace

// The desktop services a host registers: the links opener and the sound player.
class TestDesktopServices : public QObject
{
    Q_OBJECT

private slots:
    void opensOnlyUsableLinks_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("openerAnswer");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("error"); // logged after "Tavrix::App::LinksOpener::OpenLink: "
        QTest::newRow("video link") << QUrl("https://youtu.be/abc") << true << true << "";
        QTest::newRow("empty") << QUrl() << true << false << "Refused link \"\"";
        QTest::newRow("relative") << QUrl("watch?v=abc") << true << false << "Refused link \"watch?v=abc\"";
        QTest::newRow("no browser") << QUrl("https://youtu.be/abc") << false << false << "Cannot open https://youtu.be/abc";
    }

    void opensOnlyUsableLinks()
    {
        QFETCH(QUrl, url);
        QFETCH(bool, openerAnswer);
        QFETCH(bool, opened);
        QFETCH(QString, error);
        TestSupport::RecordingOpener browser;
        browser.answer = openerAnswer;
        LinksOpener opener(browser.Function());
        TestSupport::LogCapture log;
        QCOMPARE(opener.OpenLink(url), opened);
        QCOMPARE(browser.opened.size(), (url.isEmpty() || url.isRelative()) ? 0 : 1);
        QCOMPARE(log.Texts(google::GLOG_ERROR),
                 error.isEmpty() ? QStringList() : QStringList{"Tavrix::App::LinksOpener::OpenLink: " + error});
    }

    void soundIsAValidWave_data()
    {
        QTest::addColumn<QString>("sound");
        QTest::addColumn<double>("seconds");
        QTest::newRow("success") << "success" << 0.30;
        QTest::newRow("error") << "error" << 0.25;
        QTest::newRow("other") << "ding" << 0.15;
    }

    void soundIsAValidWave()
    {
        QFETCH(QString, sound);
        QFETCH(double, seconds);
        const QByteArray wav = SimpleAudioPlayer::MakeSound(sound.toStdString());
        QVERIFY(wav.startsWith("RIFF"));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(ReadU32(wav, 4), quint32(wav.size() - 8));
        QCOMPARE(ReadU32(wav, 24), quint32(22050));
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        QCOMPARE(ReadU32(wav, 40), quint32(wav.size() - 44));
        QCOMPARE(int(ReadU32(wav, 40)), 2 * int(seconds * 22050));
    }

    void playsThroughTheFirstPlayerFound()
    {
        QList<Launch> launches;
        int refusals = 1;
        const auto launcher = [&](const QString& program, const QStringList& arguments) {
            launches << Launch{program, arguments};
            return refusals-- <= 0;
        };
        SimpleAudioPlayer player(launcher, {QStringLiteral("no-such-player-here"), QStringLiteral("sh"), QStringLiteral("sh")});
        player.Play("../../success");

        // The first found player refused; the next one took it.
        QCOMPARE(launches.size(), 2);
        QCOMPARE(QFileInfo(launches.at(1).program).fileName(), QStringLiteral("sh"));
        QCOMPARE(launches.at(1).arguments.size(), 1);
        const QString file = launches.at(1).arguments.first();
        // The name cannot lead the file out of the sounds folder.
        QCOMPARE(file, QDir(QDir::tempPath()).filePath(QStringLiteral("tavrix-sounds/success.wav")));
        QFile wav(file);
        QVERIFY(wav.open(QIODevice::ReadOnly));
        QCOMPARE(wav.readAll(), SimpleAudioPlayer::MakeSound("success"));

        // Where no player is found, nothing is launched and nothing fails.
        SimpleAudioPlayer none(launcher, {QStringLiteral("no-such-player-here")});
        none.Play("success");
        QCOMPARE(launches.size(), 2);
    }
};

TAVRIX_TEST_MAIN(TestDesktopServices)
#include "tst_DesktopServices.moc"
