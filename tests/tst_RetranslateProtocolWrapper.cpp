// The wrapper that retranslates the protocol's texts when the application's
// language changes: once per change, only while it lives, never without a protocol.

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
    void retranslatesOncePerLanguageChangeWhileAlive()
    {
        auto protocol = std::make_shared<RecordingProtocol>();
        auto lookAndFeel = std::make_shared<TestSupport::FakeLookAndFeelManager>();
        lookAndFeel->locale = "de_DE";
        // Open windows hear of the change too; only the application's own event counts.
        QWidget window;
        QWidget child(&window);
        window.show();
        TestSupport::LogCapture log;
        auto wrapper = std::make_unique<RetranslateProtocolWrapper>(
            std::make_shared<TestSupport::FakeCustomizationManager>(), lookAndFeel, protocol);
        QEvent localeChange(QEvent::LocaleChange);
        QCoreApplication::sendEvent(qApp, &localeChange);
        QCOMPARE(protocol->retranslations, 0);

        TestSupport::WordTranslator german("YouTubeSharing", {{"Uploading to YouTube", "Hochladen zu YouTube"}});
        QVERIFY(QCoreApplication::installTranslator(&german));
        QCoreApplication::processEvents();
        QCOMPARE(protocol->retranslations, 1);
        QCOMPARE(log.Texts(google::GLOG_INFO),
                 QStringList{"Tavrix::RQ::Service::Sharing::RetranslateProtocolWrapper::eventFilter: "
                             "Retranslating the Orbit Recorder protocol texts for de_DE"});
        QCoreApplication::removeTranslator(&german);
        QCoreApplication::processEvents();
        QCOMPARE(protocol->retranslations, 2);

        wrapper.reset();
        QEvent languageChange(QEvent::LanguageChange);
        QCoreApplication::sendEvent(qApp, &languageChange);
        QCOMPARE(protocol->retranslations, 2);
    }

    void refusesAMissingProtocol()
    {
        QVERIFY_EXCEPTION_THROWN(RetranslateProtocolWrapper(std::make_shared<TestSupport::FakeCustomizationManager>(),
                                                            std::make_shared<TestSupport::FakeLookAndFeelManager>(),
                                                            std::shared_ptr<Tavrix::Social::BaseProtocol>()),
                                 std::logic_error);
    }
};

TAVRIX_TEST_MAIN(TestRetranslateProtocolWrapper)
#include "tst_RetranslateProtocolWrapper.moc"
