#include "CoreUtils.h"

#include "TestMain.h"

#include <QLabel>

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
    // Whether the path finds and removes its file is the file manager's and the sharing manager's test.
    void ioPathStemKeepsUtf8()
    {
        const ioPath file = ioPath("/videos") / ioPath("Über clip.final.mp4");
        QCOMPARE(QString::fromStdString(file.stem()), QStringLiteral("Über clip.final"));
    }

    // As the dialog calls them. Its size and duration labels show minutes, hours, bytes, megabytes
    // and gigabytes; here is what they never show.
    void textsTheLabelsDoNotReach()
    {
        QCOMPARE(RQ::msecsToString(-2000, false, false), QStringLiteral("-00:02"));
        QCOMPARE(Util::FormatFileSize(1536, -1, Util::SizeUnit::Auto, Util::KiloSize::Binary), QStringLiteral("1.50 KB"));
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
