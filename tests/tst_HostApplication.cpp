#include "HostApplication.h"

#include "EmulatedHost.h"
#include "EmulatorProcess.h"
#include "LogCapture.h"
#include "MediaClips.h"
#include "MediaFakes.h"
#include "TestMain.h"
#include "AppServices.h"
#include "UserSettings.h"
#include "VideoConverter.h"
#include "YoutubeEmulator.h"

#include <Hypodermic/Hypodermic.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Tavrix;
using Tavrix::RQ::Host::EmulatorProcess;
using Tavrix::RQ::Host::HostApplication;
using Tavrix::RQ::Host::HostOptions;
using Tavrix::RQ::Service::Sharing::AbstractSharingManager;

namespace {

QWidget* VisibleWindow(const QString& objectName)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->objectName() == objectName)
            return window;
    return nullptr;
}

using TestSupport::SharingDialog;

// Clicks a button of the authorization prompt as soon as it runs (modally,
// inside the click on Start).
class PromptAnswer : public QObject
{
public:
    explicit PromptAnswer(const QString& button)
    {
        connect(&m_timer, &QTimer::timeout, this, [this, button] {
            if (QWidget* prompt = VisibleWindow(QStringLiteral("sharingAuthorizationDialog")))
            {
                m_timer.stop();
                answered = true;
                QTest::mouseClick(prompt->findChild<QPushButton*>(button), Qt::LeftButton);
            }
        });
        m_timer.start(20);
    }

    bool answered = false;

private:
    QTimer m_timer;
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestHostApplication : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qRegisterMetaType<QMap<QString, QString>>("QMap<QString,QString>");
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is needed (scripts/install-deps.sh installs it)");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("Beach walk.mp4"));
        QVERIFY(TestSupport::MakeClip(m_clip, 320, 240, 3, true));

