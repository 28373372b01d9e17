#include "YouTubeSharingLogic.h"

#include "UploadTimes.h"

#include "CoreUtils.h"
#include "FakeYoutubeProtocol.h"
#include "HostFakes.h"
#include "LogCapture.h"
#include "SocialUtils.h"
#include "TestMain.h"

#include <QSignalSpy>

using namespace Tavrix;
using namespace Tavrix::RQ::Service::Sharing::YouTube;
using Tavrix::Social::RequestResult;
using TestSupport::FakeYoutubeProtocol;
using TestSupport::LogCapture;

namespace {
const QString kStart = QStringLiteral("Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingLogic::StartUpload: ");
const QString kCancel = QStringLiteral("Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingLogic::CancelUpload: ");
const QString kFinish = QStringLiteral("YouTubeSharingLogic/StartUpload/FinishCallBack: ");

QString Failed(RequestResult result)
{
    return "E: " + kFinish + "Uploading failed with result="
        + QString::fromStdString(RQ::Service::Sharing::RequestResultToString(result)) + ", uploadingTicket=";
}

YouTubeSharingLogic::YouTubeInfoData SomeInfo()
{
    return {QStringLiteral("My \"video\""), QStringLiteral("line 1\nline 2"), QStringLiteral("a, b c"),
            QStringLiteral("22"), QStringLiteral("unlisted")};
}

// Refuses every upload on the spot, before Upload has returned its ticket.
class RefusingProtocol : public FakeYoutubeProtocol
{
public:
    Ticket Upload(const QString& file, const QMap<QString, QString>& fields,
                  VideoSharing<Social::DefaultSharingResult>::FinishCallback finished, ProgressCallback progress) override
    {
        const Ticket ticket = FakeYoutubeProtocol::Upload(file, fields, std::move(finished), std::move(progress));
        FinishUpload(ticket, Social::Failed);
        return ticket;
    }
};
} // namespace

class TestYouTubeSharingLogic : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<FakeYoutubeProtocol> protocol;
    std::unique_ptr<YouTubeSharingLogic> logic;

