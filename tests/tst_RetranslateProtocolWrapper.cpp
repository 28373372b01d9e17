#include "SocialUtils.h"

#include "DesktopFakes.h"
#include "LogCapture.h"
#include "TestMain.h"
#include "WordTranslator.h"

#include <QWidget>

using Tavrix::RQ::Service::Sharing::RetranslateProtocolWrapper;

namespace {
class RecordingProtocol : public Tavrix::Social::BaseProtocol
{
public:
    void Cancel(Tavrix::Social::Ticket) override {}
    void Retranslate() override { ++retranslations; }

    int retranslations = 0;
};
} // namespace

class TestRetranslateProtocolWrapper : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_protocol = std::make_shared<RecordingProtocol>();
        m_lookAndFeel = std::make_shared<TestSupport::FakeLookAndFeelManager>();
    }

    void retranslatesOncePerLanguageChange()
    {
        // Open windows hear of the change too; only the application's own event counts.
        QWidget window;
        QWidget child(&window);
        window.show();
        TestSupport::LogCapture log;
        auto wrapper = Make();
        m_lookAndFeel->locale = "de_DE";
        TestSupport::WordTranslator german("YouTubeSharing", {{"Uploading to YouTube", "Hochladen zu YouTube"}});
        QVERIFY(QCoreApplication::installTranslator(&german));
        QCoreApplication::processEvents();
        QCOMPARE(m_protocol->retranslations, 1);
        QCOMPARE(log.Texts(google::GLOG_INFO),
                 QStringList{"Tavrix::RQ::Service::Sharing::RetranslateProtocolWrapper::eventFilter: "
                             "Retranslating the Orbit Recorder protocol texts for de_DE"});

        QCoreApplication::removeTranslator(&german);
        QCoreApplication::processEvents();
        QCOMPARE(m_protocol->retranslations, 2);
    }

    void otherEventsAndWidgetsLeaveItAlone()
    {
        auto wrapper = Make();
        QWidget window;
        QEvent languageChange(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&window, &languageChange);
        QEvent localeChange(QEvent::LocaleChange);
        QCoreApplication::sendEvent(qApp, &localeChange);
        QCOMPARE(m_protocol->retranslations, 0);
    }

    void stopsWithItsLifetime()
    {
        Make().reset();
        QEvent languageChange(QEvent::LanguageChange);
        QCoreApplication::sendEvent(qApp, &languageChange);
        QCOMPARE(m_protocol->retranslations, 0);
    }

    void refusesAMissingProtocol()
    {
        QVERIFY_EXCEPTION_THROWN(RetranslateProtocolWrapper(std::make_shared<TestSupport::FakeCustomizationManager>(),
                                                            m_lookAndFeel,
                                                            std::shared_ptr<Tavrix::Social::BaseProtocol>()),
                                 std::logic_error);
    }

private:
    std::unique_ptr<RetranslateProtocolWrapper> Make()
    {
        return std::make_unique<RetranslateProtocolWrapper>(std::make_shared<TestSupport::FakeCustomizationManager>(),
                                                            m_lookAndFeel, m_protocol);
    }

    std::shared_ptr<RecordingProtocol> m_protocol;
    std::shared_ptr<TestSupport::FakeLookAndFeelManager> m_lookAndFeel;
};

TAVRIX_TEST_MAIN(TestRetranslateProtocolWrapper)
#include "tst_RetranslateProtocolWrapper.moc"
