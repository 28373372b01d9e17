#include "EmulatedHost.h"
#include "EmulatorProcess.h"
#include "HostApplication.h"
#include "MediaClips.h"
#include "TestMain.h"
#include "Translations.h"
#include "UnattendedRun.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QXmlStreamReader>

#include <functional>

using namespace Tavrix;
using namespace Tavrix::RQ::Host;
using namespace std::chrono_literals;

namespace {

struct Entry
{
    QString context;
    QString source;
    QString comment;
    QString type; // "unfinished", "vanished", "obsolete" or empty
    QStringList forms; // one, or the numerus forms
    bool numerus = false;

    QString Key() const
    {
        return context + QStringLiteral(" | \"") + source + QLatin1Char('"')
               + (comment.isEmpty() ? QString() : QStringLiteral(" (") + comment + QLatin1Char(')'));
    }
};

QList<Entry> ReadTs(const QString& path)
{
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context;
    Entry entry;
    while (!xml.atEnd())
    {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name"))
            context = xml.readElementText();
        else if (name == QLatin1String("message"))
            entry = Entry{context, {}, {}, {}, {}, xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes")};
        else if (name == QLatin1String("source"))
            entry.source = xml.readElementText();
        else if (name == QLatin1String("comment"))
            entry.comment = xml.readElementText();
        else if (name == QLatin1String("translation"))
        {
            entry.type = xml.attributes().value(QLatin1String("type")).toString();
            if (!entry.numerus)
                entry.forms << xml.readElementText();
            else
                while (xml.readNextStartElement())
                    entry.forms << xml.readElementText();
            entries << entry;
        }
    }
    return entries;
}

QString TsFile(const QString& language)
{
    return QStringLiteral(RQ_TS_DIR "/rqserviceyoutube_%1.ts").arg(language);
}

// A plural's singular may name its one thing without the number, so %n
// does not count there.
QSet<QString> Placeholders(const QString& text, bool numerus)
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9n]"));
    QSet<QString> found;
    for (auto match = placeholder.globalMatch(text); match.hasNext();)
        found << match.next().captured();
    if (numerus)
        found.remove(QStringLiteral("%n"));
    return found;
}

// Texts that read the same in English and in every language.
const QStringList kNames{QStringLiteral("YouTube"), QStringLiteral("%1, %1 %2")};

// What each English source looks like on screen, its numbers filled in.
// Names, and sources with hardly a word of their own ("%1x%2"), say nothing
// about the language.
QList<QPair<QRegularExpression, QString>> EnglishLooks(const QList<Entry>& entries)
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9np]"));
    static const QRegularExpression letter(QStringLiteral("[A-Za-z]"));
    QList<QPair<QRegularExpression, QString>> looks;
    for (const Entry& entry : entries)
    {
        if (kNames.contains(entry.source))
            continue;
        QStringList pieces = entry.source.split(placeholder);
        if (pieces.join(QString()).count(letter) < 3)
            continue;
        for (QString& piece : pieces)
            piece = QRegularExpression::escape(piece);
        const QString pattern = QRegularExpression::anchoredPattern(pieces.join(QStringLiteral(".+")));
        looks.append({QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption), entry.Key()});
    }
    return looks;
}

// Every text a user reads in a window: its title, labels, buttons, the items
// of its lists and the texts it offers to edit. Category names come from
// YouTube in the user's language, so they are YouTube's words, not ours.
QStringList ShownTexts(QWidget* window)
{
    QStringList texts{window->windowTitle()};
    for (QWidget* widget : window->findChildren<QWidget*>())
    {
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts << (label->textFormat() == Qt::PlainText ? label->text()
                                                           : QTextDocumentFragment::fromHtml(label->text()).toPlainText());
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts << button->text();
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
            texts << edit->toPlainText();
        else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->objectName() != QLatin1String("categoryComboBox"))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
    }
    texts.removeAll(QString());
    return texts;
}

using TestSupport::SharingDialog;

