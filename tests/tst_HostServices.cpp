#include "AppServices.h"
#include "CoreUtils.h"
#include "SocialUtils.h"

#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

using Tavrix::RQ::CheckPathAndAnnoyUserIfInvalid;
using Tavrix::RQ::Service::Sharing::FixFileNameForOS;

namespace {
struct Presented
{
    QWidget* parent = nullptr;
    QString title;
    QString text;
};
} // namespace

class TestHostServices : public QObject
{
    Q_OBJECT

private:
    QList<Presented> presented;
    QTemporaryDir workDir;

    QString Work(const QString& relative) const { return workDir.filePath(relative); }

private slots:
    void init()
    {
        presented.clear();
        Tavrix::RQ::SetPathProblemPresenter([this](QWidget* parent, const QString& title, const QString& text) {
            presented.append({parent, title, text});
        });
    }

    void fixFileName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("fixed");

        // Names that are fine as they are.
        for (const char* kept : {"My holiday 2024", "Видео · 動画 😀", ".config", "CONSOLE", "COM10", "LPT", "my con"})
            QTest::newRow(kept) << QByteArray(kept) << QByteArray(kept);
        QTest::newRow("forbidden characters") << QByteArray("a<b>c:d\"e/f\\g|h?i*j") << QByteArray("a_b_c_d_e_f_g_h_i_j");
        QTest::newRow("path climbing") << QByteArray("../../etc/passwd") << QByteArray(".._.._etc_passwd");
        QTest::newRow("control characters") << QByteArray("tab\there\r\nnext\x01\x1f\x7f end\xc2\x85")
                                            << QByteArray("tabherenext end");
        QTest::newRow("broken UTF-8") << QByteArray("\xff\xfe" "abc\xc3") << QByteArray("__abc_");
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf" "b") << QByteArray("a__b");
        QTest::newRow("trailing dots and blanks") << QByteArray("clip. . .  ") << QByteArray("clip");
        QTest::newRow("empty") << QByteArray("") << QByteArray("Untitled");
        QTest::newRow("two dots") << QByteArray("..") << QByteArray("Untitled");
        QTest::newRow("only blanks") << QByteArray("     ") << QByteArray("Untitled");
        QTest::newRow("only control characters") << QByteArray("\n\t\r") << QByteArray("Untitled");
        QTest::newRow("only forbidden") << QByteArray("???") << QByteArray("___");
        // Device names, whatever their case, extension or superscript digit, get a leading "_".
        for (const char* reserved : {"con.txt", "aux .mp4", "PrN.tar.gz", "lpt9.mp4", "COM\xc2\xb9.avi", "conin$"})
            QTest::newRow(reserved) << QByteArray(reserved) << "_" + QByteArray(reserved);
        QTest::newRow("Nul with blank") << QByteArray("Nul ") << QByteArray("_Nul");
        QTest::newRow("made reserved by cleaning") << QByteArray("C\x01ON.\x02txt") << QByteArray("_CON.txt");

