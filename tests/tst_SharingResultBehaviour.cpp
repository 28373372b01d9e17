#include "SharingBehaviour.h"

#include "DesktopFakes.h"
#include "FlowWindows.h"
#include "HostFakes.h"
#include "ParentProvider.h"
#include "ProjectManager.h"
#include "TestMain.h"
#include "UserSettings.h"

#include <QClipboard>
#include <QTemporaryDir>

#include <fstream>

using namespace Tavrix;
using Tavrix::RQ::Service::Sharing::SharingResultBehaviour;
using Tavrix::RQ::Service::Sharing::SharingResultContext;
using ResultFlags = std::set<std::int32_t>;

Q_DECLARE_METATYPE(ResultFlags)

class TestSharingResultBehaviour : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_links = TestSupport::RecordingOpener();
        m_folders = TestSupport::RecordingOpener();
        m_ui = std::make_shared<RQ::UiSettings>(std::make_shared<TestSupport::MemoryProductSettings>());
        m_audio = std::make_shared<TestSupport::RecordingAudioPlayer>();
        m_result = std::make_unique<SharingResultBehaviour>(
            m_ui, std::make_shared<RQ::UI::ParentProvider>(), m_audio,
            std::make_shared<RQ::FileManager>(m_folders.Function()),
            std::make_shared<App::LinksOpener>(m_links.Function()),
            std::make_shared<TestSupport::FakeCustomizationManager>());
    }

    void successOffersTheLink()
    {
        const QUrl url(QStringLiteral("https://youtu.be/abc123?t=1&x=<y>"));
        m_result->Process(Context(url, {0, 1}), Social::Success);

        QWidget* window = m_result->Window();
        QVERIFY(window && window->isVisible());
        QVERIFY(!window->isModal());
        QCOMPARE(window->windowTitle(), QStringLiteral("Orbit Recorder - Sharing"));
        QCOMPARE(Text("headlineLabel"), QStringLiteral("Your video has been uploaded."));
        QVERIFY(Label("linkLabel")->isVisible());
        QCOMPARE(Label("linkLabel")->text(),
                 QStringLiteral("<a href=\"%1\">%1</a>").arg(url.toString().toHtmlEscaped()));
        QVERIFY(!Label("reasonLabel")->isVisible());

        QTest::mouseClick(Button("openLinkButton"), Qt::LeftButton);
        emit Label("linkLabel")->linkActivated(url.toString());
        QCOMPARE(m_links.opened, (QList<QUrl>{url, url}));

        QTest::mouseClick(Button("copyLinkButton"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), url.toString());
        QCOMPARE(m_audio->played, std::vector<std::string>{"success"});
    }

    void successIsQuietWhenSoundsAreOff()
    {
        m_ui->SetSoundEnabled(false);
        m_result->SetSuccessText([] { return QStringLiteral("Done, share it!"); });
        m_result->Process(Context(QUrl(QStringLiteral("https://youtu.be/q")), {0, 1}), Social::Success);
        QCOMPARE(Text("headlineLabel"), QStringLiteral("Done, share it!"));
        QVERIFY(m_audio->played.empty());
    }

    void failureGivesTheReason_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<ResultFlags>("flags");
        QTest::addColumn<QString>("reason");
        // Advice for a person; the result codes stay in the log.
        QTest::newRow("network") << 10 << ResultFlags{0, 1}
                                 << "YouTube could not be reached. Check the internet connection and try again.";
        QTest::newRow("refused") << 1 << ResultFlags{1} << "Something went wrong. Try again.";
        QTest::newRow("quota") << int(Social::QuotaExceeded) << ResultFlags{1}
                               << "The daily upload quota is used up. It resets at midnight Pacific time; try again "
                                  "after that.";
        QTest::newRow("missing source") << 1 << ResultFlags{0, 1, 4}
                                        << "The file to share does not exist: /videos/clip.mp4";
        // A plain notice, with no reason.
        QTest::newRow("cancelled") << int(Social::Cancelled) << ResultFlags{0, 1} << QString();
    }

    void failureGivesTheReason()
    {
        QFETCH(int, result);
        QFETCH(ResultFlags, flags);
        QFETCH(QString, reason);
        // A success first: its link must not linger in the reused window.
        m_result->Process(Context(QUrl(QStringLiteral("https://youtu.be/old")), {0, 1}), Social::Success);
        m_result->Process(Context(QUrl(), flags), static_cast<Social::RequestResult>(result));
        QCOMPARE(Text("headlineLabel"), reason.isEmpty() ? QStringLiteral("The upload was cancelled.")
                                                         : QStringLiteral("The video could not be uploaded."));
        QCOMPARE(Label("reasonLabel")->isVisible(), !reason.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(Text("reasonLabel"), reason);
        QVERIFY(!Label("linkLabel")->isVisible());
        QVERIFY(!Button("copyLinkButton")->isVisible());
        QCOMPARE(m_audio->played.size(), std::size_t(1));
        QTest::mouseClick(Button("closeButton"), Qt::LeftButton);
        QVERIFY(!m_result->Window()->isVisible());
    }

    void keptFileCanBeShown_data()
    {
        QTest::addColumn<ResultFlags>("flags");
        QTest::addColumn<bool>("fileOnDisk");
        QTest::addColumn<bool>("offered");
        QTest::newRow("kept") << ResultFlags{1} << true << true;
        QTest::newRow("removed after upload") << ResultFlags{0, 1} << true << false;
        QTest::newRow("kept but gone") << ResultFlags{1} << false << false;
    }

    void keptFileCanBeShown()
    {
        QFETCH(ResultFlags, flags);
        QFETCH(bool, fileOnDisk);
        QFETCH(bool, offered);
        QTemporaryDir folder;
        const ioPath output(folder.filePath(QStringLiteral("clip.mp4")).toStdString());
        if (fileOnDisk)
            std::ofstream(output.native()) << "video";
        m_result->Process(Context(QUrl(QStringLiteral("https://youtu.be/k")), flags, output), Social::Success);

        QCOMPARE(Button("showFileButton")->isVisible(), offered);
        if (offered)
        {
            QTest::mouseClick(Button("showFileButton"), Qt::LeftButton);
            QCOMPARE(m_folders.opened, QList<QUrl>{QUrl::fromLocalFile(folder.path())});
        }
        QCOMPARE(output.exists(), fileOnDisk);
    }

    // Nothing to open the link or the folder with: the window says so.
    void nothingToOpenWithIsSaid_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("said");
        QTest::newRow("no browser") << "openLinkButton"
                                    << "No web browser could be opened. The link is copied; paste it into a browser.";
        QTest::newRow("no file manager") << "showFileButton" << "No file manager could be opened. The video is in %1";
    }

    void nothingToOpenWithIsSaid()
    {
        QFETCH(QString, button);
        QFETCH(QString, said);
        m_links.answer = false;
        m_folders.answer = false;
        QTemporaryDir folder;
        const ioPath output(folder.filePath(QStringLiteral("clip.mp4")).toStdString());
        std::ofstream(output.native()) << "video";
        m_result->Process(Context(QUrl(QStringLiteral("https://youtu.be/n")), {1}, output), Social::Success);
        QVERIFY(!Label("actionProblemLabel")->isVisible());

        QTest::mouseClick(Button(button.toLatin1().constData()), Qt::LeftButton);
        QVERIFY(Label("actionProblemLabel")->isVisible());
        QCOMPARE(Text("actionProblemLabel"), said.arg(folder.path()));
        if (button == QLatin1String("openLinkButton"))
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("https://youtu.be/n"));
    }

    void refusesMissingServices()
    {
        QVERIFY_EXCEPTION_THROWN(
            SharingResultBehaviour(m_ui, std::make_shared<RQ::UI::ParentProvider>(), m_audio,
                                   std::make_shared<RQ::FileManager>(), std::shared_ptr<App::ILinksOpener>(),
                                   std::make_shared<TestSupport::FakeCustomizationManager>()),
            std::logic_error);
    }

private:
    static SharingResultContext Context(const QUrl& url, const ResultFlags& flags, const ioPath& output = ioPath())
    {
        SharingResultContext context;
        context.context.sourcePath = ioPath("/videos/clip.mp4");
        context.context.outputPath = output;
        context.url = url;
        context.resultFlags = flags;
        return context;
    }

    QLabel* Label(const char* name) const { return TestSupport::Child<QLabel>(m_result->Window(), name); }
    QPushButton* Button(const char* name) const { return TestSupport::Button(m_result->Window(), name); }
    QString Text(const char* name) const { return TestSupport::LabelText(m_result->Window(), name); }

    TestSupport::RecordingOpener m_links;
    TestSupport::RecordingOpener m_folders;
    std::shared_ptr<RQ::UiSettings> m_ui;
    std::shared_ptr<TestSupport::RecordingAudioPlayer> m_audio;
    std::unique_ptr<SharingResultBehaviour> m_result;
};

TAVRIX_TEST_MAIN(TestSharingResultBehaviour)
#include "tst_SharingResultBehaviour.moc"
