#include "UI/YouTubeSharingErrorHandler.h"

#include "LogCapture.h"
#include "ProtocolErrorWidgets.h"
#include "TestMain.h"

#include <QTranslator>

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
    std::unique_ptr<TestSupport::ErrorHandlerWidgets> widgets;

    QString SubStyle() const { return widgets->userLabel->property("SubStyle").toString(); }

private slots:
    void init()
    {
        handler = std::make_unique<YouTubeSharingErrorHandler>();
        widgets = std::make_unique<TestSupport::ErrorHandlerWidgets>(*handler);
    }

    // The calls, in order: "+X" sets error X, "-X" clears it with SetError,
    // "reset X" with ResetError, "retranslate" only applies the view. Before
    // the last call someone else touched the widgets: every call puts the
    // whole view right, even when the set did not change.
    void callsDecideTheView_data()
    {
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("startEnabled");
        QTest::addColumn<QString>("subStyle");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("profileInvalid");
        QTest::addColumn<bool>("notLoggedInOnly");

        // X: signin (not signed in), profile (invalid), short (title), name (bad file name).
        QTest::newRow("none") << QStringList{"retranslate"} << true << "LoggedOut" << "" << false << false;
        QTest::newRow("not signed in") << QStringList{"+signin"} << true << "LoggedIn" << "" << false << true;
        QTest::newRow("not signed in, short title")
            << QStringList{"+signin", "+short"} << false << "LoggedIn" << kTooShort << false << false;
        QTest::newRow("not signed in, bad file name")
            << QStringList{"+name", "+signin"} << false << "LoggedIn" << kIncorrect << false << false;
        QTest::newRow("profile invalid") << QStringList{"+profile"} << true << "LoggedOut" << kRestricted << true << false;
        QTest::newRow("profile invalid, bad file name")
            << QStringList{"+name", "+profile"} << true << "LoggedOut" << kRestricted << false << false;
        QTest::newRow("profile invalid, every title error")
            << QStringList{"+short", "+name", "+profile"} << true << "LoggedOut" << kRestricted << false << false;
        QTest::newRow("short title, bad file name")
            << QStringList{"+name", "+short"} << false << "LoggedOut" << kTooShort << false << false;
        QTest::newRow("bad file name") << QStringList{"+name"} << false << "LoggedOut" << kIncorrect << false << false;
        QTest::newRow("added twice") << QStringList{"+signin", "+signin"} << true << "LoggedIn" << "" << false << true;
        QTest::newRow("one reset removes a twice added error")
            << QStringList{"+signin", "+signin", "+short", "reset signin"} << false << "LoggedOut" << kTooShort
            << false << false;
        QTest::newRow("cleared") << QStringList{"+short", "-short"} << true << "LoggedOut" << "" << false << false;
        QTest::newRow("an absent error cleared")
            << QStringList{"+short", "-profile"} << false << "LoggedOut" << kTooShort << false << false;
    }

    void callsDecideTheView()
    {
        QFETCH(QStringList, calls);
        QFETCH(bool, startEnabled);
        using H = YouTubeSharingErrorHandler;
        const QMap<QString, H::ErrorType> types{{"signin", H::UserNotLoggedIn}, {"profile", H::ProfileInvalid},
                                                {"short", H::TitleTooShort}, {"name", H::IncorrectFileName}};
        for (int i = 0; i < calls.size(); ++i)
        {
            if (i == calls.size() - 1)
            {
                widgets->startButton->setEnabled(!startEnabled);
                widgets->errorLabel->setText(QStringLiteral("stale"));
                widgets->userLabel->setProperty("SubStyle", QStringLiteral("stale"));
            }
            const QString& call = calls.at(i);
            const H::ErrorType type = types.value(call.mid(call.startsWith(QLatin1String("reset ")) ? 6 : 1));
            if (call == QLatin1String("retranslate"))
                handler->Retranslate();
            else if (call.startsWith(QLatin1String("reset ")))
                handler->ResetError(type);
            else
                handler->SetError(type, call.startsWith(QLatin1Char('+')));
        }

        QCOMPARE(widgets->startButton->isEnabled(), startEnabled);
        QTEST(SubStyle(), "subStyle");
        QTEST(widgets->errorLabel->text(), "message");
        QTEST(handler->IsProfileInvalid(), "profileInvalid");
        QTEST(handler->IsUserNotLoggedInAndNoError(), "notLoggedInOnly");
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
            widgets.reset();
        else
            handler = std::make_unique<YouTubeSharingErrorHandler>();

        LogCapture log;
        handler->SetError(H::UserNotLoggedIn, true);
        handler->SetError(H::TitleTooShort, true);
        QCOMPARE(log.Tagged(), kMissingWidgetLines + kMissingWidgetLines);
        QVERIFY(!handler->IsUserNotLoggedInAndNoError());

        widgets = std::make_unique<TestSupport::ErrorHandlerWidgets>(*handler);
        QVERIFY(widgets->startButton->isEnabled()); // giving widgets applies nothing by itself
        handler->Retranslate();
        QVERIFY(!widgets->startButton->isEnabled());
        QCOMPARE(SubStyle(), QStringLiteral("LoggedIn"));
        QCOMPARE(widgets->errorLabel->text(), kTooShort);
        QCOMPARE(log.Tagged().size(), 6);
    }

    void oneMissingWidgetStopsOnlyItsOwnStep()
    {
        widgets->errorLabel.reset();
        LogCapture log;
        handler->SetError(YouTubeSharingErrorHandler::TitleTooShort, true);
        QCOMPARE(log.Tagged(), QStringList{kMissingWidgetLines[2]});
        QVERIFY(!widgets->startButton->isEnabled());
        QCOMPARE(SubStyle(), QStringLiteral("LoggedOut"));
    }

    // Every message is read under the dialog's context when it is shown.
    void retranslateReadsTheMessageInTheNewLanguage()
    {
        handler->SetError(YouTubeSharingErrorHandler::IncorrectFileName, true);
        MarkingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        handler->Retranslate();
        QCOMPARE(widgets->errorLabel->text(), "[fr] " + kIncorrect);

        QCoreApplication::removeTranslator(&translator);
        handler->Retranslate();
        QCOMPARE(widgets->errorLabel->text(), kIncorrect);
    }
};

TAVRIX_TEST_MAIN(TestYouTubeSharingErrorHandler)
#include "tst_YouTubeSharingErrorHandler.moc"