// Calls back with each window as it is shown, before anyone presses its buttons.
class WindowWatcher : public QObject
{
public:
    explicit WindowWatcher(std::function<void(QWidget*)> seen)
        : m_seen(std::move(seen))
    {
        qApp->installEventFilter(this);
    }
    ~WindowWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            m_seen(static_cast<QWidget*>(watched));
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QWidget*)> m_seen;
};

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_clip;
    EmulatorProcess m_emulator;
    std::unique_ptr<QTemporaryDir> m_run;

    void NeedHost()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is needed (scripts/install-deps.sh installs it)");
        if (m_clip.isEmpty())
        {
            m_clip = m_dir.filePath(QStringLiteral("Harbour.mp4"));
            QVERIFY(TestSupport::MakeClip(m_clip, 320, 240, 1.0, true));
            QVERIFY(TestSupport::StartEmulator(m_emulator));
        }
        m_run = std::make_unique<QTemporaryDir>();
        QVERIFY(m_run->isValid());
    }

    // Each language with the words it shares with English; YouTube's own
    // category names among them are YouTube's choice.
    static void Languages()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("sameAsEnglish");
        QTest::newRow("de") << QStringLiteral("de") << QStringList{"Gaming", "Comedy"};
        QTest::newRow("fr") << QStringLiteral("fr") << QStringList{"Description", "Sports"};
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
    }

    void filesAreFinishedAndFollowTheCode_data() { Languages(); }

    // Every entry finished, not left in English, every plural form written,
    // with the same placeholders as its source; and lupdate over the code,
    // into a copy, finds nothing new and nothing gone.
    void filesAreFinishedAndFollowTheCode()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, sameAsEnglish);
        const QList<Entry> entries = ReadTs(TsFile(language));
        QVERIFY2(entries.size() > 100, qPrintable(TsFile(language)));
        QStringList problems;
        for (const Entry& entry : entries)
        {
            QString problem;
            if (!entry.type.isEmpty())
                problem = entry.type;
            else if (entry.forms.isEmpty() || entry.forms.contains(QString()))
                problem = QStringLiteral("a form is empty");
            else if (entry.numerus && entry.forms.size() < 2)
                problem = QStringLiteral("only one plural form");
            else if (entry.forms.count(entry.source) == entry.forms.size() && !kNames.contains(entry.source)
                     && !sameAsEnglish.contains(entry.source))
                problem = QStringLiteral("left in English");
            for (const QString& form : entry.forms)
                if (problem.isEmpty() && Placeholders(entry.source, entry.numerus) != Placeholders(form, entry.numerus))
                    problem = QStringLiteral("placeholders differ in \"%1\"").arg(form);
            if (!problem.isEmpty())
                problems << entry.Key() + QStringLiteral(": ") + problem;
        }

        const QString copy = m_dir.filePath(QFileInfo(TsFile(language)).fileName());
        QVERIFY(QFile::copy(TsFile(language), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(RQ_SOURCE_DIR));
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(RQ_LUPDATE),
                      QString::fromUtf8(RQ_LUPDATE_ARGS).split(QLatin1Char('|')) << QStringLiteral("-ts") << copy);
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        QSet<QString> kept;
        for (const Entry& entry : entries)
            kept << entry.Key();
        QSet<QString> code;
        for (const Entry& entry : ReadTs(copy))
            if (entry.type != QLatin1String("vanished") && entry.type != QLatin1String("obsolete"))
                code << entry.Key();
        for (const QString& key : code - kept)
            problems << QStringLiteral("new in the code: ") + key;
        for (const QString& key : kept - code)
            problems << QStringLiteral("gone from the code: ") + key;
        QVERIFY2(problems.isEmpty(),
                 qPrintable(QStringLiteral("\n%1\nRun `cmake --build build --target rq_update_translations` and "
                                           "translate what it marks unfinished.")
                                .arg(problems.join(QLatin1Char('\n')))));
    }

    void windowsSpeakTheLanguage_data() { Languages(); }

    // The sharing dialog opens in English and follows a switch to the
    // language while open: no English source left, no text cut off by its
    // fixed size, the typed title kept. The rest of the sharing (the sign-in
    // prompt, the progress and the result windows) shows no English source
    // either.
    void windowsSpeakTheLanguage()
    {
        QFETCH(QString, language);
        NeedHost();
        Translations translations({QStringLiteral(RQ_QM_DIR)});
        QVERIFY(translations.Use(QStringLiteral("en")));
        const auto english = EnglishLooks(ReadTs(TsFile(language)));
        QStringList found;
        const auto findEnglish = [&](QWidget* window) {
            for (const QString& text : ShownTexts(window))
                for (const auto& [look, key] : english)
                    if (look.match(text).hasMatch())
                        found << QStringLiteral("%1: \"%2\" is %3").arg(window->objectName(), text, key);
        };
        HostApplication host(TestSupport::EmulatedRun(m_emulator, *m_run));
        QSignalSpy finished(&host, &HostApplication::Finished);
        QVERIFY(host.Share(ioPath(m_clip.toStdString())));
        QTRY_VERIFY(SharingDialog());
        QWidget* dialog = SharingDialog();
        auto* title = dialog->findChild<QLineEdit*>(QStringLiteral("titleEdit"));
        title->selectAll();
        QTest::keyClicks(title, QStringLiteral("Sunset over the harbour"));

        QVERIFY(translations.Use(language));
        findEnglish(dialog);
        // Laid out now, as the next paint would.
        QCoreApplication::sendPostedEvents();
        dialog->layout()->activate();
        QStringList clipped;
        for (QWidget* widget : dialog->findChildren<QWidget*>())
        {
            if (!widget->isVisible() || !(qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget)))
                continue;
            const QRect place(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
            const int needed = qobject_cast<QAbstractButton*>(widget) ? widget->sizeHint().width()
                                                                      : widget->minimumSizeHint().width();
            if (!dialog->rect().contains(place) || place.width() < needed)
                clipped << QStringLiteral("%1 %2 wide (needs %3)").arg(widget->objectName()).arg(place.width()).arg(needed);
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String(", "))));
        // Still of one fixed size: Qt's layout alone would raise the minimum above the maximum.
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QCOMPARE(dialog->size(), dialog->maximumSize());
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("youTubeLabel"))->text(), QStringLiteral("YouTube"));
        QCOMPARE(title->text(), QStringLiteral("Sunset over the harbour"));

        QStringList seen;
        WindowWatcher watcher([&](QWidget* window) {
            seen << window->objectName();
            findEnglish(window);
        });
        QStringList lines;
        UnattendedRun user(10min, [&lines](const QString& line) { lines << line; });
        QSignalSpy abandoned(&user, &UnattendedRun::Abandoned);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("startButton")), Qt::LeftButton);

        QTRY_VERIFY_WITH_TIMEOUT(finished.count() + abandoned.count() > 0, 120000);
        QVERIFY2(abandoned.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
        QCOMPARE(finished.first().first().toInt(), int(HostApplication::Shared));
        for (const char* window : {"sharingAuthorizationDialog", "sharingProgressWindow", "sharingResultWindow"})
            QVERIFY2(seen.contains(QLatin1String(window)), qPrintable(seen.join(QLatin1String(", "))));
        QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("\n") + found.join(QLatin1Char('\n'))));
        translations.Use(QStringLiteral("en"));
    }
};

TAVRIX_TEST_MAIN(TestTranslations)
#include "tst_Translations.moc"
