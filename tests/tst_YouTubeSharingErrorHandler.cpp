#include "UI/YouTubeSharingErrorHandler.h"

#include "LogCapture.h"
#include "TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QTranslator>

#include <memory>

using Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingErrorHandler;
using TestSupport::LogCapture;
using ErrorList = QList<int>;

namespace {
const QString kRestricted =
    QStringLiteral("Access to this YouTube account is restricted. Please, choose another account.");
const QString kTooShort = QStringLiteral("Too short title name.");
const QString kIncorrect = QStringLiteral("Incorrect symbols in filename");

const QString kImpl = QStringLiteral("Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingErrorHandler::Impl::");
const QStringList kMissingWidgetLines{
    "E: " + kImpl + "SetEnabledStartButton: startButton is NULL",
    "E: " + kImpl + "SetUserNameLabelSubStyle: signInLabel is NULL",
    "E: " + kImpl + "SetErrorLabelText: errorLabel is NULL",
};

// Translates the dialog's context only, so a message read under any other
// context stays untranslated and shows up.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "YouTubeSharingWidget") != 0)
            return QString();
        return QStringLiteral("[fr] ") + QString::fromUtf8(sourceText);
    }
    bool isEmpty() const override { return false; }
};
} // namespace

class TestYouTubeSharingErrorHandler : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<YouTubeSharingErrorHandler> handler;
    std::unique_ptr<QPushButton> startButton;
    std::unique_ptr<QLabel> errorLabel;
    std::unique_ptr<QLabel> userLabel;

    void GiveWidgets()
    {
        handler->SetStartButton(startButton.get());
        handler->SetErrorLabel(errorLabel.get());
        handler->SetUserLabel(userLabel.get());
    }

    QString SubStyle() const { return userLabel->property("SubStyle").toString(); }

