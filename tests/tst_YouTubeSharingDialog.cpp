#include "UI/YouTubeSharingDialog.h"

#include "UI/YouTubeSharingErrorHandler.h"
#include "UI/YouTubeSharingWidget.h"

#include "AppServices.h"
#include "FakeYoutubeProtocol.h"
#include "FindWidget.h"
#include "LogCapture.h"
#include "MediaFakes.h"
#include "PathsFakes.h"
#include "TestMain.h"
#include "TavrixWidget.h"
#include "WordTranslator.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
#include <memory>

using namespace Tavrix;
using Tavrix::RQ::ConvertationContext;
using Tavrix::RQ::PathsSettings;
using Tavrix::RQ::Service::Sharing::YouTube::YouTubeSharingLogic;
using namespace Tavrix::RQ::Service::Sharing::YouTube::UI;
using namespace TestSupport;

namespace {
const QString kTooShort = QStringLiteral("Too short title name.");
const QString kIncorrect = QStringLiteral("Incorrect symbols in filename");
const QString kHomePage = QStringLiteral("https://orbitrec.example/?utm_source=youtube&utm_medium=video_description");
const QString kDefaultDescription = QStringLiteral("Created with Orbit Rec\n") + kHomePage;
const QString kDefaultTags = QStringLiteral("orbit, orbit screen recorder");
constexpr qint64 kSecond = 1000000;

// "hd" is the default; "web" writes another container, so the file name
// shows whose extension was taken.
QByteArray Catalogue()
{
    QByteArray json = CatalogueJson({
        {"hd", {"format_online_video_for_youtube", "default_preset_for_youtube"}, "HD 720p", "HD 720p (de)", 1280, 720},
        {"web", {"format_online_video_for_youtube"}, "Web 360p", "Web 360p (de)", 640, 360},
    });
    const QByteArray mp4 = "\"fileExtension\": \"mp4\"";
    return json.replace(json.lastIndexOf(mp4), mp4.size(), "\"fileExtension\": \"webm\"");
}

// The form's texts in English, by widget.
const QList<QPair<const char*, QString>> kFormTexts = {
    {"signInButton", "Sign In..."}, {"youTubeLabel", "YouTube"}, {"titleLabel", "Title:"},
    {"resolutionLabel", "Resolution:"}, {"descriptionLabel", "Description:"}, {"categoryLabel", "Category:"},
    {"tagsLabel", "Tags:"}, {"privacyLabel", "Privacy:"}, {"saveAsLocalFileCheckBox", "Save to:"},
    {"browseButton", "Browse"}, {"resolutionTextLabel", "Export Settings:"},
    {"sizeTextLabel", "Estimated File Size:"}, {"durationTextLabel", "Duration:"}, {"cancelButton", "Cancel"},
    {"startButton", "Start"},
};

// The layout's class, then "name@alignment" per item ("stretch" for a spacer,
// "*n" after an item, or in a row, that stretches). A grid's items read
// "row:column=name@alignment", sorted; one over more columns "3:0-1=...".
QString DescribeLayout(QLayout* layout)
{
    auto* grid = qobject_cast<QGridLayout*>(layout);
    auto* box = qobject_cast<QBoxLayout*>(layout);
    QStringList items;
    for (int i = 0; i < layout->count(); ++i)
    {
        QLayoutItem* item = layout->itemAt(i);
        QString text = item->widget()
            ? item->widget()->objectName() + QLatin1Char('@') + QString::number(int(item->alignment()), 16)
            : QStringLiteral("stretch");
        if (box && box->stretch(i) != 0)
            text += QStringLiteral("*%1").arg(box->stretch(i));
        if (grid)
        {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            const QString columns = columnSpan > 1 ? QStringLiteral("%1-%2").arg(column).arg(column + columnSpan - 1)
                                                   : QString::number(column);
            text = QStringLiteral("%1:%2=").arg(row).arg(columns) + text;
            if (grid->rowStretch(row) != 0)
                text += QStringLiteral("*%1").arg(grid->rowStretch(row));
        }
        items << text;
    }
    if (grid)
        items.sort();
    return QString::fromLatin1(layout->metaObject()->className()) + QLatin1Char(' ') + items.join(QLatin1Char(','));
}

struct Started
{
    ConvertationContext context;
    YouTubeSharingLogic::YouTubeInfoData info;
    bool needSaveAfterExport;
};
} // namespace

class TestYouTubeSharingDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::shared_ptr<PathsSettings> pathsSettings;
    std::shared_ptr<FakeStreamsBuilder> builder;
    std::shared_ptr<App::CustomizationManager> customization;
    std::shared_ptr<App::LookAndFeelManager> lookAndFeel;
    std::shared_ptr<App::LinksGenerator> links;
    std::unique_ptr<YouTubeSharingErrorHandler> errorHandler;
    std::unique_ptr<YouTubeSharingDialog> dialog;
    QList<Started> started;
    // The windows over which the host told of a folder problem.
    QList<QWidget*> presented;
    // The language the category and privacy fields are given in.
    bool german = false;
    const QLocale systemLocale;

    template <class T>
    T* Find(const char* name) const
    {
        return FindWidget<T>(dialog.get(), name);
    }

    QString Folder(const QString& name) const { return QDir::fromNativeSeparators(dir->filePath(name)); }

    ConvertationContext MakeContext(const QString& source = QStringLiteral("/videos/clip.mp4")) const
    {
        ConvertationContext context;
        context.sourcePath = ioPath(source.toStdString());
        context.conversion =
            ConvertationContext::Conversion{MakeProjectHandle(), nullptr, {{5 * kSecond, 2 * kSecond}}, true};
        context.extra = ConvertationContext::Extra{"extra", 7};
        return context;
    }

    void ShowWithFile(const QString& source = QStringLiteral("/videos/clip.mp4"))
    {
        dialog->SetFileContext(MakeContext(source));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    void SelectPreset(const QString& id)
    {
        QComboBox* combo = Find<QComboBox>("resolutionComboBox");
        const int index = combo->findData(id, Qt::UserRole);
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
    }

    void ClickStart()
    {
        QPushButton* start = Find<QPushButton>("startButton");
        QVERIFY(start->isEnabled());
        QTest::mouseClick(start, Qt::LeftButton);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QVERIFY(WriteFile(dir->filePath(QStringLiteral("Presets-utf8-orbitrec-sharing.json")), Catalogue()));
        QVERIFY(WriteFile(dir->filePath(QStringLiteral("PresetsOrder-utf8-orbitrec-sharing.json")),
                          OrderJson({"hd", "web"})));
        App::SetPathToResources(ioPath(dir->path().toStdString()));

        pathsSettings = MakePathsSettings(dir->filePath(QStringLiteral("settings.ini")));
        pathsSettings->SetResultsFolderPath(Folder("results"));
        builder = std::make_shared<FakeStreamsBuilder>();
        builder->video = FakeStreamsBuilder::MakeVideo(1920, 1080, 60 * kSecond);
        customization = std::make_shared<App::CustomizationManager>("Orbit Rec", " Orbit", "Screen \t Recorder ");
        lookAndFeel = std::make_shared<App::LookAndFeelManager>();
        lookAndFeel->SetLocale("en_GB");
        links = std::make_shared<App::LinksGenerator>("https://orbitrec.example/");
        errorHandler = std::make_unique<YouTubeSharingErrorHandler>();
        started.clear();
        presented.clear();
        german = false;
        RQ::SetPathProblemPresenter([this](QWidget* parent, const QString&, const QString&) { presented << parent; });
        dialog = std::make_unique<YouTubeSharingDialog>(*errorHandler, nullptr, pathsSettings, builder, customization,
                                                        lookAndFeel, links, nullptr);
        connect(dialog.get(), &YouTubeSharingDialog::StartRequested, this,
                [this](const ConvertationContext& context, const YouTubeSharingLogic::YouTubeInfoData& info,
                       bool keep) { started.append({context, info, keep}); });
        // In the manager's order: each setter fills both lists.
        dialog->SetPrivacyDescriptionFetcher([] {
            return MakeField({{"public", "Public"}, {"unlisted", "Unlisted"}, {"private", "Private"}}, "private");
        });
        dialog->SetCategoryDescriptionFetcher([this] {
            return MakeField(
                {{"1", german ? "Filme" : "Film"}, {"10", german ? "Musik" : "Music"}, {"22", german ? "Leute" : "People"}},
                "22");
        });
    }

    void cleanup()
    {
        dialog.reset();
        errorHandler.reset();
        RQ::SetPathProblemPresenter({});
        App::SetPathToResources(ioPath());
        QLocale::setDefault(systemLocale);
    }

    // An application-modal window with only a close button, of one fixed size:
    // shown with a file, as large as its filled-in form needs.
    void windowSetUp()
    {
        // Qt adds the title and system-menu hints that a close button needs.
        QDialog reference;
        reference.setWindowFlags(Qt::WindowFlags(0x0A000103));
        QCOMPARE(dialog->windowFlags(), reference.windowFlags());
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QCOMPARE(dialog->minimumSize(), dialog->size());
        QCOMPARE(dialog->maximumSize(), dialog->size());

        ShowWithFile();
        QCOMPARE(dialog->minimumSize(), dialog->size());
        QVERIFY(dialog->width() >= dialog->layout()->minimumSize().width());
        QVERIFY(dialog->height() >= dialog->layout()->minimumSize().height());
    }

    // The form's record, built on a widget of its own (it needs one).
    void formHoldsTheRecordAndFiveLines()
    {
        QVERIFY_EXCEPTION_THROWN(YouTubeSharingWidget(nullptr), std::logic_error);
        QWidget form;
        const YouTubeSharingWidget ui(&form);
        // Nothing in the record but the 38 pointers.
        QCOMPARE(sizeof(YouTubeSharingWidget), 38 * sizeof(QWidget*));

        // Named besides the record's widgets (the layouts pin their names) only
        // plain frames with no look of their own, which the style sheet draws as
        // lines; the inner parts of Qt's composite widgets are "qt_…" or nameless.
        int named = 0;
        QStringList lines;
        for (QWidget* widget : form.findChildren<QWidget*>())
        {
            const QString name = widget->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
                continue;
            ++named;
            if (widget->metaObject() != &QFrame::staticMetaObject)
                continue;
            QCOMPARE(static_cast<QFrame*>(widget)->frameShape(), QFrame::NoFrame);
            lines << widget->parentWidget()->objectName() + QLatin1Char('/') + name;
        }
        QCOMPARE(named, 38 + 5);
        lines.sort();
        QCOMPARE(lines, QStringList({"centralFrame/horizontalLine", "centralFrame/horizontalLine",
                                     "socialInfoFrame/socialInfoSeparator", "videoInfoFrame/videoInfoSeparator",
                                     "videoInfoFrame/videoInfoSeparator"}));

        for (const auto& [name, text] : kFormTexts)
            QCOMPARE(form.findChild<QWidget*>(QLatin1String(name))->property("text").toString(), text);
        QCOMPARE(ui.descriptionText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(ui.tagsText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    // Each layout holds its items in order, with no margins and no spacing;
    // the items are the widgets the rows name, so the layout's owner is their parent.
    void layouts_data()
    {
        QTest::addColumn<QString>("items");
        const QList<QPair<const char*, const char*>> rows{
            {"userInfoFrame", "QVBoxLayout userNameLabel@21,signInButton@41"},
            {"socialInfoFrame", "QHBoxLayout youTubeIconLabel@81,youTubeLabel@81,stretch,userPictureWidget@81,"
                                "userInfoFrame@81,socialInfoSeparator@0,signOutButton@81"},
            {"inputEditFrame", "Tavrix::UI::TGridLayout 0:0=titleLabel@81,0:1=titleEdit@21,1:0=descriptionLabel@21,"
                               "1:1=descriptionText@21,2:0=tagsLabel@21,2:1=tagsText@21"},
            {"inputComboboxFrame", "Tavrix::UI::TGridLayout 0:0=resolutionLabel@81,0:1=resolutionComboBox@21,"
                                   "1:0=categoryLabel@81,1:1=categoryComboBox@21,2:0=privacyLabel@81,"
                                   "2:1=privacyComboBox@21,3:0-1=errorLabel@21"},
            {"inputFrame", "QHBoxLayout inputEditFrame@20,inputComboboxFrame@20"},
            {"videoInfoFrame", "QHBoxLayout stretch,resolutionTextLabel@84,resolutionValueLabel@84,stretch,"
                               "videoInfoSeparator@0,stretch,sizeTextLabel@84,sizeValueLabel@84,stretch,"
                               "videoInfoSeparator@0,stretch,durationTextLabel@84,durationValueLabel@84,stretch"},
            {"controlFrame", "QHBoxLayout saveAsLocalFileCheckBox@81,browseComboBox@81,browseButton@81,stretch,"
                             "cancelButton@84,startButton@84"},
            {"centralFrame", "QVBoxLayout socialInfoFrame@0,horizontalLine@0,inputFrame@0,horizontalLine@0,"
                             "videoInfoFrame@0,controlFrame@0"},
            {"dialog", "QHBoxLayout centralFrame@0"},
        };
        for (const auto& [owner, items] : rows)
            QTest::newRow(owner) << QString::fromLatin1(items);
    }

    void layouts()
    {
        QFETCH(QString, items);
        const QLatin1String owner(QTest::currentDataTag());
        QWidget* widget = owner == QLatin1String("dialog") ? dialog.get() : dialog->findChild<QWidget*>(owner);
        QVERIFY(widget && widget->layout());
        QCOMPARE(DescribeLayout(widget->layout()), items);
        QCOMPARE(widget->layout()->contentsMargins(), QMargins(0, 0, 0, 0));
        // A grid answers 0 only when both its spacings are 0.
        QCOMPARE(widget->layout()->spacing(), 0);
    }

    void constructionNeedsEveryService_data()
    {
        QTest::addColumn<int>("missing");
        int missing = 0;
        for (const char* service : {"paths settings", "streams builder", "customization", "look and feel", "links"})
            QTest::newRow(service) << missing++;
    }

    void constructionNeedsEveryService()
    {
        QFETCH(int, missing);
        dialog.reset();
        YouTubeSharingErrorHandler handler;
        try
        {
            YouTubeSharingDialog broken(handler, nullptr, missing == 0 ? nullptr : pathsSettings,
                                        missing == 1 ? nullptr : builder, missing == 2 ? nullptr : customization,
                                        missing == 3 ? nullptr : lookAndFeel, missing == 4 ? nullptr : links, nullptr);
            QFAIL("a dialog was made without a service");
        }
        catch (const std::logic_error& error)
        {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("NotNull can not initialized by null"));
        }
        // The half-built dialog left no observer behind in the settings.
        pathsSettings->SetUserSelectedSavePath(Folder("later"));
        QCOMPARE(pathsSettings->GetUserSelectedSavePath(), Folder("later"));
    }

    void titleCheck_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");

        QTest::newRow("leading blank") << " My clip" << kIncorrect;
        QTest::newRow("less-than first") << "<clip" << kIncorrect;
        QTest::newRow("less-than inside") << "my <b> clip" << kIncorrect;
        QTest::newRow("greater-than last") << "clip>" << kIncorrect;
        QTest::newRow("plain words") << "My holiday clip" << "";
        QTest::newRow("trailing blank") << "clip " << "";
        QTest::newRow("other file-name characters") << "take 2: final?" << "";
        QTest::newRow("non-latin") << QString::fromUtf8("Видео 動画") << "";
    }

    void titleCheck()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const bool startEnabled = message.isEmpty();

        // Signed out, Start stays enabled for a good title: the check leaves
        // alone the errors that are not its own.
        errorHandler->SetError(YouTubeSharingErrorHandler::UserNotLoggedIn, true);
        QLineEdit* title = Find<QLineEdit>("titleEdit");
        // Start from both errors at once, so a row shows that each is cleared;
        // an empty title is too short.
        title->setText(QStringLiteral("<"));
        title->clear();
        QCOMPARE(Find<QLabel>("errorLabel")->text(), kTooShort);
        QVERIFY(!Find<QPushButton>("startButton")->isEnabled());

        title->insert(typed); // as an input method gives it
        QCOMPARE(title->text(), typed); // the pattern blocks nothing
        QCOMPARE(Find<QLabel>("errorLabel")->text(), message);
        QCOMPARE(Find<QPushButton>("startButton")->isEnabled(), startEnabled);
        QCOMPARE(errorHandler->IsUserNotLoggedInAndNoError(), startEnabled);
    }

    // Start fills the request from the form, into the results folder or, with
    // "Save to" ticked, the chosen folder. A folder that is a file is refused
    // with the host's notice over the dialog, and nothing starts.
    void start_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("results folder") << false << false;
        QTest::newRow("chosen folder") << true << false;
        QTest::newRow("results folder is a file") << false << true;
        QTest::newRow("chosen folder is a file") << true << true;
    }

    void start()
    {
        QFETCH(bool, keep);
        QFETCH(bool, folderIsAFile);
        const QString folder = Folder(folderIsAFile ? "notes.txt" : keep ? "mine" : "results");
        if (folderIsAFile)
            QVERIFY(WriteFile(folder, "the user's notes"));
        pathsSettings->SetUserSelectedSavePath(keep ? folder : Folder("mine"));
        pathsSettings->SetResultsFolderPath(keep ? Folder("results") : folder);
        ShowWithFile();
        SelectPreset("web");
        const QString typed = QStringLiteral("My   clip: take 2?  ");
        Find<QLineEdit>("titleEdit")->setText(typed);
        Find<QPlainTextEdit>("descriptionText")->setPlainText(QStringLiteral("What I did"));
        Find<QPlainTextEdit>("tagsText")->setPlainText(QStringLiteral("holiday, sea"));
        Find<QComboBox>("categoryComboBox")->setCurrentIndex(1);
        Find<QCheckBox>("saveAsLocalFileCheckBox")->setChecked(keep);

        ClickStart();

        QVERIFY(dialog->isVisible()); // hiding is the manager's business
        if (folderIsAFile)
        {
            QVERIFY(started.isEmpty());
            QCOMPARE(presented, QList<QWidget*>{dialog.get()});
            return;
        }
        QVERIFY(presented.isEmpty());
        QCOMPARE(started.size(), 1);
        const Started& request = started.first();
        QCOMPARE(QString::fromStdString(request.context.outputPath.utf8string()),
                 folder + QStringLiteral("/My clip_ take 2_.webm"));
        QCOMPARE(request.needSaveAfterExport, keep);
        QVERIFY(QFileInfo(folder).isDir()); // the host check made it

        const auto& info = request.info;
        QCOMPARE((QStringList{info.title, info.description, info.tags, info.categoryId, info.privacy}),
                 (QStringList{typed, "What I did", "holiday, sea", "10", "private"}));

        // The rest of the context travels unchanged, with the chosen preset.
        QCOMPARE(request.context.sourcePath.utf8string(), std::string("/videos/clip.mp4"));
        QVERIFY(request.context.conversion.has_value());
        QCOMPARE(request.context.conversion->preset->GetId(), std::string("web"));
        QCOMPARE(request.context.conversion->cutIntervals, MakeContext().conversion->cutIntervals);
        QVERIFY(request.context.conversion->flag);
        QVERIFY(request.context.extra.has_value());
        QCOMPARE(request.context.extra->value, 7);
    }

    // Cancel forgets the file before it asks to cancel; the close button asks
    // too but keeps the dialog and its file; Escape hides the dialog, forgets
    // the file and asks nothing. Return and Enter do nothing at all, even with
    // Start the default button, which QDialog would press.
    void closing_data()
    {
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("hides");
        QTest::addColumn<bool>("keepsFile");
        QTest::newRow("Cancel") << true << false << false;
        QTest::newRow("close button") << true << false << true;
        QTest::newRow("Escape") << false << true << false;
        for (const char* key : {"Return in the title", "keypad Enter in the title", "Return", "Enter",
                                "shift keypad Enter"})
            QTest::newRow(key) << false << false << true;
    }

    void closing()
    {
        QFETCH(bool, asks);
        QFETCH(bool, hides);
        QFETCH(bool, keepsFile);
        const QString how = QString::fromLatin1(QTest::currentDataTag());
        ShowWithFile();
        Find<QPushButton>("startButton")->setDefault(true);
        QLabel* resolution = Find<QLabel>("resolutionValueLabel");
        QCOMPARE(resolution->text(), QStringLiteral("1280x720"));
        QList<bool> builtWhenAsked;
        connect(dialog.get(), &YouTubeSharingDialog::CancelRequested, this, [&] { builtWhenAsked << builder->built; });
        QSignalSpy rejected(dialog.get(), &QDialog::rejected);

        if (how == QLatin1String("Cancel"))
            QTest::mouseClick(Find<QPushButton>("cancelButton"), Qt::LeftButton);
        else if (how == QLatin1String("close button"))
            QVERIFY(!dialog->close());
        else
        {
            const Qt::Key key = how.contains(QLatin1String("Return")) ? Qt::Key_Return
                : how.contains(QLatin1String("Enter")) ? Qt::Key_Enter : Qt::Key_Escape;
            const Qt::KeyboardModifiers modifiers =
                (how.contains(QLatin1String("keypad")) ? Qt::KeypadModifier : Qt::NoModifier)
                | (how.contains(QLatin1String("shift")) ? Qt::ShiftModifier : Qt::NoModifier);
            const bool inTitle = how.endsWith(QLatin1String("in the title"));
            QTest::keyClick(inTitle ? Find<QWidget>("titleEdit") : dialog.get(), key, modifiers);
        }

        QVERIFY(started.isEmpty());
        QCOMPARE(builtWhenAsked, asks ? QList<bool>{keepsFile} : QList<bool>());
        QCOMPARE(rejected.size(), hides ? 1 : 0);
        QCOMPARE(dialog->isVisible(), !hides);
        QCOMPARE(builder->built, keepsFile);
        if (how == QLatin1String("Cancel"))
        {
            // The facts stop following the resolution, and Start has nothing to export.
            SelectPreset("web");
            QCOMPARE(resolution->text(), QStringLiteral("1280x720"));
            LogCapture log;
            ClickStart();
            QVERIFY(started.isEmpty());
            QCOMPARE(log.Tagged(), QStringList{"E: Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingDialog::"
                                               "Impl::Start: No file to share, start ignored"});
        }
    }

    // A language change writes the default description and tags in the new
    // language over what was typed, asks for both lists again and selects
    // their defaults. The account look, the title and the file's facts survive
    // it, and every widget of the form carries the new locale. (The host's
    // translations test sees the form's own texts follow.)
    void languageChange()
    {
        ShowWithFile();
        QCOMPARE(Find<QPlainTextEdit>("descriptionText")->toPlainText(), kDefaultDescription);
        QCOMPARE(Find<QPlainTextEdit>("tagsText")->toPlainText(), kDefaultTags);
        const auto facts = [this] {
            return QStringList{Find<QLabel>("resolutionValueLabel")->text(), Find<QLabel>("sizeValueLabel")->text(),
                               Find<QLabel>("durationValueLabel")->text()};
        };
        const QStringList factsBefore = facts();

        Find<QPlainTextEdit>("descriptionText")->setPlainText(QStringLiteral("typed"));
        Find<QPlainTextEdit>("tagsText")->setPlainText(QStringLiteral("mine"));
        Find<QComboBox>("categoryComboBox")->setCurrentIndex(0);
        Find<QComboBox>("privacyComboBox")->setCurrentIndex(0);
        dialog->SetLoginStatus(true);
        dialog->SetUserName(QStringLiteral("Ann Example"));
        german = true;
        lookAndFeel->SetLocale("de_DE");
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));

        WordTranslator translator("YouTubeSharingWidget",
                                  {{"Created with %1\n%2", "Erstellt mit %1\n%2"}, {"%1, %1 %2", "%2 von %1"}});
        QCoreApplication::installTranslator(&translator);
        QTRY_COMPARE(Find<QPlainTextEdit>("descriptionText")->toPlainText(),
                     QStringLiteral("Erstellt mit Orbit Rec\n") + kHomePage);
        QCOMPARE(Find<QLineEdit>("titleEdit")->text(), QStringLiteral("clip"));
        QCOMPARE(Find<QPlainTextEdit>("tagsText")->toPlainText(), QStringLiteral("screen recorder von orbit"));
        QComboBox* category = Find<QComboBox>("categoryComboBox");
        QCOMPARE(ItemTexts(category), (QStringList{"Filme", "Musik", "Leute"}));
        QCOMPARE(category->currentData(Qt::UserRole).toString(), QStringLiteral("22"));
        QCOMPARE(Find<QComboBox>("privacyComboBox")->currentData(Qt::UserRole).toString(), QStringLiteral("private"));
        QCOMPARE(Find<QComboBox>("resolutionComboBox")->currentText(), QStringLiteral("HD 720p (de)"));

        QVERIFY(!Find<QPushButton>("signInButton")->isVisible());
        QVERIFY(Find<QLabel>("userNameLabel")->isVisible());
        QCOMPARE(Find<QLabel>("userNameLabel")->text(), QStringLiteral("Ann Example"));
        QCOMPARE(facts(), factsBefore);

        // The form's widgets carry the locale, the window itself does not.
        QWidget* central = Find<QWidget>("centralFrame");
        QCOMPARE(central->property("Locale").toString(), QStringLiteral("de_DE"));
        const QList<QWidget*> below = central->findChildren<QWidget*>();
        QVERIFY(below.size() > 38);
        for (QWidget* widget : below)
            QVERIFY2(widget->property("Locale").toString() == QStringLiteral("de_DE"),
                     qPrintable(widget->objectName()));
        QVERIFY(!dialog->property("Locale").isValid());
        QCoreApplication::removeTranslator(&translator);
    }

    // A list's default is found by its value, case and all.
    void defaultChoiceMatchesItsValueExactly()
    {
        dialog->SetPrivacyDescriptionFetcher(
            [] { return MakeField({{"public", "Public"}, {"private", "Private"}}, "Private"); });
        QCOMPARE(Find<QComboBox>("privacyComboBox")->count(), 2);
        QCOMPARE(Find<QComboBox>("privacyComboBox")->currentIndex(), -1);
    }

    // Signed out the form offers Sign In, signed in it shows the name; Sign
    // Out always shows but works only signed in. Each button asks for its own.
    void accountLook()
    {
        ShowWithFile();
        dialog->SetUserName(QStringLiteral("Ann Example"));
        QSignalSpy logIn(dialog.get(), &YouTubeSharingDialog::LogInRequested);
        QSignalSpy logOut(dialog.get(), &YouTubeSharingDialog::LogOutRequested);
        // As made, then signed in, then signed out again.
        for (const int step : {0, 1, 2})
        {
            const bool loggedIn = step == 1;
            if (step > 0)
                dialog->SetLoginStatus(loggedIn);
            QCOMPARE(Find<QPushButton>("signInButton")->isVisible(), !loggedIn);
            QVERIFY(Find<QPushButton>("signOutButton")->isVisible());
            QCOMPARE(Find<QPushButton>("signOutButton")->isEnabled(), loggedIn);
            QCOMPARE(Find<QLabel>("userNameLabel")->isVisible(), loggedIn);
            QCOMPARE(Find<QLabel>("userNameLabel")->text(), QStringLiteral("Ann Example"));

            logIn.clear();
            logOut.clear();
            QTest::mouseClick(Find<QPushButton>(loggedIn ? "signOutButton" : "signInButton"), Qt::LeftButton);
            QCOMPARE(logOut.size(), loggedIn ? 1 : 0);
            QCOMPARE(logIn.size(), loggedIn ? 0 : 1);
        }
    }

    // A real picture stays when the placeholder changes; without one the
    // placeholder shows. (The host look test sees an empty picture take the
    // style sheet's placeholder.)
    void missingPictureShowsThePlaceholder()
    {
        auto* picture = Find<UI::TPixmapWidget>("userPictureWidget");
        QPixmap face(8, 8);
        face.fill(Qt::red);
        QPixmap placeholder(8, 8);
        placeholder.fill(Qt::gray);

        dialog->SetUserPicture(face);
        QVERIFY(dialog->setProperty("notAuthenticatedPixmap", placeholder));
        QCOMPARE(picture->pixmap().toImage(), face.toImage());
        dialog->SetUserPicture(QPixmap());
        QCOMPARE(picture->pixmap().toImage(), placeholder.toImage());
    }

    void longFileNameIsCutToHundred()
    {
        const QString stem = QString::fromUtf8("動画").repeated(75);
        ShowWithFile(QStringLiteral("/videos/") + stem + QStringLiteral(".mp4"));
        QCOMPARE(Find<QLineEdit>("titleEdit")->text(), stem.left(100));
        QCOMPARE(Find<QLabel>("errorLabel")->text(), QString());

        // A hundred characters of three bytes each still make a file name that can be written.
        SelectPreset("web");
        ClickStart();
        QCOMPARE(started.size(), 1);
        const QString output = QString::fromStdString(started.first().context.outputPath.utf8string());
        QVERIFY(output.endsWith(QStringLiteral(".webm")));
        QFile file(output);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
        file.close();
        QVERIFY(file.remove());
    }
};

TAVRIX_TEST_MAIN(TestYouTubeSharingDialog)
#include "tst_YouTubeSharingDialog.moc"
