#include "UserSettings.h"

#include "LogCapture.h"
#include "PathsFakes.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

using Tavrix::RQ::ApplicationSettingsManager;
using Tavrix::RQ::PathsSettings;
using namespace TestSupport;

namespace {

// One of the five folders: how it is set and read, and the notification of a change.
struct Which
{
    std::function<void(PathsSettings&, const QString&)> set;
    std::function<QString(const PathsSettings&)> get;
    QString notification;
};

// The folder whose setter is Set<name>, getter Get<name> and notification On<name>Changed.
#define WHICH(name)                                                                                                    \
    Which{std::mem_fn(&PathsSettings::Set##name), std::mem_fn(&PathsSettings::Get##name),                             \
          QStringLiteral("On" #name "Changed")}

QString Location(QStandardPaths::StandardLocation location, const QString& name)
{
    return QDir(QStandardPaths::writableLocation(location)).absoluteFilePath(name);
}

} // namespace

Q_DECLARE_METATYPE(Which)

class TestPathsSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString iniFile;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        iniFile = dir->filePath(QStringLiteral("settings.ini"));
    }

    void emptyServicesAreRefused()
    {
        auto customization = std::make_shared<FakeCustomizationManager>();
        auto store = std::make_shared<ApplicationSettingsManager>(iniFile);
        QVERIFY_EXCEPTION_THROWN(PathsSettings(nullptr, store), std::logic_error);
        QVERIFY_EXCEPTION_THROWN(PathsSettings(customization, nullptr), std::logic_error);
    }

    // Each folder: its default named after the product, a change stored and
    // told to the observers once, through the folder's own notification, and
    // an empty value bringing the default back.
    void eachFolder_data()
    {
        QTest::addColumn<Which>("which");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("byDefault");
        QTest::newRow("results") << WHICH(ResultsFolderPath) << "Orbit Rec"
                                 << Location(QStandardPaths::MoviesLocation, "Orbit Rec Shared");
        QTest::newRow("temp, no product name")
            << WHICH(TempFolderPath) << "" << Location(QStandardPaths::TempLocation, "Tavrix");
        QTest::newRow("recordings, a name with a slash") << WHICH(RecordingsFolderPath) << " Orbit/Rec  Pro "
                                                         << Location(QStandardPaths::MoviesLocation, "Orbit-Rec Pro");
        QTest::newRow("user selected") << WHICH(UserSelectedSavePath) << "Orbit Rec" << QString();
        QTest::newRow("screenshots, a name with a backslash")
            << WHICH(ScreenshotsFolderPath) << "Orbit\\Rec" << Location(QStandardPaths::PicturesLocation, "Orbit-Rec");
    }

    void eachFolder()
    {
        QFETCH(Which, which);
        QFETCH(QString, product);
        QFETCH(QString, byDefault);
        const QString notification = which.notification;

        auto settings = MakePathsSettings(iniFile, product.toStdString());
        QCOMPARE(which.get(*settings), byDefault);
        RecordingPathsObserver observer;
        settings->RegisterEventHandler(&observer);
        const QString folder = dir->filePath(QStringLiteral("chosen"));

        which.set(*settings, folder);
        which.set(*settings, folder);
        QCOMPARE(which.get(*settings), folder);
        // Stored, not only remembered.
        QCOMPARE(which.get(*MakePathsSettings(iniFile, product.toStdString())), folder);

        which.set(*settings, QString());
        QCOMPARE(which.get(*settings), byDefault);
        QCOMPARE(observer.heard, QStringList({notification + ':' + folder, notification + ':' + byDefault}));
        settings->UnregisterEventHandler(&observer);
    }

    void seedingFillsOnlyAnEmptySavePath_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("first run") << QString();
        QTest::newRow("the user's choice") << QStringLiteral("chosen");
    }

    // "Save to" with nothing stored would save into the working directory.
    void seedingFillsOnlyAnEmptySavePath()
    {
        QFETCH(QString, stored);
        const QString chosen = stored.isEmpty() ? QString() : dir->filePath(stored);
        auto settings = MakePathsSettings(iniFile);
        settings->SetUserSelectedSavePath(chosen);

        settings->SeedUserSelectedSavePath();
        const QString videos = QDir(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation)).absolutePath();
        QCOMPARE(MakePathsSettings(iniFile)->GetUserSelectedSavePath(), chosen.isEmpty() ? videos : chosen);
    }

    void aFailedWriteIsAnErrorLine()
    {
        // A file where the settings' folder should be: nothing can be written there.
        QFile blocker(dir->filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString unwritable = dir->filePath("blocker/settings.ini");
        auto settings = MakePathsSettings(unwritable);

        LogCapture log;
        settings->SetUserSelectedSavePath(dir->filePath("a"));
        QCOMPARE(log.Texts(google::GLOG_ERROR),
                 QStringList({"Tavrix::RQ::SettingsFile::SetValue: Can not write Paths/UserSelectedSavePath to "
                              + unwritable}));
    }
};

TAVRIX_TEST_MAIN(TestPathsSettings)
#include "tst_PathsSettings.moc"
