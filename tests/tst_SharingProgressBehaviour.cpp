#include "SharingBehaviour.h"

#include "FlowWindows.h"
#include "ParentProvider.h"
#include "TestMain.h"

#include <QProgressBar>

using Tavrix::RQ::ConvertationContext;
using Tavrix::RQ::Service::Sharing::SharingProgressBehaviour;
using Tavrix::RQ::UI::ParentProvider;

class TestSharingProgressBehaviour : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // The previous test's window goes before the host window it was shown over.
        m_progress.reset();
        m_provider = std::make_shared<ParentProvider>();
        m_hostWindow = std::make_unique<QWidget>();
        m_provider->PushParent(m_hostWindow.get());
        m_progress = std::make_unique<SharingProgressBehaviour>(m_provider);
        m_text = QStringLiteral("Uploading to YouTube");
        m_progress->SetSaveFormatTextGetter([this] { return m_text; });
    }

    void startShowsANonModalWindowOverTheParent()
    {
        QVERIFY(!m_progress->Window());
        m_progress->OnStart(ConvertationContext());
        QWidget* window = m_progress->Window();
        QVERIFY(window && window->isVisible());
        QVERIFY(!window->isModal());
        QCOMPARE(window->parentWidget(), m_hostWindow.get());
        QCOMPARE(Text("progressText"), m_text);
        QCOMPARE(Bar()->value(), 0);
        QCOMPARE(Text("elapsedLabel"), QStringLiteral("Elapsed: 00:00"));
        QCOMPARE(Text("remainingLabel"), QStringLiteral("Remaining: --:--"));
        // The text is read from the getter each time, so it follows the language.
        m_text = QStringLiteral("Hochladen zu YouTube");
        m_progress->Process(0.2f, QTime(0, 0, 1), QTime(0, 0, 4));
        QCOMPARE(Text("progressText"), m_text);
    }

    // Then, with no report for a second, the clock still moves: elapsed
    // goes up and the estimate counts down until it is used up.
    void processShowsFractionAndTimes_data()
    {
        QTest::addColumn<float>("fraction");
        QTest::addColumn<QTime>("elapsed");
        QTest::addColumn<QTime>("remaining");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("elapsedText");
        QTest::addColumn<QString>("remainingText");
        QTest::addColumn<QString>("elapsedLater");
        QTest::addColumn<QString>("remainingLater");
        QTest::newRow("midway") << 0.37f << QTime(0, 1, 5) << QTime(0, 0, 30) << 37 << "Elapsed: 01:05"
                                << "Remaining: 00:30" << "Elapsed: 01:06" << "Remaining: 00:29";
        QTest::newRow("hours") << 0.5f << QTime(1, 2, 3) << QTime(1, 2, 3) << 50 << "Elapsed: 01:02:03"
                               << "Remaining: 01:02:03" << "Elapsed: 01:02:04" << "Remaining: 01:02:02";
        QTest::newRow("unknown estimate") << 0.01f << QTime(0, 0, 2) << QTime() << 1 << "Elapsed: 00:02"
                                          << "Remaining: --:--" << "Elapsed: 00:03" << "Remaining: --:--";
        QTest::newRow("estimate used up") << 0.9f << QTime(0, 0, 9) << QTime(0, 0, 0, 400) << 90 << "Elapsed: 00:09"
                                          << "Remaining: 00:01" << "Elapsed: 00:10" << "Remaining: --:--";
        QTest::newRow("over one") << 1.2f << QTime(0, 2) << QTime(0, 0) << 100 << "Elapsed: 02:00"
                                  << "Remaining: 00:00" << "Elapsed: 02:01" << "Remaining: 00:00";
        // Nothing done is no basis for the estimate that came with it.
        QTest::newRow("nothing done") << -0.5f << QTime(0, 0) << QTime(0, 0) << 0 << "Elapsed: 00:00"
                                      << "Remaining: --:--" << "Elapsed: 00:01" << "Remaining: --:--";
    }

    void processShowsFractionAndTimes()
    {
        QFETCH(float, fraction);
        QFETCH(QTime, elapsed);
        QFETCH(QTime, remaining);
        QFETCH(QString, elapsedLater);
        m_progress->OnStart(ConvertationContext());
        m_progress->Process(fraction, elapsed, remaining);
        QTEST(Bar()->value(), "percent");
        QTEST(Text("elapsedLabel"), "elapsedText");
        QTEST(Text("remainingLabel"), "remainingText");

        QTRY_COMPARE_WITH_TIMEOUT(Text("elapsedLabel"), elapsedLater, 5000);
        QTEST(Text("remainingLabel"), "remainingLater");
    }

    void cancelAsksOnceAndKeepsTheWindow_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape") << true;
    }

    void cancelAsksOnceAndKeepsTheWindow()
    {
        QFETCH(bool, byEscape);
        QSignalSpy cancels(m_progress.get(), &SharingProgressBehaviour::CancelRequested);
        m_progress->OnStart(ConvertationContext());
        auto* cancel = TestSupport::Button(m_progress->Window(), "cancelButton");
        if (byEscape)
            QTest::keyClick(m_progress->Window(), Qt::Key_Escape);
        else
            QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(cancels.count(), 1);
        // The upload ends later; until OnStop the window says it is cancelling.
        QVERIFY(m_progress->Window()->isVisible());
        QVERIFY(!cancel->isEnabled());
        QTest::keyClick(m_progress->Window(), Qt::Key_Escape);
        QCOMPARE(cancels.count(), 1);

        m_progress->OnStop();
        QVERIFY(!m_progress->Window()->isVisible());
        m_progress->OnStart(ConvertationContext());
        QVERIFY(cancel->isEnabled());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(cancels.count(), 2);
    }

    void stopIsHarmlessWhenIdle()
    {
        m_progress->OnStop();
        m_progress->Process(0.5f, QTime(0, 0, 1), QTime(0, 0, 1));
        QVERIFY(!m_progress->Window());
        QVERIFY(!m_progress->IsRunning());

        m_progress->OnStart(ConvertationContext());
        m_progress->Process(0.4f, QTime(0, 0, 1), QTime(0, 0, 1));
        m_progress->OnStop();
        // A late report after the stop changes nothing.
        m_progress->Process(0.9f, QTime(0, 0, 2), QTime(0, 0, 0));
        QCOMPARE(Bar()->value(), 40);
        QVERIFY(!m_progress->Window()->isVisible());
    }

    void survivesItsParentWindow()
    {
        m_progress->OnStart(ConvertationContext());
        m_progress->OnStop();
        m_hostWindow.reset();
        QVERIFY(!m_progress->Window());
        m_progress->OnStart(ConvertationContext());
        QVERIFY(m_progress->Window() && m_progress->Window()->isVisible());
    }

    void refusesAnEmptyParentProvider()
    {
        QVERIFY_EXCEPTION_THROWN(SharingProgressBehaviour(std::shared_ptr<ParentProvider>()), std::logic_error);
    }

private:
    QString Text(const char* name) const { return TestSupport::LabelText(m_progress->Window(), name); }
    QProgressBar* Bar() const { return TestSupport::Child<QProgressBar>(m_progress->Window(), "progressBar"); }

    std::shared_ptr<ParentProvider> m_provider;
    std::unique_ptr<QWidget> m_hostWindow;
    std::unique_ptr<SharingProgressBehaviour> m_progress;
    QString m_text;
};

TAVRIX_TEST_MAIN(TestSharingProgressBehaviour)
#include "tst_SharingProgressBehaviour.moc"
