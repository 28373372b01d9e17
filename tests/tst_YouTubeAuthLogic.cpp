#include "YouTubeAuthLogic.h"

#include "UI/YouTubeSharingErrorHandler.h"

#include "FakeYoutubeProtocol.h"
#include "HostFakes.h"
#include "LogCapture.h"
#include "ProtocolErrorWidgets.h"
#include "SocialUtils.h"
#include "TestMain.h"
#include "UserSettings.h"

using namespace Tavrix;
using Tavrix::RQ::Service::Sharing::AbstractAuthLogic;
using Tavrix::RQ::Service::Sharing::YouTube::YouTubeAuthLogic;
using Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingErrorHandler;
using Tavrix::Social::RequestResult;
using TestSupport::FakeYoutubeProtocol;
using TestSupport::LogCapture;

namespace {
const QString kLogIn = QStringLiteral("Tavrix::RQ::Service::Sharing::YouTube::YouTubeAuthLogic::LogIn: ");
const QString kLogOut = QStringLiteral("Tavrix::RQ::Service::Sharing::YouTube::YouTubeAuthLogic::LogOut: ");
const QString kUpdate = QStringLiteral("Tavrix::RQ::Service::Sharing::YouTube::YouTubeAuthLogic::UpdateUserInfo: ");
const QString kAuthCallback = QStringLiteral("YouTubeSharingLogic::LogIn/FinishCallBack: ");
const QString kInfoCallback = QStringLiteral("YouTubeSharingLogic::UpdateUserInfo/FinishCallBack: ");
const QString kRestricted =
    QStringLiteral("Access to this YouTube account is restricted. Please, choose another account.");
const QUrl kProfile(QStringLiteral("https://www.youtube.com/channel/UC_x5XG1OV2P6uZZ5FSM9Ttw"));

QString ResultText(RequestResult result)
{
    return QString::fromStdString(RQ::Service::Sharing::RequestResultToString(result));
}

QPixmap Picture(int width, int height)
{
    QPixmap picture(width, height);
    picture.fill(Qt::blue);
    return picture;
}
} // namespace

class TestYouTubeAuthLogic : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<FakeYoutubeProtocol> protocol;
    std::unique_ptr<YouTubeSharingErrorHandler> errors;
    std::unique_ptr<TestSupport::ErrorHandlerWidgets> widgets;
    std::unique_ptr<YouTubeAuthLogic> logic;
    // Every announcement in order: "state:1", "name:Ann", "profile:<url>", "picture:16x8" or "picture:null".
    QStringList announced;

    // Signed in with the three requests of UpdateUserInfo waiting.
    void SignInAndRequest()
    {
        protocol->loggedIn = true;
        logic->UpdateUserInfo();
    }

    // Signed in, every request answered successfully, nothing waiting.
    void SignInCompletely()
    {
        SignInAndRequest();
        QVERIFY(protocol->AnswerUserProfile(protocol->LastTicket("RequestUserProfile"), Social::Success, kProfile));
        QVERIFY(protocol->AnswerUserPicture(protocol->LastTicket("RequestUserPicture"), Social::Success, Picture(16, 8)));
        QVERIFY(protocol->AnswerUserName(protocol->LastTicket("RequestUserName"), Social::Success, QStringLiteral("Ann")));
        QCOMPARE(logic->GetUserState(), AbstractAuthLogic::LoggedIn);
    }

    // The sign-in errors the dialog shows.
    QString Flags() const
    {
        if (errors->IsProfileInvalid())
            return QStringLiteral("profile invalid");
        return errors->IsUserNotLoggedInAndNoError() ? QStringLiteral("not signed in") : QString();
    }