private slots:
    void init()
    {
        handler = std::make_unique<YouTubeSharingErrorHandler>();
        startButton = std::make_unique<QPushButton>();
        errorLabel = std::make_unique<QLabel>();
        userLabel = std::make_unique<QLabel>();
        GiveWidgets();
    }

    void cleanup()
    {
        handler.reset();
        startButton.reset();
        errorLabel.reset();
        userLabel.reset();
    }

    void setOfErrorsDecidesTheView_data()
    {
        QTest::addColumn<ErrorList>("errors");
        QTest::addColumn<bool>("startEnabled");
        QTest::addColumn<QString>("subStyle");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("profileInvalid");
        QTest::addColumn<bool>("notLoggedInOnly");

        using H = YouTubeSharingErrorHandler;
        QTest::newRow("none") << ErrorList{} << true << "LoggedOut" << "" << false << false;
        QTest::newRow("not signed in") << ErrorList{H::UserNotLoggedIn} << true << "LoggedIn" << "" << false << true;
        QTest::newRow("not signed in, short title")
            << ErrorList{H::UserNotLoggedIn, H::TitleTooShort} << false << "LoggedIn" << kTooShort << false << false;
        QTest::newRow("not signed in, bad file name")
            << ErrorList{H::IncorrectFileName, H::UserNotLoggedIn} << false << "LoggedIn" << kIncorrect << false << false;
        QTest::newRow("profile invalid") << ErrorList{H::ProfileInvalid} << true << "LoggedOut" << kRestricted << true << false;
        QTest::newRow("profile invalid, bad file name")
            << ErrorList{H::IncorrectFileName, H::ProfileInvalid} << true << "LoggedOut" << kRestricted << false << false;
        QTest::newRow("profile invalid, every title error")
            << ErrorList{H::TitleTooShort, H::IncorrectFileName, H::ProfileInvalid} << true << "LoggedOut" << kRestricted
            << false << false;
        QTest::newRow("short title, bad file name")
            << ErrorList{H::IncorrectFileName, H::TitleTooShort} << false << "LoggedOut" << kTooShort << false << false;
        QTest::newRow("bad file name") << ErrorList{H::IncorrectFileName} << false << "LoggedOut" << kIncorrect << false << false;
        QTest::newRow("added twice") << ErrorList{H::UserNotLoggedIn, H::UserNotLoggedIn} << true << "LoggedIn" << ""
                                     << false << true;
    }

    void setOfErrorsDecidesTheView()
    {
        QFETCH(ErrorList, errors);
        QFETCH(QString, message);
        // The owner applies the initial state once after wiring.
        handler->Retranslate();
        for (int error : errors)
            handler->SetError(YouTubeSharingErrorHandler::ErrorType(error), true);

        QTEST(startButton->isEnabled(), "startEnabled");
        QTEST(SubStyle(), "subStyle");
        QCOMPARE(errorLabel->text(), message);
        QTEST(handler->IsProfileInvalid(), "profileInvalid");
        QTEST(handler->IsUserNotLoggedInAndNoError(), "notLoggedInOnly");
    }

    void removingErrorsRestoresTheView()
    {
        using H = YouTubeSharingErrorHandler;
        handler->SetError(H::UserNotLoggedIn, true);
        handler->SetError(H::UserNotLoggedIn, true);
        handler->SetError(H::TitleTooShort, true);
        QVERIFY(!startButton->isEnabled());

        // One reset removes a type that was added twice.
        handler->ResetError(H::UserNotLoggedIn);
        QCOMPARE(SubStyle(), QStringLiteral("LoggedOut"));
        QCOMPARE(errorLabel->text(), kTooShort);
        QVERIFY(!startButton->isEnabled());

        handler->SetError(H::TitleTooShort, false);
        QVERIFY(startButton->isEnabled());
        QCOMPARE(errorLabel->text(), QString());
    }

    void unchangedSetIsStillApplied_data()
    {
        QTest::addColumn<QString>("call");
        QTest::newRow("SetError false of an absent type") << "SetError";
        QTest::newRow("ResetError of an absent type") << "ResetError";
        QTest::newRow("Retranslate") << "Retranslate";
    }

    void unchangedSetIsStillApplied()
    {
        QFETCH(QString, call);
        using H = YouTubeSharingErrorHandler;
        handler->SetError(H::TitleTooShort, true);
        // Someone else touched the widgets; the next update puts them right.
        startButton->setEnabled(true);
        errorLabel->setText(QStringLiteral("stale"));
        userLabel->setProperty("SubStyle", QStringLiteral("LoggedIn"));

        if (call == "SetError")
            handler->SetError(H::ProfileInvalid, false);
        else if (call == "ResetError")
            handler->ResetError(H::IncorrectFileName);
        else
            handler->Retranslate();

        QVERIFY(!startButton->isEnabled());
        QCOMPARE(errorLabel->text(), kTooShort);
        QCOMPARE(SubStyle(), QStringLiteral("LoggedOut"));
    }

    void missingWidgetsAreLoggedAndTheSetKept_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("never given") << false;
        QTest::newRow("destroyed") << true;
    }

    void missingWidgetsAreLoggedAndTheSetKept()
    {
        QFETCH(bool, destroy);
        using H = YouTubeSharingErrorHandler;
        if (destroy)
        {
            startButton.reset();
            errorLabel.reset();
            userLabel.reset();
        }
        else
        {
            handler = std::make_unique<YouTubeSharingErrorHandler>();
        }

        LogCapture log;
        handler->SetError(H::UserNotLoggedIn, true);
        handler->SetError(H::TitleTooShort, true);
        QCOMPARE(log.Tagged(), kMissingWidgetLines + kMissingWidgetLines);
        QVERIFY(!handler->IsUserNotLoggedInAndNoError());

        startButton = std::make_unique<QPushButton>();
        errorLabel = std::make_unique<QLabel>();
        userLabel = std::make_unique<QLabel>();
        GiveWidgets();
        QVERIFY(startButton->isEnabled()); // giving widgets applies nothing by itself
        handler->Retranslate();
        QVERIFY(!startButton->isEnabled());
        QCOMPARE(SubStyle(), QStringLiteral("LoggedIn"));
        QCOMPARE(errorLabel->text(), kTooShort);
        QCOMPARE(log.Tagged().size(), 6);
    }

    void oneMissingWidgetStopsOnlyItsOwnStep()
    {
        errorLabel.reset();
        LogCapture log;
        handler->SetError(YouTubeSharingErrorHandler::TitleTooShort, true);
        QCOMPARE(log.Tagged(), QStringList{kMissingWidgetLines[2]});
        QVERIFY(!startButton->isEnabled());
        QCOMPARE(SubStyle(), QStringLiteral("LoggedOut"));
    }

    void retranslateReadsTheMessageInTheNewLanguage_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("profile") << int(YouTubeSharingErrorHandler::ProfileInvalid) << kRestricted;
        QTest::newRow("title") << int(YouTubeSharingErrorHandler::TitleTooShort) << kTooShort;
        QTest::newRow("file name") << int(YouTubeSharingErrorHandler::IncorrectFileName) << kIncorrect;
    }

    void retranslateReadsTheMessageInTheNewLanguage()
    {
        QFETCH(int, error);
        QFETCH(QString, message);
        handler->SetError(YouTubeSharingErrorHandler::ErrorType(error), true);
        QCOMPARE(errorLabel->text(), message);

        MarkingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        handler->Retranslate();
        QCOMPARE(errorLabel->text(), "[fr] " + message);

        QCoreApplication::removeTranslator(&translator);
        handler->Retranslate();
        QCOMPARE(errorLabel->text(), message);
    }
};

TAVRIX_TEST_MAIN(TestYouTubeSharingErrorHandler)
#include "tst_YouTubeSharingErrorHandler.moc"