private slots:
    void init()
    {
        protocol = std::make_shared<FakeYoutubeProtocol>();
        protocol->loggedIn = true;
        logic = std::make_unique<YouTubeSharingLogic>(TestSupport::MakeSocialSettings(protocol), nullptr);
    }

    void constructionRefusesAMissingProtocol()
    {
        auto settings = std::make_shared<RQ::SocialSettings>(std::make_shared<TestSupport::MemoryProductSettings>());
        QVERIFY_EXCEPTION_THROWN(YouTubeSharingLogic(settings, nullptr), std::logic_error);
    }

    void startUploadHandsTheFileAndAllFiveFields_data()
    {
        QTest::addColumn<YouTubeSharingLogic::YouTubeInfoData>("info");
        QTest::newRow("typed") << SomeInfo();
        QTest::newRow("all empty") << YouTubeSharingLogic::YouTubeInfoData{};
    }

    void startUploadHandsTheFileAndAllFiveFields()
    {
        QFETCH(YouTubeSharingLogic::YouTubeInfoData, info);
        LogCapture log;
        QVERIFY(logic->StartUpload(ioPath("/tmp/vidéo folder/clip.mp4"), info));

        QCOMPARE(protocol->CallNames(), QStringList{"Upload"});
        QCOMPARE(protocol->calls[0].args[0].toString(), QStringLiteral("/tmp/vidéo folder/clip.mp4"));
        const QVariantMap fields = protocol->calls[0].args[1].toMap();
        const QVariantMap expected{{Social::YoutubeProtocol::FIELD_TITLE, info.title},
                                   {Social::YoutubeProtocol::FIELD_DESCRIPTION, info.description},
                                   {Social::YoutubeProtocol::FIELD_TAGS, info.tags},
                                   {Social::YoutubeProtocol::FIELD_CATEGORY_ID, info.categoryId},
                                   {Social::YoutubeProtocol::FIELD_PRIVACY, info.privacy}};
        QCOMPARE(fields, expected);
        QVERIFY(logic->UploadInProgress());
        QCOMPARE(log.Tagged(), QStringList{"I: " + kStart + "Uploading started, uploadingTicket=" + QString::number(protocol->calls[0].ticket)});
    }

    // A refused start leaves the logic as it was: the running upload still
    // finishes under its own ticket, which frees the logic.
    void refusedStartLeavesTheLogicAlone_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("line");
        QTest::newRow("second start") << true << "E: " + kStart + "Uploading already in progress";
        QTest::newRow("signed out") << false << "E: " + kStart + "User is not logged in";
    }

    void refusedStartLeavesTheLogicAlone()
    {
        QFETCH(bool, running);
        protocol->loggedIn = running;
        if (running)
            QVERIFY(logic->StartUpload(ioPath("/tmp/a.mp4"), SomeInfo()));
        const qint64 first = protocol->LastTicket(QStringLiteral("Upload"));

        LogCapture log;
        QVERIFY(!logic->StartUpload(ioPath("/tmp/b.mp4"), SomeInfo()));
        QTEST(log.Tagged().join('\n'), "line");
        QCOMPARE(protocol->CallsNamed(QStringLiteral("Upload")).size(), std::size_t(running ? 1 : 0));
        QCOMPARE(logic->UploadInProgress(), running);

        QSignalSpy finished(logic.get(), &YouTubeSharingLogic::UploadFinished);
        protocol->loggedIn = true;
        QCOMPARE(protocol->FinishUpload(first, Social::Success, QUrl("https://www.youtube.com/watch?v=abc")), running);
        QCOMPARE(finished.count(), running ? 1 : 0);
        QVERIFY(!logic->UploadInProgress());
        QVERIFY(logic->StartUpload(ioPath("/tmp/b.mp4"), SomeInfo()));
    }

    void progressTimes_data()
    {
        QTest::addColumn<int>("progress");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<QTime>("elapsed");
        QTest::addColumn<QTime>("remained");
        QTest::newRow("quarter") << 25 << qint64(10000) << QTime(0, 0, 10) << QTime(0, 0, 30);
        QTest::newRow("nothing yet") << 0 << qint64(5000) << QTime(0, 0, 5) << QTime(0, 0, 0);
        QTest::newRow("done") << 100 << qint64(61234) << QTime(0, 1, 1, 234) << QTime(0, 0, 0);
        QTest::newRow("truncates") << 3 << qint64(1000) << QTime(0, 0, 1) << QTime(0, 0, 32, 333);
        // 1 % after 7 hours: 99 * 25 200 000 ms does not fit 32 bits; 693 hours wrap to 21:00.
        QTest::newRow("slow upload") << 1 << qint64(7) * 3600 * 1000 << QTime(7, 0) << QTime(21, 0);
    }

    void progressTimes()
    {
        QFETCH(int, progress);
        QFETCH(qint64, elapsedMs);
        const UploadTimes times = ComputeUploadTimes(progress, elapsedMs);
        QTEST(times.elapsed, "elapsed");
        QTEST(times.remained, "remained");
    }

    void finishReportsOutcome_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QUrl>("url");
        // The log's lines, the upload's ticket for %1.
        QTest::addColumn<QString>("lines");
        QTest::newRow("success") << int(Social::Success) << QUrl("https://www.youtube.com/watch?v=xyz")
                                 << "I: " + kFinish + "Uploading finished, uploadingTicket=%1";
        QTest::newRow("failure") << int(Social::QuotaExceeded) << QUrl() << Failed(Social::QuotaExceeded) + "%1";
        // Cancelled by the user: the protocol answers through the finish callback.
        QTest::newRow("cancelled") << int(Social::Cancelled) << QUrl()
                                   << "I: " + kCancel + "Uploading cancelled, uploadingTicket=%1\n" + Failed(Social::Cancelled) + "%1";
    }

    void finishReportsOutcome()
    {
        QFETCH(int, result);
        QFETCH(QUrl, url);
        QFETCH(QString, lines);
        QVERIFY(logic->StartUpload(ioPath("/tmp/a.mp4"), SomeInfo()));
        const qint64 ticket = protocol->LastTicket(QStringLiteral("Upload"));

        QSignalSpy finished(logic.get(), &YouTubeSharingLogic::UploadFinished);
        LogCapture log;
        protocol->answerCancelAtOnce = true;
        if (result == Social::Cancelled)
            logic->CancelUpload();
        else
            QVERIFY(protocol->FinishUpload(ticket, RequestResult(result), url));
        QCOMPARE(log.Tagged().join('\n'), lines.arg(ticket));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished[0][0].value<RequestResult>(), RequestResult(result));
        QCOMPARE(finished[0][1].toUrl(), url);
        QVERIFY(!logic->UploadInProgress());
        // The guard is free again, and going away cancels only the upload that
        // still runs; the answer to that cancel reaches nobody.
        QVERIFY(logic->StartUpload(ioPath("/tmp/b.mp4"), SomeInfo()));
        const qint64 next = protocol->LastTicket(QStringLiteral("Upload"));
        protocol->calls.clear();
        logic.reset();
        QCOMPARE(protocol->CallNames(), QStringList{"Cancel"});
        QCOMPARE(protocol->calls[0].args[0].toLongLong(), next);
        QVERIFY(!protocol->IsPending(next));
        QCOMPARE(finished.count(), 1);
    }

    void uploadFinishedBeforeItsStartReturnedLeavesTheLogicIdle()
    {
        auto refusing = std::make_shared<RefusingProtocol>();
        refusing->loggedIn = true;
        {
            YouTubeSharingLogic refused(TestSupport::MakeSocialSettings(refusing), nullptr);
            QSignalSpy finished(&refused, &YouTubeSharingLogic::UploadFinished);
            LogCapture log;
            QVERIFY(refused.StartUpload(ioPath("/tmp/a.mp4"), SomeInfo()));
            const qint64 ticket = refusing->LastTicket(QStringLiteral("Upload"));
            // The finish line writes the stored ticket, which was not yet known.
            QCOMPARE(log.Tagged(),
                     (QStringList{Failed(Social::Failed) + "-1", "I: " + kStart + "Uploading started, uploadingTicket=" + QString::number(ticket)}));
            QCOMPARE(finished.count(), 1);
            QVERIFY(!refused.UploadInProgress());
            refused.CancelUpload();
        }
        // Nothing stale was left to cancel, neither by CancelUpload nor by the destructor.
        QCOMPARE(refusing->CallNames(), (QStringList{"Upload", "Cancel"}));
        QCOMPARE(refusing->calls[1].args[0].toLongLong(), qint64(-1));
    }

    // Asked of the protocol each time: its list changes once the account's own has come.
    void fieldsComeFromTheProtocolEachTime()
    {
        QCOMPARE(logic->GetCathegoryField().options.size(), 0);
        protocol->fields.insert(Social::YoutubeProtocol::FIELD_CATEGORY_ID,
                                TestSupport::MakeField({{"20", "Gaming"}, {"22", "People & Blogs"}}, "22"));
        protocol->fields.insert(Social::YoutubeProtocol::FIELD_PRIVACY,
                                TestSupport::MakeField({{"public", "Public"}, {"private", "Private"}}, "private"));
        const Social::Field category = logic->GetCathegoryField();
        QCOMPARE(category.options.size(), 2);
        QCOMPARE(category.selectedValue, QStringLiteral("22"));
        QCOMPARE(logic->GetPrivacyField().selectedValue, QStringLiteral("private"));
    }
};

TAVRIX_TEST_MAIN(TestYouTubeSharingLogic)
#include "tst_YouTubeSharingLogic.moc"