        QTest::newRow("long ASCII") << QByteArray(300, 'a') << QByteArray(238, 'a');
        QTest::newRow("long three-byte") << QByteArray("動").repeated(100) << QByteArray("動").repeated(79);
        QTest::newRow("cut leaves a blank") << QByteArray(237, 'a') + QByteArray(" bcd") << QByteArray(237, 'a');
        QTest::newRow("reserved once cut")
            << QByteArray("CON") + QByteArray(300, ' ') + "x" << QByteArray("_CON");
    }

    void fixFileName()
    {
        QFETCH(QByteArray, name);
        const std::string fixed = FixFileNameForOS(name.toStdString());
        QTEST(QByteArray::fromStdString(fixed), "fixed");

        // What every answer must be, whatever the input.
        QVERIFY(!fixed.empty());
        // Room is left for "." and an extension of up to 16 bytes.
        QVERIFY(fixed.size() + 1 + 16 <= 255);
        const QString text = QString::fromStdString(fixed);
        QCOMPARE(text.toUtf8(), QByteArray::fromStdString(fixed)); // valid UTF-8
        QVERIFY(!text.endsWith('.') && !text.endsWith(' '));
        for (const QChar c : text)
        {
            QVERIFY2(!QStringLiteral("<>:\"/\\|?*").contains(c), qPrintable(text));
            QVERIFY(c.category() != QChar::Other_Control);
        }
        // A second pass changes nothing.
        QCOMPARE(FixFileNameForOS(fixed), fixed);
    }

    void folderCheck_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("messageStart");

        QTest::newRow("existing folder") << Work("existing") << true << "";
        QTest::newRow("missing nested folder") << Work("new/deeper/still") << true << "";
        QTest::newRow("folder with blanks and unicode") << Work("my vidéos 動画") << true << "";
        QTest::newRow("empty") << "" << false << "No folder is chosen";
        QTest::newRow("blanks") << "   " << false << "No folder is chosen";
        QTest::newRow("a file") << Work("file.txt") << false << "\"";
        QTest::newRow("below a file") << Work("file.txt/sub") << false << "The folder";
        QTest::newRow("pseudo file system") << "/proc" << false << "Files cannot be saved";
        QTest::newRow("below a pseudo file system") << "/proc/rq-not-here" << false << "The folder";
        // Permission bits do not stop root; the pseudo file system rows cover it there.
        if (geteuid() != 0)
            QTest::newRow("read-only") << Work("read-only") << false << "Files cannot be saved";
    }

    void folderCheck()
    {
        QFETCH(QString, folder);
        QFETCH(bool, accepted);
        QFETCH(QString, messageStart);
        QVERIFY(QDir().mkpath(Work("existing")));
        QVERIFY(QDir().mkpath(Work("read-only")));
        QVERIFY(QFile::setPermissions(Work("read-only"), QFile::ReadOwner | QFile::ExeOwner));
        QFile file(Work("file.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("the user's notes");
        file.close();

        QWidget parent;
        QCOMPARE(CheckPathAndAnnoyUserIfInvalid(folder, &parent), accepted);

        if (accepted)
        {
            QVERIFY(presented.isEmpty());
            QVERIFY(QFileInfo(folder).isDir());
            // The write probe leaves nothing behind.
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        }
        else
        {
            QCOMPARE(presented.size(), 1);
            QCOMPARE(presented[0].parent, &parent);
            QVERIFY(!presented[0].title.isEmpty());
            QVERIFY2(presented[0].text.startsWith(messageStart), qPrintable(presented[0].text));
            if (!folder.trimmed().isEmpty())
                QVERIFY2(presented[0].text.contains(QDir::toNativeSeparators(folder)), qPrintable(presented[0].text));
        }
        // Whatever was asked, the user's file is untouched.
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("the user's notes"));
    }

    void defaultPresenterIsAWarningBoxUnderTheParent()
    {
        Tavrix::RQ::SetPathProblemPresenter({});
        QWidget parent;
        QString seen;
        // Closes the box as soon as it is up, so the test never waits on a user.
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            {
                seen = QStringList{box->icon() == QMessageBox::Warning ? "warning" : "other icon",
                                   box->parentWidget() == &parent ? "under the parent" : "elsewhere", box->text()}
                           .join(", ");
                box->reject();
            }
        });
        closer.start(10);

        QVERIFY(!CheckPathAndAnnoyUserIfInvalid(QString(), &parent));
        QVERIFY2(seen.startsWith("warning, under the parent, No folder is chosen"), qPrintable(seen));
    }

    void localeFollowsQLocaleUntilSet()
    {
        const QLocale previous;
        Tavrix::App::LookAndFeelManager lookAndFeel;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(QString::fromStdString(lookAndFeel.GetLocale()), QStringLiteral("de_DE"));
        lookAndFeel.SetLocale("ja_JP");
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(QString::fromStdString(lookAndFeel.GetLocale()), QStringLiteral("ja_JP"));
        lookAndFeel.SetLocale("");
        QCOMPARE(QString::fromStdString(lookAndFeel.GetLocale()), QStringLiteral("fr_FR"));
        QLocale::setDefault(previous);
    }

    // The link the dialog puts in a video's description (its default home page is the dialog's own
    // test): a home page with a query of its own keeps it.
    void descriptionLinkKeepsTheHomePagesQuery()
    {
        const Tavrix::App::LinksGenerator generator("https://example.org/app?lang=de");
        const QString link = QString::fromStdString(
            generator.GetLink(Tavrix::App::ILinksGenerator::HOMEPAGE_URL_youtube_description));
        QCOMPARE(link, QStringLiteral("https://example.org/app?lang=de&utm_source=youtube&utm_medium=video_description"));
    }
};

TAVRIX_TEST_MAIN(TestHostServices)
#include "tst_HostServices.moc"
