#include "UI/PathsHelper.h"

#include "FindWidget.h"
#include "PathsFakes.h"
#include "TestMain.h"
#include "WordTranslator.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using Tavrix::RQ::PathsSettings;
using Tavrix::RQ::Service::Sharing::YouTube::UI::PathsHelper;
using namespace TestSupport;

namespace {

// The dialog's part that PathsHelper works on.
struct Form
{
    explicit Form(const std::shared_ptr<PathsSettings>& settings)
        : combo(new QComboBox(&window))
        , button(new QPushButton(&window))
        , helper(std::make_unique<PathsHelper>(combo, button, &window, settings))
    {
        window.setObjectName(QStringLiteral("dialog"));
    }

    QStringList Entries() const { return ItemTexts(combo); }

    QWidget window;
    QComboBox* combo;
    QPushButton* button;
    std::unique_ptr<PathsHelper> helper;
};

// Stands in for the folder dialog: writes down each call as
// "parent|caption|start folder|options" and answers what the test scripted.
QStringList g_pickerCalls;
QString g_pickerAnswer;

QString ScriptedPicker(QWidget* parent, const QString& caption, const QString& startFolder,
                       QFileDialog::Options options)
{
    const QString parentName = parent ? parent->objectName() : QStringLiteral("no parent");
    g_pickerCalls << QStringLiteral("%1|%2|%3|%4").arg(parentName, caption, startFolder).arg(int(options));
    return g_pickerAnswer;
}

void Browse(Form& form, const QString& answer)
{
    g_pickerAnswer = answer;
    QTest::mouseClick(form.button, Qt::LeftButton);
}

} // namespace

class TestPathsHelper : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString iniFile;
    std::shared_ptr<PathsSettings> settings;

    // A folder under the test's temporary directory, with '/' separators.
    QString Folder(const QString& name) const { return dir->path() + QLatin1Char('/') + name; }

    // The list entries that stand for these folders.
    QStringList EntriesFor(const QStringList& names) const
    {
        QStringList entries;
        for (const QString& name : names)
            entries << QDir::toNativeSeparators(Folder(name));
        return entries;
    }

