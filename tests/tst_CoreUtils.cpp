#include "CoreUtils.h"

#include "TestMain.h"

#include <QLabel>
#include <QTemporaryDir>

#include <fstream>

using namespace Tavrix;

namespace {
struct Observer
{
    virtual ~Observer() = default;
    virtual void OnChanged(const QString& value) = 0;
};

struct RecordingObserver : Observer
{
    QStringList seen;
    void OnChanged(const QString& value) override { seen << value; }
};
} // namespace

class TestCoreUtils : public QObject
{
    Q_OBJECT

private slots:
    void ioPathKeepsUtf8AndRemovesFiles()
    {
        QTemporaryDir dir;
        const ioPath folder(dir.path().toStdString());
        const ioPath file = folder / ioPath("Über clip.final.mp4");
        QCOMPARE(QString::fromStdString(file.stem()), QStringLiteral("Über clip.final"));
        QVERIFY(!file.exists());
        std::ofstream(file.native()) << "x";
        QVERIFY(file.exists());
        QVERIFY(file.remove());
        QVERIFY(!file.exists());
        QVERIFY(!file.remove());
        QVERIFY(!ioPath().exists());
    }

    // As the dialog and the progress window call it: no milliseconds, hours only when there are any.
    void msecsToString_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "00:00";
        QTest::newRow("minutes") << 754000 << "12:34";
        QTest::newRow("hours") << 3723000 << "01:02:03";
        QTest::newRow("negative") << -2000 << "-00:02";
    }

    void msecsToString()
    {
        QFETCH(int, ms);
        QTEST(RQ::msecsToString(ms, false, false), "text");
    }

    void formatFileSize_data()
    {
        QTest::addColumn<quint64>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("bytes") << quint64(512) << "512 B";
        QTest::newRow("kibibytes") << quint64(1536) << "1.50 KB";
        QTest::newRow("gibibytes") << quint64(12) * 1024 * 1024 * 1024 << "12.0 GB";
    }

    void formatFileSize()
    {
        QFETCH(quint64, size);
        QTEST(Util::FormatFileSize(size, -1, Util::SizeUnit::Auto, Util::KiloSize::Binary), "text");
    }

    // What a registry holds is the manager's own test; here, the names hosts look entries up by,
    // and that a registry stops answering when it goes.
    void instanceRegistryNamesAndForgets()
    {
        QCOMPARE(QString::fromStdString(RQ::InstanceRegistry::Demangle(typeid(RQ::InstanceRegistry).name())),
                 QStringLiteral("Tavrix::RQ::InstanceRegistry"));
        QVERIFY(!RQ::InstanceRegistry::Instance());
        {
            RQ::InstanceRegistry registry;
            RQ::InstanceRegistry::SetInstance(&registry);
            QCOMPARE(RQ::InstanceRegistry::Instance(), &registry);
        }
        QVERIFY(!RQ::InstanceRegistry::Instance());
    }

    void eventHandlerListSurvivesUnregisteringWhileNotifying()
    {
        Core::EventHandlerList<Observer> list;
        RecordingObserver first;
        struct Leaver : Observer
        {
            Core::EventHandlerList<Observer>* list = nullptr;
            Observer* other = nullptr;
            void OnChanged(const QString&) override { list->UnregisterEventHandler(other); }
        } leaver;
        RecordingObserver last;
        leaver.list = &list;
        leaver.other = &last;
        list.RegisterEventHandler(&first);
        list.RegisterEventHandler(&first);
        list.RegisterEventHandler(&leaver);
        list.RegisterEventHandler(&last);
        list.Notify(&Observer::OnChanged, QStringLiteral("a"));
        QCOMPARE(first.seen, QStringList{"a"});
        QVERIFY(last.seen.isEmpty());
        QCOMPARE(list.Size(), std::size_t(2));
    }

    void applyWidgetStyleRestylesThroughTheStyleSheet()
    {
        QLabel label;
        label.setStyleSheet(QStringLiteral("QLabel[SubStyle=\"LoggedIn\"] { color: rgb(255, 0, 0); }"
                                           "QLabel[SubStyle=\"LoggedOut\"] { color: rgb(0, 0, 255); }"));
        Util::ApplyWidgetStyle(&label, QStringLiteral("LoggedIn"), "SubStyle");
        QCOMPARE(label.property("SubStyle").toString(), QStringLiteral("LoggedIn"));
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(255, 0, 0));
        Util::ApplyWidgetStyle(&label, QStringLiteral("LoggedOut"), "SubStyle");
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }
};

TAVRIX_TEST_MAIN(TestCoreUtils)
#include "tst_CoreUtils.moc"