        QVERIFY(TestSupport::StartEmulator(m_emulator));
    }

    void init()
    {
        QNetworkAccessManager network;
        QCOMPARE(TestSupport::Fetch(network, "POST", m_emulator.Origin().resolved(QUrl(QStringLiteral("/_emulator/reset"))))
                     .status,
                 200);
        m_run = std::make_unique<QTemporaryDir>();
        QVERIFY(m_run->isValid());
        m_signInPages.clear();
        m_options = TestSupport::EmulatedRun(m_emulator, *m_run, &m_signInPages);
    }

    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
    }

    // Container, Resolve, ShareFile, the dialog, sign-in, conversion and a
    // real upload, down to the bytes the emulator stored.
    void sharesAVideoEndToEnd()
    {
        HostApplication host(m_options);
        const QString keep = m_run->filePath(QStringLiteral("keep"));
        QVERIFY(QDir().mkpath(keep));
        // The user already has a file by the name the title gives.
        const QString usersOwn = keep + QStringLiteral("/Beach walk.mp4");
        QVERIFY(TestSupport::WriteFile(usersOwn, "the user's own edit"));
        host.Container()->resolve<RQ::PathsSettings>()->SetUserSelectedSavePath(keep);
        host.Container()->resolve<RQ::PathsSettings>()->SetResultsFolderPath(m_run->filePath(QStringLiteral("out")));

        QSignalSpy started(&host.Manager(), &AbstractSharingManager::SharingStarted);
        QSignalSpy finished(&host.Manager(), &AbstractSharingManager::SharingFinished);
        QSignalSpy hostFinished(&host, &HostApplication::Finished);
        QVERIFY(host.Share(ioPath(m_clip.toStdString())));

        QWidget* dialog = SharingDialog();
        QVERIFY(dialog);
        auto* title = dialog->findChild<QLineEdit*>(QStringLiteral("titleEdit"));
        QCOMPARE(title->text(), QStringLiteral("Beach walk"));
        title->selectAll();
        QTest::keyClicks(title, QStringLiteral("Beach walk"));
        auto* keepCopy = dialog->findChild<QCheckBox*>(QStringLiteral("saveAsLocalFileCheckBox"));
        QTest::mouseClick(keepCopy, Qt::LeftButton, {}, QPoint(4, keepCopy->height() / 2));
        QVERIFY(keepCopy->isChecked());
        QCOMPARE(QDir(dialog->findChild<QComboBox*>(QStringLiteral("browseComboBox"))->currentText()),
                 QDir(keep));

        // Not signed in: Start brings the authorization prompt up modally; sign in from there.
        PromptAnswer signIn(QStringLiteral("primaryButton"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("startButton")), Qt::LeftButton);
        QVERIFY(signIn.answered);
        QCOMPARE(m_signInPages.size(), 1);
        QCOMPARE(m_signInPages.first().path(), QStringLiteral("/o/oauth2/v2/auth"));

        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 120000);
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(started.count(), 1);
        using Parameters = QMap<QString, QString>;
        QCOMPARE(started.first().at(1).value<Parameters>().value(QStringLiteral("SAVE_TO")), QStringLiteral("YES"));

        // The kept copy took the next free name; the user's file is untouched.
        QCOMPARE(ReadAll(usersOwn), QByteArray("the user's own edit"));
        const QByteArray converted = ReadAll(keep + QStringLiteral("/Beach walk (2).mp4"));
        QVERIFY(converted.size() > 1000);
        QCOMPARE(TestSupport::StreamOf(TestSupport::Probe(keep + QStringLiteral("/Beach walk (2).mp4")),
                                       QStringLiteral("video"))
                     .value(QStringLiteral("codec_name"))
                     .toString(),
                 QStringLiteral("h264"));

        QNetworkAccessManager network;
        const QJsonArray uploads =
            TestSupport::Fetch(network, "GET", m_emulator.Origin().resolved(QUrl(QStringLiteral("/_emulator/uploads"))))
                .json()
                .value(QStringLiteral("uploads"))
                .toArray();
        QCOMPARE(uploads.size(), 1);
        const QJsonObject upload = uploads.first().toObject();
        QCOMPARE(upload.value(QStringLiteral("state")).toString(), QStringLiteral("complete"));
        QCOMPARE(upload.value(QStringLiteral("size")).toDouble(), double(converted.size()));
        QCOMPARE(upload.value(QStringLiteral("sha256")).toString(),
                 QString::fromLatin1(QCryptographicHash::hash(converted, QCryptographicHash::Sha256).toHex()));
        QCOMPARE(ReadAll(upload.value(QStringLiteral("file")).toString()), converted);
        QCOMPARE(upload.value(QStringLiteral("metadata"))
                     .toObject()
                     .value(QStringLiteral("snippet"))
                     .toObject()
                     .value(QStringLiteral("title"))
                     .toString(),
                 QStringLiteral("Beach walk"));

        // The run ends when the result window is closed, not before.
        QWidget* result = VisibleWindow(QStringLiteral("sharingResultWindow"));
        QVERIFY(result);
        QCoreApplication::processEvents();
        QCOMPARE(hostFinished.count(), 0);
        QTest::mouseClick(result->findChild<QPushButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
        QTRY_COMPARE(hostFinished.count(), 1);
        QCOMPARE(hostFinished.first().first().toInt(), int(HostApplication::Shared));
    }

    void aFailedConversionEndsTheSharing_data()
    {
        QTest::addColumn<QByteArray>("usersFile");
        QTest::newRow("results folder made for the sharing") << QByteArray();
        QTest::newRow("results folder with a file of the user's") << QByteArray("notes");
    }

    // "Save without uploading", and the conversion cannot run: the user is
    // told, the sharing ends as failed. The results folder goes if the
    // sharing left it empty, never with anything in it.
    void aFailedConversionEndsTheSharing()
    {
        QFETCH(QByteArray, usersFile);
        HostApplication host(m_options);
        const QString out = m_run->filePath(QStringLiteral("out"));
        if (!usersFile.isEmpty())
            QVERIFY(QDir().mkpath(out) && TestSupport::WriteFile(out + QStringLiteral("/notes.txt"), usersFile));
        host.Container()->resolve<RQ::PathsSettings>()->SetResultsFolderPath(out);
        QStringList shown;
        host.Converter().SetFailurePresenter([&shown](const QString& title, const QString&) { shown << title; });
        host.Converter().SetProgram(m_run->filePath(QStringLiteral("no-ffmpeg-here")));
        QSignalSpy canceled(&host.Manager(), &AbstractSharingManager::SharingCanceled);
        QSignalSpy hostFinished(&host, &HostApplication::Finished);

        QVERIFY(host.Share(ioPath(m_clip.toStdString())));
        PromptAnswer saveOnly(QStringLiteral("secondaryButton"));
        QTest::mouseClick(SharingDialog()->findChild<QPushButton*>(QStringLiteral("startButton")), Qt::LeftButton);
        QVERIFY(saveOnly.answered);

        QTRY_COMPARE(hostFinished.count(), 1);
        QCOMPARE(hostFinished.first().first().toInt(), int(HostApplication::Failed));
        QCOMPARE(canceled.count(), 1);
        QCOMPARE(shown, QStringList{QStringLiteral("Conversion failed")});
        QVERIFY(m_signInPages.isEmpty());
        if (usersFile.isEmpty())
            QVERIFY(!QFileInfo::exists(out));
        else
            QCOMPARE(ReadAll(out + QStringLiteral("/notes.txt")), usersFile);
        QCOMPARE(QDir(out).entryList(QDir::Files), usersFile.isEmpty() ? QStringList() : QStringList{"notes.txt"});
    }

    // A first run offers the videos folder to save to, not the working
    // directory, and keeps it in the one settings file the log names.
    void aFirstRunSavesToTheVideosFolder()
    {
        TestSupport::LogCapture log;
        HostApplication host(m_options);
        QSignalSpy hostFinished(&host, &HostApplication::Finished);
        QVERIFY(host.Share(ioPath(m_clip.toStdString())));
        QWidget* dialog = SharingDialog();
        QVERIFY(dialog);
        const QString videos = QDir(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation)).absolutePath();
        QCOMPARE(QDir(dialog->findChild<QComboBox*>(QStringLiteral("browseComboBox"))->currentText()), QDir(videos));
        const QString settingsFile = m_options.settingsFolder + QStringLiteral("/settings.ini");
        QVERIFY(log.Texts().filter(QStringLiteral("; settings in ") + settingsFile + QLatin1Char(',')).size() == 1);
        QCOMPARE(QSettings(settingsFile, QSettings::IniFormat).value(QStringLiteral("Paths/UserSelectedSavePath")),
                 QVariant(videos));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
        QTRY_COMPARE(hostFinished.count(), 1);
        QCOMPARE(hostFinished.first().first().toInt(), int(HostApplication::Canceled));
        QVERIFY(m_signInPages.isEmpty());
    }

    // How the user ends the sharing decides the exit status, and a way that
    // closes every window says what happened in a last notice.
    void eachEndingHasItsStatus_data()
    {
        QTest::addColumn<int>("ending");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("notice");
        QTest::newRow("Cancel in the dialog") << int(CancelInDialog) << int(HostApplication::Canceled) << QString();
        QTest::newRow("Escape in the dialog") << int(EscapeInDialog) << int(HostApplication::Canceled) << QString();
        QTest::newRow("Escape during the conversion")
            << int(EscapeWhileConverting) << int(HostApplication::Canceled)
            << QStringLiteral("The sharing was cancelled: the video was neither uploaded nor saved.");
        QTest::newRow("Cancel during the upload") << int(CancelWhileUploading) << int(HostApplication::Canceled)
                                                  << QString();
        QTest::newRow("Save without uploading")
            << int(SaveOnly) << int(HostApplication::Shared) << QStringLiteral("The video was saved to %1");
        QTest::newRow("a missing file") << int(MissingFile) << int(HostApplication::Failed)
                                        << QStringLiteral("The file to share does not exist: %1");
    }

    void eachEndingHasItsStatus()
    {
        QFETCH(int, ending);
        QFETCH(int, exitCode);
        QFETCH(QString, notice);
        HostApplication host(m_options);
        const QString out = m_run->filePath(QStringLiteral("out"));
        host.Container()->resolve<RQ::PathsSettings>()->SetResultsFolderPath(out);
        QSignalSpy hostFinished(&host, &HostApplication::Finished);
        const QString gone = m_dir.filePath(QStringLiteral("gone.mp4"));
        QCOMPARE(host.Share(ioPath((ending == MissingFile ? gone : m_clip).toStdString())), ending != MissingFile);

        QWidget* dialog = SharingDialog();
        QPushButton* start = dialog ? dialog->findChild<QPushButton*>(QStringLiteral("startButton")) : nullptr;
        if (ending == CancelInDialog)
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
        if (ending == EscapeInDialog)
            QTest::keyClick(dialog, Qt::Key_Escape);
        if (ending == SaveOnly || ending == EscapeWhileConverting)
        {
            PromptAnswer saveOnly(QStringLiteral("secondaryButton"));
            QTest::mouseClick(start, Qt::LeftButton);
            QVERIFY(saveOnly.answered);
        }
        if (ending == EscapeWhileConverting)
        {
            QTRY_VERIFY(VisibleWindow(QStringLiteral("sharingProgressWindow")));
            QTest::keyClick(VisibleWindow(QStringLiteral("sharingProgressWindow")), Qt::Key_Escape);
        }
        if (ending == CancelWhileUploading)
        {
            QNetworkAccessManager network;
            QCOMPARE(TestSupport::Fetch(network, "POST", m_emulator.Origin().resolved(QUrl(QStringLiteral("/_emulator/faults"))),
                                        R"({"throttleBytesPerSecond": 2000, "on": "chunk", "times": -1})",
                                        "application/json")
                         .status,
                     200);
            PromptAnswer signIn(QStringLiteral("primaryButton"));
            QTest::mouseClick(start, Qt::LeftButton);
            QVERIFY(signIn.answered);
            const auto uploading = [] {
                QWidget* window = VisibleWindow(QStringLiteral("sharingProgressWindow"));
                auto* text = window ? window->findChild<QLabel*>(QStringLiteral("progressText")) : nullptr;
                return text && text->text() == QLatin1String("Uploading to YouTube") ? window : nullptr;
            };
            QTRY_VERIFY_WITH_TIMEOUT(uploading(), 60000);
            QTest::mouseClick(uploading()->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(VisibleWindow(QStringLiteral("sharingResultWindow")), 30000);
            VisibleWindow(QStringLiteral("sharingResultWindow"))->close();
        }

        if (!notice.isEmpty())
        {
            QTRY_VERIFY_WITH_TIMEOUT(VisibleWindow(QStringLiteral("sharingEndNotice")), 60000);
            auto* box = qobject_cast<QMessageBox*>(VisibleWindow(QStringLiteral("sharingEndNotice")));
            QString expected = notice;
            if (ending == SaveOnly)
                expected = notice.arg(QDir(out).filePath(QStringLiteral("Beach walk.mp4")));
            if (ending == MissingFile)
                expected = notice.arg(gone);
            QCOMPARE(box->text(), expected);
            QCoreApplication::processEvents();
            QCOMPARE(hostFinished.count(), 0);
            box->button(QMessageBox::Close)->click();
        }
        QTRY_COMPARE_WITH_TIMEOUT(hostFinished.count(), 1, 60000);
        QCOMPARE(hostFinished.first().first().toInt(), exitCode);
        QVERIFY(!SharingDialog());
        if (ending != SaveOnly)
            QCOMPARE(QDir(out).entryList(QDir::Files), QStringList());
    }

private:
    enum Ending
    {
        CancelInDialog,
        EscapeInDialog,
        EscapeWhileConverting,
        CancelWhileUploading,
        SaveOnly,
        MissingFile,
    };

    QTemporaryDir m_dir;
    QString m_clip;
    EmulatorProcess m_emulator;
    std::unique_ptr<QTemporaryDir> m_run;
    HostOptions m_options;
    QList<QUrl> m_signInPages;
};

TAVRIX_TEST_MAIN(TestHostApplication)
#include "tst_HostApplication.moc"
