#include "UI/YouTubeSharingDialog.h"

#include "UI/YouTubeSharingErrorHandler.h"

#include "AppServices.h"
#include "DesktopFakes.h"
#include "FakeYoutubeProtocol.h"
#include "FindWidget.h"
#include "HostFakes.h"
#include "HostLook.h"
#include "MediaFakes.h"
#include "ParentProvider.h"
#include "PathsFakes.h"
#include "ProjectManager.h"
#include "SharingBehaviour.h"
#include "TavrixWidget.h"
#include "TestMain.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

using namespace Tavrix;
using Tavrix::RQ::ConvertationContext;
using namespace Tavrix::RQ::Service::Sharing::YouTube::UI;

namespace {
constexpr qint64 kSecond = 1000000;
} // namespace

// The host's look on the sharing dialog and the result window, as the host
// program applies it.
class TestHostLook : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::shared_ptr<RQ::PathsSettings> pathsSettings;
    std::unique_ptr<YouTubeSharingErrorHandler> errorHandler;
    std::unique_ptr<YouTubeSharingDialog> dialog;
    const QLocale systemLocale;

    template <class T>
    T* Find(const char* name) const
    {
        return TestSupport::FindWidget<T>(dialog.get(), name);
    }

    // A dialog as the manager shows it: lists filled, a file given, on screen.
    void ShowDialog()
    {
        dialog.reset();
        errorHandler = std::make_unique<YouTubeSharingErrorHandler>();
        auto builder = std::make_shared<TestSupport::FakeStreamsBuilder>();
        builder->video = TestSupport::FakeStreamsBuilder::MakeVideo(1920, 1080, 5 * kSecond);
        dialog = std::make_unique<YouTubeSharingDialog>(
            *errorHandler, nullptr, pathsSettings, builder, std::make_shared<App::CustomizationManager>(),
            std::make_shared<App::LookAndFeelManager>(), std::make_shared<App::LinksGenerator>(), nullptr);
        dialog->SetCategoryDescriptionFetcher([] {
            return TestSupport::MakeField(
                {{"1", "Film & Animation"}, {"28", "Science & Technology"}, {"29", "Nonprofits & Activism"}}, "1");
        });
        dialog->SetPrivacyDescriptionFetcher(
            [] { return TestSupport::MakeField({{"0", "Public"}, {"1", "Unlisted"}, {"2", "Private"}}, "0"); });
        ConvertationContext context;
        context.sourcePath = ioPath("/videos/Sample recording.mp4");
        context.conversion = ConvertationContext::Conversion{TestSupport::MakeProjectHandle(), nullptr, {}, false};
        dialog->SetFileContext(context);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    // A folder path of exactly 200 characters.
    QString LongFolder() const
    {
        const QString folder = dir->path() + QStringLiteral("/Videos/");
        return folder + QString(200 - folder.size(), QLatin1Char('v'));
    }

private slots:
    void initTestCase() { App::ApplyHostLook(*qApp, App::CustomizationManager()); }

    void init()
    {
        // The previous test's dialog goes before the settings and folder it watches.
        dialog.reset();
        QLocale::setDefault(systemLocale);
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        pathsSettings = TestSupport::MakePathsSettings(dir->filePath(QStringLiteral("settings.ini")));
    }

    // Qt passes over a property or picture it cannot set without a word.
    void styleSheetReachesTheDialog()
    {
        ShowDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Share to YouTube"));
        QVERIFY(!Find<QLabel>("youTubeIconLabel")->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(!dialog->NotAuthenticatedPixmap().isNull());
        QCOMPARE(Find<Tavrix::UI::TPixmapWidget>("userPictureWidget")->pixmap().toImage(),
                 dialog->NotAuthenticatedPixmap().toImage());
        auto* signOut = Find<QPushButton>("signOutButton");
        QVERIFY(!signOut->icon().isNull());
        QCOMPARE(signOut->toolTip(), QStringLiteral("Sign out"));
        QVERIFY(Find<QPlainTextEdit>("descriptionText")->tabChangesFocus());
        QVERIFY(Find<QPlainTextEdit>("tagsText")->tabChangesFocus());
        QVERIFY(Find<QLabel>("errorLabel")->wordWrap());

        // The category list opens wide enough for its longest name.
        auto* categories = Find<QComboBox>("categoryComboBox");
        categories->showPopup();
        QAbstractItemView* list = categories->view();
        QTRY_VERIFY(list->isVisible());
        QVERIFY(list->viewport()->width()
                >= list->fontMetrics().horizontalAdvance(QStringLiteral("Nonprofits & Activism")));
        categories->hidePopup();
    }

    void dialogKeepsItsSize_data()
    {
        QTest::addColumn<QString>("language");
        for (const char* language : {"en_US", "de_DE"})
            QTest::newRow(language) << QString::fromLatin1(language);
    }

    // The size is set once, when the dialog is polished; nothing the user
    // does or the sharing shows may make the window jump, and a dialog made
    // with a long folder remembered is as large as any other.
    void dialogKeepsItsSize()
    {
        QFETCH(QString, language);
        QLocale::setDefault(QLocale(language));
        ShowDialog();
        const QSize plain = dialog->size();
        auto* presets = Find<QComboBox>("resolutionComboBox");
        QVERIFY(presets->count() >= 6);

        QList<std::function<void()>> steps{
            [this] { Find<QLineEdit>("titleEdit")->clear(); },
            [this] { Find<QLineEdit>("titleEdit")->setText(QStringLiteral("Sample <recording>")); },
            [this] { pathsSettings->SetUserSelectedSavePath(LongFolder()); },
            [this] { errorHandler->SetError(YouTubeSharingErrorHandler::ProfileInvalid, true); },
            [this] {
                QPixmap picture(640, 640);
                picture.fill(Qt::darkRed);
                dialog->SetLoginStatus(true);
                dialog->SetUserName(QStringLiteral("A channel whose name goes on and on and on and on and on"));
                dialog->SetUserPicture(picture);
            },
        };
        for (int i = 0; i < presets->count(); ++i)
            steps << [presets, i] { presets->setCurrentIndex(i); };
        steps << [this] { ShowDialog(); };

        for (const auto& step : steps)
        {
            step();
            // Layouts settle through posted events.
            QCoreApplication::sendPostedEvents();
            QCOMPARE(dialog->size(), plain);
            QCOMPARE(dialog->minimumSize(), plain);
        }
        QCOMPARE(Find<QComboBox>("browseComboBox")->currentText().size(), 200);
    }

    void resultLinkStaysOnOneLine()
    {
        TestSupport::RecordingOpener opener;
        RQ::Service::Sharing::SharingResultBehaviour result(
            std::make_shared<RQ::UiSettings>(std::make_shared<TestSupport::MemoryProductSettings>()),
            std::make_shared<RQ::UI::ParentProvider>(), std::make_shared<TestSupport::RecordingAudioPlayer>(),
            std::make_shared<RQ::FileManager>(opener.Function()), std::make_shared<App::LinksOpener>(opener.Function()),
            std::make_shared<TestSupport::FakeCustomizationManager>());
        RQ::Service::Sharing::SharingResultContext context;
        context.url = QUrl(QStringLiteral("https://www.youtube.com/watch?v=NM8GG5wjnDl"));
        result.Process(context, Social::Success);
        QVERIFY(QTest::qWaitForWindowExposed(result.Window()));
        auto* link = result.Window()->findChild<QLabel*>(QStringLiteral("linkLabel"));
        // The layout may not squeeze the link below the whole address on one line.
        QVERIFY(link->minimumSizeHint().width() >= link->fontMetrics().horizontalAdvance(context.url.toString()));
        QVERIFY(link->minimumSizeHint().height() < 2 * link->fontMetrics().lineSpacing());
    }
};

TAVRIX_TEST_MAIN(TestHostLook)
#include "tst_HostLook.moc"