private slots:
    void init()
    {
        // The previous test's logic goes before the error handler it reports to.
        logic.reset();
        protocol = std::make_shared<FakeYoutubeProtocol>();
        errors = std::make_unique<YouTubeSharingErrorHandler>();
        widgets = std::make_unique<TestSupport::ErrorHandlerWidgets>(*errors);
        logic = std::make_unique<YouTubeAuthLogic>(TestSupport::MakeSocialSettings(protocol), *errors);
        // Every announcement of the logic is recorded.
        announced.clear();
        connect(logic.get(), &AbstractAuthLogic::UserStateUpdated, this,
                [this](AbstractAuthLogic::UserState state) { announced << QStringLiteral("state:%1").arg(int(state)); });
        connect(logic.get(), &AbstractAuthLogic::UserNameUpdated, this,
                [this](const QString& name) { announced << "name:" + name; });
        connect(logic.get(), &AbstractAuthLogic::UserProfileUpdated, this,
                [this](const QUrl& profile) { announced << "profile:" + profile.toString(); });
        connect(logic.get(), &AbstractAuthLogic::UserPictureUpdated, this, [this](const QPixmap& picture) {
            announced << (picture.isNull() ? QStringLiteral("picture:null")
                                           : QStringLiteral("picture:%1x%2").arg(picture.width()).arg(picture.height()));
        });
    }

    void constructionIsQuietAndNeedsAProtocol()
    {
        QVERIFY(protocol->calls.empty());
        QCOMPARE(logic->GetUserState(), AbstractAuthLogic::LoggedOut);
        auto settings = std::make_shared<RQ::SocialSettings>(std::make_shared<TestSupport::MemoryProductSettings>());
        QVERIFY_EXCEPTION_THROWN(YouTubeAuthLogic(settings, *errors), std::logic_error);
    }

    void nothingToDoOnlyLogs_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<QString>("line");
        QTest::newRow("LogIn while signed in") << true << "I: " + kLogIn + "User is already logged in, no action";
        QTest::newRow("LogOut while signed out") << false << "I: " + kLogOut + "User is not logged in, no action";
    }

    void nothingToDoOnlyLogs()
    {
        QFETCH(bool, loggedIn);
        protocol->loggedIn = loggedIn;
        LogCapture log(30);
        if (loggedIn)
            logic->LogIn();
        else
            logic->LogOut();
        QTEST(log.Tagged().join('\n'), "line");
        QVERIFY(protocol->calls.empty());
        QVERIFY(announced.isEmpty());
    }

    void successfulSignInFetchesAndAnnounces_data()
    {
        QTest::addColumn<int>("verbosity");
        QTest::newRow("verbose") << 30;
        QTest::newRow("quiet") << 0;
    }

    void successfulSignInFetchesAndAnnounces()
    {
        QFETCH(int, verbosity);
        LogCapture log(verbosity);
        logic->LogIn();
        QCOMPARE(protocol->CallNames(), QStringList{"LogIn"});
        QCOMPARE(protocol->calls[0].args[0].toMap(), QVariantMap());

        protocol->loggedIn = true;
        QVERIFY(protocol->FinishLogIn(protocol->LastTicket("LogIn"), Social::Success));
        QCOMPARE(protocol->CallNames(),
                 (QStringList{"LogIn", "RequestUserProfile", "RequestUserPicture", "RequestUserName"}));
        QVERIFY(announced.isEmpty());
        QCOMPARE(logic->GetUserState(), AbstractAuthLogic::LoggedIn);

        // Answers come in whatever order the protocol likes.
        QVERIFY(protocol->AnswerUserName(protocol->LastTicket("RequestUserName"), Social::Success, QStringLiteral("Zoë Ångström")));
        QVERIFY(protocol->AnswerUserPicture(protocol->LastTicket("RequestUserPicture"), Social::Success, Picture(48, 36)));
        QVERIFY(protocol->AnswerUserProfile(protocol->LastTicket("RequestUserProfile"), Social::Success, kProfile));

        QCOMPARE(announced, (QStringList{"name:Zoë Ångström", "picture:48x36", "profile:" + kProfile.toString(), "state:0"}));
        QCOMPARE(logic->GetUserName(), QStringLiteral("Zoë Ångström"));
        QCOMPARE(logic->GetUserPicture().size(), QSize(48, 36));
        QCOMPARE(logic->GetUserProfile(), kProfile);
        QCOMPARE(Flags(), QString());

        QStringList expected{"I: " + kLogIn + "User is not logged in, try to log in", "I: " + kAuthCallback + "auth completed"};
        if (verbosity >= 30)
            expected << "I: " + kUpdate + "User is logged in"
                     << "I: " + kInfoCallback + "userName completed with name=Zoë Ångström"
                     << "I: " + kInfoCallback + "userPic completed with size=48x36"
                     << "I: " + kInfoCallback + "userProfile completed with profile=" + kProfile.toString();
        QCOMPARE(log.Tagged(), expected);
    }

    // Signed in as Ann, the user's information is asked for again (or, for
    // the sign-in rows, the protocol lost the grant and LogIn runs); one
    // request answers without success. Only the profile decides the state; a
    // cancelled request leaves everything as it was.
    void anAnswerWithoutSuccess_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("announced");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("flags");
        const auto failed = [](const char* what, RequestResult result) {
            return QStringList{"E: " + kInfoCallback + what + " failed with result=" + ResultText(result)};
        };
        const auto cancelled = [](const QString& what) { return QStringList{"I: " + what + " cancelled"}; };
        QTest::newRow("profile empty") << "RequestUserProfile" << int(Social::Success)
                                       << QStringList{"I: " + kInfoCallback + "userProfile completed with profile="}
                                       << QStringList{"profile:", "state:1"} << int(AbstractAuthLogic::ProfileInvalid)
                                       << "profile invalid";
        QTest::newRow("profile failed") << "RequestUserProfile" << int(Social::Forbidden)
                                        << failed("userProfile", Social::Forbidden) << QStringList{"profile:", "state:1"}
                                        << int(AbstractAuthLogic::ProfileInvalid) << "profile invalid";
        QTest::newRow("name failed") << "RequestUserName" << int(Social::NetworkError)
                                     << failed("userName", Social::NetworkError) << QStringList{"name:"}
                                     << int(AbstractAuthLogic::LoggedIn) << "";
        QTest::newRow("picture failed") << "RequestUserPicture" << int(Social::NetworkError)
                                        << failed("userPic", Social::NetworkError) << QStringList{"picture:null"}
                                        << int(AbstractAuthLogic::LoggedIn) << "";
        QTest::newRow("sign-in refused")
            << "LogIn" << int(Social::AuthorizationDenied)
            << QStringList{"E: " + kAuthCallback + "auth failed with result=" + ResultText(Social::AuthorizationDenied),
                           "I: " + kUpdate + "User is not logged in"}
            << QStringList{"state:2", "name:", "profile:", "picture:null"} << int(AbstractAuthLogic::LoggedOut)
            << "not signed in";
        // The flags stay as the signed-in user left them.
        QTest::newRow("sign-in cancelled") << "LogIn" << int(Social::Cancelled) << cancelled(kAuthCallback + "auth")
                                           << QStringList() << int(AbstractAuthLogic::LoggedOut) << "";
        for (const char* what : {"Profile", "Picture", "Name"})
            QTest::newRow(qPrintable(QStringLiteral("%1 cancelled").arg(what)))
                << "RequestUser" + QString(what) << int(Social::Cancelled)
                << cancelled(kInfoCallback + (qstrcmp(what, "Picture") == 0 ? "userPic" : "user" + QString(what)))
                << QStringList() << int(AbstractAuthLogic::LoggedIn) << "";
    }

    void anAnswerWithoutSuccess()
    {
        QFETCH(QString, request);
        QFETCH(int, result);
        QFETCH(int, state);
        SignInCompletely();
        protocol->loggedIn = request != "LogIn";
        if (request == "LogIn")
            logic->LogIn();
        else
            logic->UpdateUserInfo();
        announced.clear();
        const std::size_t callsBefore = protocol->calls.size();

        LogCapture log(30);
        const qint64 ticket = protocol->LastTicket(request);
        const auto answer = RequestResult(result);
        if (request == "LogIn")
            QVERIFY(protocol->FinishLogIn(ticket, answer));
        else if (request == "RequestUserProfile")
            QVERIFY(protocol->AnswerUserProfile(ticket, answer, QUrl()));
        else if (request == "RequestUserName")
            QVERIFY(protocol->AnswerUserName(ticket, answer, QStringLiteral("ignored")));
        else
            QVERIFY(protocol->AnswerUserPicture(ticket, answer, Picture(4, 4)));

        QTEST(log.Tagged(), "lines");
        QTEST(announced, "announced");
        QCOMPARE(int(logic->GetUserState()), state);
        QTEST(Flags(), "flags");
        // Nothing is asked again.
        QCOMPARE(protocol->calls.size(), callsBefore);
        if (state != AbstractAuthLogic::ProfileInvalid)
            return;
        QCOMPARE(widgets->errorLabel->text(), kRestricted);
        QVERIFY(widgets->startButton->isEnabled());

        // Asking again: until the profile answers, the user counts as signed in.
        logic->UpdateUserInfo();
        QCOMPARE(logic->GetUserState(), AbstractAuthLogic::LoggedIn);
        announced.clear();
        QVERIFY(protocol->AnswerUserProfile(protocol->LastTicket("RequestUserProfile"), Social::Success, kProfile));
        QCOMPARE(announced, (QStringList{"profile:" + kProfile.toString(), "state:0"}));
        QCOMPARE(Flags(), QString());
        QCOMPARE(widgets->errorLabel->text(), QString());
    }

    void updateWhileSignedOutClearsAndSetsBothFlags()
    {
        // A stale flag from elsewhere is put right by the refresh, though the state did not change.
        errors->SetError(YouTubeSharingErrorHandler::ProfileInvalid, true);
        LogCapture log(30);
        logic->UpdateUserInfo();
        QCOMPARE(announced, (QStringList{"name:", "profile:", "picture:null"}));
        QVERIFY(protocol->calls.empty());
        QCOMPARE(Flags(), QStringLiteral("not signed in"));
        QCOMPARE(log.Tagged(), QStringList{"I: " + kUpdate + "User is not logged in"});
    }

    // Signing out cancels the open requests in ticket order (here the
    // cancels are answered at once), signs out and clears what was known.
    void logOutCancelsSignsOutAndClears()
    {
        SignInCompletely();
        SignInAndRequest();
        const QVariantList tickets{protocol->LastTicket("RequestUserProfile"),
                                   protocol->LastTicket("RequestUserPicture"), protocol->LastTicket("RequestUserName")};
        protocol->calls.clear();
        announced.clear();
        protocol->answerCancelAtOnce = true;

        LogCapture log(30);
        logic->LogOut();

        QCOMPARE(protocol->CallNames(), (QStringList{"Cancel", "Cancel", "Cancel", "LogOut"}));
        QCOMPARE((QVariantList{protocol->calls[0].args[0], protocol->calls[1].args[0], protocol->calls[2].args[0]}),
                 tickets);
        QCOMPARE(announced, (QStringList{"state:2", "name:", "profile:", "picture:null"}));
        QCOMPARE(logic->GetUserState(), AbstractAuthLogic::LoggedOut);
        QCOMPARE(Flags(), QStringLiteral("not signed in"));
        QCOMPARE(log.Tagged(), (QStringList{"I: " + kLogOut + "User is logged in, try to log out",
                                            "I: " + kInfoCallback + "userProfile cancelled",
                                            "I: " + kInfoCallback + "userPic cancelled",
                                            "I: " + kInfoCallback + "userName cancelled",
                                            "I: " + kUpdate + "User is not logged in"}));
        // Nothing is left to cancel for requests that have answered.
        protocol->calls.clear();
        logic->Cancel();
        QVERIFY(protocol->calls.empty());
    }

    // Going away cancels the open requests; an answer that comes all the
    // same reaches nobody.
    void destructionCancelsAndLateAnswersReachNobody()
    {
        SignInAndRequest();
        const qint64 profile = protocol->LastTicket("RequestUserProfile");
        protocol->calls.clear();
        logic.reset();
        QCOMPARE(protocol->CallNames(), (QStringList{"Cancel", "Cancel", "Cancel"}));

        LogCapture log(30);
        QVERIFY(protocol->AnswerUserProfile(profile, Social::Success, QUrl()));
        QVERIFY(log.Tagged().isEmpty());
        QVERIFY(announced.isEmpty());
        QVERIFY(!errors->IsProfileInvalid());
    }
};

TAVRIX_TEST_MAIN(TestYouTubeAuthLogic)
#include "tst_YouTubeAuthLogic.moc"