private slots:
    void initTestCase() { PathsHelper::SetFolderPicker(ScriptedPicker); }
    void cleanupTestCase() { PathsHelper::SetFolderPicker({}); }

    void init()
    {
        // The previous test's settings go before their folder does.
        settings.reset();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        iniFile = dir->filePath(QStringLiteral("settings.ini"));
        settings = MakePathsSettings(iniFile);
        g_pickerCalls.clear();
        g_pickerAnswer.clear();
    }

    // A notification shows its folder, added if need be, and selects it without
    // the list's own signal and without storing anything; the list starts with
    // the stored folder.
    void notificationsShowWithoutStoring_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("notified");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("current");
        QTest::newRow("nothing stored") << QString() << QStringList() << QStringList() << -1;
        QTest::newRow("a folder not in clean form") << "videos/../clips/" << QStringList() << QStringList{"clips"} << 0;
        QTest::newRow("a new folder") << "a" << QStringList{"b/"} << QStringList{"a", "b"} << 1;
        QTest::newRow("the current folder again") << "a" << QStringList{"a"} << QStringList{"a"} << 0;
        QTest::newRow("no folder") << "a" << QStringList{""} << QStringList{"a"} << 0;
    }

    void notificationsShowWithoutStoring()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, notified);
        QFETCH(QStringList, entries);
        QFETCH(int, current);

        if (!stored.isEmpty())
            settings->SetUserSelectedSavePath(Folder(stored));
        RecordingPathsObserver observer;
        settings->RegisterEventHandler(&observer);
        Form form(settings);
        QSignalSpy indexChanges(form.combo, qOverload<int>(&QComboBox::currentIndexChanged));
        for (const QString& folder : notified)
            form.helper->OnUserSelectedSavePathChanged(folder.isEmpty() ? QString() : Folder(folder));

        QCOMPARE(form.Entries(), EntriesFor(entries));
        QCOMPARE(form.combo->currentIndex(), current);
        QCOMPARE(indexChanges.count(), 0);
        QCOMPARE(observer.heard, QStringList());
        settings->UnregisterEventHandler(&observer);
    }

    void browsing_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("stored");

        QTest::newRow("a folder already listed is only selected")
            << QStringList{"a", "b"} << 0 << "b" << QStringList{"a", "b"} << 1 << "a";
        QTest::newRow("a new folder is added and selected, not stored")
            << QStringList{"a"} << 0 << "c" << QStringList{"a", "c"} << 1 << "a";
        QTest::newRow("a cancelled dialog changes nothing")
            << QStringList{"a", "b"} << 1 << "" << QStringList{"a", "b"} << 1 << "a";
        QTest::newRow("folders differing only in case are two")
            << QStringList{"a"} << 0 << "A" << QStringList{"a", "A"} << 1 << "a";
        QTest::newRow("the first folder is stored")
            << QStringList() << -1 << "c" << QStringList{"c"} << 0 << "c";
    }

    void browsing()
    {
        QFETCH(QStringList, listed);
        QFETCH(int, current);
        QFETCH(QString, answer);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(QString, stored);

        if (!listed.isEmpty())
            settings->SetUserSelectedSavePath(Folder(listed.first()));
        // The caption is translated in the form's context.
        WordTranslator german("YouTubeSharingWidget", {{"Save to", "Speichern unter"}});
        QVERIFY(QCoreApplication::installTranslator(&german));
        Form form(settings);
        for (const QString& folder : listed)
            form.helper->OnUserSelectedSavePathChanged(Folder(folder));
        if (current >= 0)
            form.helper->OnUserSelectedSavePathChanged(Folder(listed.at(current)));
        QCOMPARE(form.combo->currentIndex(), current);

        Browse(form, answer.isEmpty() ? QString() : Folder(answer));

        const QString start = current >= 0 ? Folder(listed.at(current)) : QDir::currentPath();
        QCOMPARE(g_pickerCalls, QStringList{QStringLiteral("dialog|Speichern unter|%1|%2").arg(start).arg(
                                    int(QFileDialog::ShowDirsOnly))});

        QCOMPARE(form.Entries(), EntriesFor(entries));
        QCOMPARE(form.combo->currentIndex(), selected);
        QCOMPARE(settings->GetUserSelectedSavePath(), Folder(stored));
    }

    // Two dialogs keep their lists in step through the settings; each helper
    // leaves the settings with its dialog, and one whose widgets went first
    // changes nothing.
    void twoDialogsStayInStep()
    {
        settings->SetUserSelectedSavePath(Folder("a"));
        auto first = std::make_unique<Form>(settings);
        Form second(settings);
        QCOMPARE(settings->Size(), std::size_t(2));

        // A browsed folder that is not stored stays in its own dialog.
        Browse(*first, Folder("b"));
        QCOMPARE(first->Entries(), EntriesFor({"a", "b"}));
        QCOMPARE(first->combo->currentIndex(), 1);
        QCOMPARE(second.Entries(), EntriesFor({"a"}));

        QTest::keyClick(first->combo, Qt::Key_Up);
        QTest::keyClick(first->combo, Qt::Key_Down);
        QCOMPARE(settings->GetUserSelectedSavePath(), Folder("b"));
        QCOMPARE(second.Entries(), first->Entries());
        QCOMPARE(second.combo->currentIndex(), 1);

        QTest::keyClick(second.combo, Qt::Key_Up);
        QCOMPARE(settings->GetUserSelectedSavePath(), Folder("a"));
        QCOMPARE(first->combo->currentIndex(), 0);

        first.reset();
        QCOMPARE(settings->Size(), std::size_t(1));
        settings->SetUserSelectedSavePath(Folder("c"));
        QCOMPARE(second.Entries(), EntriesFor({"a", "b", "c"}));

        delete second.combo;
        QVERIFY(!second.helper->BrowseComboBox());
        settings->SetUserSelectedSavePath(Folder("d"));
        second.helper.reset();
        QCOMPARE(settings->Size(), std::size_t(0));
    }
};

TAVRIX_TEST_MAIN(TestPathsHelper)
#include "tst_PathsHelper.moc"
