#include "UI/YouTubeSharingWidget.h"

#include "TavrixWidget.h"
#include "TestMain.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTranslator>

using namespace Tavrix::RQ::Service::Sharing::YouTube::UI;

namespace {

// The record's pointers in record order.
QVector<QWidget*> RecordEntries(const YouTubeSharingWidget& ui)
{
    return {ui.centralFrame,       ui.socialInfoFrame,       ui.youTubeIconLabel,     ui.youTubeLabel,
            ui.userPictureWidget,  ui.userInfoFrame,         ui.userNameLabel,        ui.signInButton,
            ui.signOutButton,      ui.inputFrame,            ui.inputEditFrame,       ui.titleLabel,
            ui.titleEdit,          ui.descriptionLabel,      ui.descriptionText,      ui.tagsLabel,
            ui.tagsText,           ui.inputComboboxFrame,    ui.resolutionLabel,      ui.resolutionComboBox,
            ui.categoryLabel,      ui.categoryComboBox,      ui.privacyLabel,         ui.privacyComboBox,
            ui.errorLabel,         ui.videoInfoFrame,        ui.resolutionTextLabel,  ui.resolutionValueLabel,
            ui.sizeTextLabel,      ui.sizeValueLabel,        ui.durationTextLabel,    ui.durationValueLabel,
            ui.controlFrame,       ui.saveAsLocalFileCheckBox, ui.browseComboBox,     ui.browseButton,
            ui.startButton,        ui.cancelButton};
}

// Widgets the form named; the inner parts of Qt's composite widgets are "qt_…" or nameless.
QList<QWidget*> NamedWidgets(QWidget* root)
{
    QList<QWidget*> named;
    for (QWidget* widget : root->findChildren<QWidget*>())
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_")))
            named.append(widget);
    return named;
}

QString Hex(Qt::Alignment alignment)
{
    return QString::number(int(alignment), 16);
}

// "name@alignment" per item, "stretch" for a spacer, in layout order.
QString DescribeBox(QLayout* layout)
{
    QStringList items;
    for (int i = 0; i < layout->count(); ++i)
    {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget())
            items << item->widget()->objectName() + QLatin1Char('@') + Hex(item->alignment());
        else if (item->spacerItem())
            items << QStringLiteral("stretch");
        else
            items << QStringLiteral("?");
    }
    return items.join(QLatin1Char(','));
}

// "row:column=name@alignment" per item, row by row, where it starts; an
// item over more than one column says how far it reaches ("3:0-1=...").
QString DescribeGrid(QGridLayout* grid)
{
    QStringList cells;
    for (int row = 0; row < grid->rowCount(); ++row)
        for (int column = 0; column < grid->columnCount(); ++column)
        {
            QLayoutItem* item = grid->itemAtPosition(row, column);
            if (!item)
                continue;
            int start = 0;
            int startColumn = 0;
            int rowSpan = 0;
            int columnSpan = 0;
            grid->getItemPosition(grid->indexOf(item), &start, &startColumn, &rowSpan, &columnSpan);
            if (start != row || startColumn != column)
                continue;
            const QString columns = columnSpan > 1 ? QStringLiteral("%1-%2").arg(column).arg(column + columnSpan - 1)
                                                   : QString::number(column);
            cells << QStringLiteral("%1:%2=%3@%4")
                         .arg(row)
                         .arg(columns)
                         .arg(item->widget() ? item->widget()->objectName() : QStringLiteral("?"))
                         .arg(Hex(item->alignment()));
        }
    return cells.join(QLatin1Char(','));
}

// Every text a user can read on the form's widgets, by object name.
QMap<QString, QString> Texts(QWidget* root)
{
    QMap<QString, QString> texts;
    for (QWidget* widget : NamedWidgets(root))
    {
        QString text = widget->toolTip() + QLatin1Char('|') + widget->windowTitle() + QLatin1Char('|');
        if (auto* label = qobject_cast<QLabel*>(widget))
            text += label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text += button->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            text += edit->text() + edit->placeholderText();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
            text += plain->toPlainText() + plain->placeholderText();
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            text += QString::number(combo->count()) + combo->currentText();
        // Separator pairs share a name; keep both.
        const QString key = texts.contains(widget->objectName()) ? widget->objectName() + QLatin1String("#2")
                                                                  : widget->objectName();
        texts.insert(key, text);
    }
    return texts;
}

class RecordingTranslator : public QTranslator
{
public:
    struct Call
    {
        QString context;
        QString source;
        bool hasDisambiguation;
        int n;
    };

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        calls.append({QString::fromLatin1(context), QString::fromUtf8(sourceText), disambiguation != nullptr, n});
        return QStringLiteral("<%1>").arg(QString::fromUtf8(sourceText));
    }

    mutable QVector<Call> calls;
};

const QStringList kTranslatedNames = {
    QStringLiteral("signInButton"),   QStringLiteral("youTubeLabel"),        QStringLiteral("titleLabel"),
    QStringLiteral("resolutionLabel"), QStringLiteral("descriptionLabel"),   QStringLiteral("categoryLabel"),
    QStringLiteral("tagsLabel"),      QStringLiteral("privacyLabel"),        QStringLiteral("saveAsLocalFileCheckBox"),
    QStringLiteral("browseButton"),   QStringLiteral("resolutionTextLabel"), QStringLiteral("sizeTextLabel"),
    QStringLiteral("durationTextLabel"), QStringLiteral("cancelButton"),     QStringLiteral("startButton"),
};
const QStringList kSourceTexts = {
    QStringLiteral("Sign In..."), QStringLiteral("YouTube"),     QStringLiteral("Title:"),
    QStringLiteral("Resolution:"), QStringLiteral("Description:"), QStringLiteral("Category:"),
    QStringLiteral("Tags:"),      QStringLiteral("Privacy:"),    QStringLiteral("Save to:"),
    QStringLiteral("Browse"),     QStringLiteral("Export Settings:"), QStringLiteral("Estimated File Size:"),
    QStringLiteral("Duration:"),  QStringLiteral("Cancel"),      QStringLiteral("Start"),
};

} // namespace

class TestYouTubeSharingWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> dialog;
    std::unique_ptr<YouTubeSharingWidget> ui;

private slots:
    void init()
    {
        dialog = std::make_unique<QWidget>();
        dialog->setObjectName(QStringLiteral("dialog"));
        ui = std::make_unique<YouTubeSharingWidget>(dialog.get());
    }

    void cleanup()
    {
        ui.reset();
        dialog.reset();
    }

    void recordHoldsTheFormsWidgets_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        const char* rows[][2] = {
            {"centralFrame", "Tavrix::UI::TFrame"},         {"socialInfoFrame", "Tavrix::UI::TFrame"},
            {"youTubeIconLabel", "QLabel"},                 {"youTubeLabel", "QLabel"},
            {"userPictureWidget", "Tavrix::UI::TPixmapWidget"}, {"userInfoFrame", "Tavrix::UI::TFrame"},
            {"userNameLabel", "QLabel"},                    {"signInButton", "QPushButton"},
            {"signOutButton", "QPushButton"},               {"inputFrame", "Tavrix::UI::TFrame"},
            {"inputEditFrame", "Tavrix::UI::TFrame"},       {"titleLabel", "QLabel"},
            {"titleEdit", "QLineEdit"},                     {"descriptionLabel", "QLabel"},
            {"descriptionText", "QPlainTextEdit"},          {"tagsLabel", "QLabel"},
            {"tagsText", "QPlainTextEdit"},                 {"inputComboboxFrame", "Tavrix::UI::TFrame"},
            {"resolutionLabel", "QLabel"},                  {"resolutionComboBox", "QComboBox"},
            {"categoryLabel", "QLabel"},                    {"categoryComboBox", "QComboBox"},
            {"privacyLabel", "QLabel"},                     {"privacyComboBox", "QComboBox"},
            {"errorLabel", "QLabel"},                       {"videoInfoFrame", "Tavrix::UI::TFrame"},
            {"resolutionTextLabel", "QLabel"},              {"resolutionValueLabel", "QLabel"},
            {"sizeTextLabel", "QLabel"},                    {"sizeValueLabel", "QLabel"},
            {"durationTextLabel", "QLabel"},                {"durationValueLabel", "QLabel"},
            {"controlFrame", "Tavrix::UI::TFrame"},         {"saveAsLocalFileCheckBox", "QCheckBox"},
            {"browseComboBox", "QComboBox"},                {"browseButton", "QPushButton"},
            {"startButton", "QPushButton"},                 {"cancelButton", "QPushButton"},
        };
        int index = 0;
        for (const auto& row : rows)
        {
            QTest::newRow(row[0]) << index << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
            ++index;
        }
    }

    void recordHoldsTheFormsWidgets()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, className);

        const QVector<QWidget*> entries = RecordEntries(*ui);
        QCOMPARE(entries.size(), 38);
        // Nothing in the record but the 38 pointers.
        QCOMPARE(sizeof(YouTubeSharingWidget), 38 * sizeof(QWidget*));

        QWidget* entry = entries.at(index);
        QVERIFY(entry);
        QCOMPARE(entry->objectName(), name);
        QCOMPARE(QString::fromLatin1(entry->metaObject()->className()), className);
        const QList<QWidget*> found = dialog->findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first(), entry);
    }

    void formHoldsOnlyTheRecordAndFiveLines()
    {
        const QVector<QWidget*> entries = RecordEntries(*ui);
        QStringList others;
        for (QWidget* widget : NamedWidgets(dialog.get()))
        {
            if (entries.contains(widget))
                continue;
            // Plain frames with no look of their own, children of the frame
            // that lays them out: the style sheet draws them.
            QCOMPARE(widget->metaObject(), &QFrame::staticMetaObject);
            QCOMPARE(static_cast<QFrame*>(widget)->frameShape(), QFrame::NoFrame);
            others << widget->parentWidget()->objectName() + QLatin1Char('/') + widget->objectName();
        }
        others.sort();
        QCOMPARE(others, QStringList({"centralFrame/horizontalLine", "centralFrame/horizontalLine",
                                      "socialInfoFrame/socialInfoSeparator", "videoInfoFrame/videoInfoSeparator",
                                      "videoInfoFrame/videoInfoSeparator"}));
    }

    void widgetsEndUpInTheFrameThatLaysThemOut()
    {
        // Each widget's parent lays it out; this is what moves the three widgets
        // that start in another frame.
        for (QWidget* entry : RecordEntries(*ui))
        {
            QWidget* parent = entry->parentWidget();
            QVERIFY2(parent && parent->layout() && parent->layout()->indexOf(entry) >= 0,
                     qPrintable(entry->objectName()));
        }
        QCOMPARE(ui->signOutButton->parentWidget(), ui->socialInfoFrame);
        QCOMPARE(ui->inputEditFrame->parentWidget(), ui->inputFrame);
        QCOMPARE(ui->inputComboboxFrame->parentWidget(), ui->inputFrame);
        QCOMPARE(ui->centralFrame->parentWidget(), dialog.get());
    }

    void textBoxesHaveNoVerticalScrollBar()
    {
        QCOMPARE(ui->descriptionText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(ui->tagsText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(ui->descriptionText->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    }

    void layoutsHaveNoMarginsOrSpacing()
    {
        // The form's own layouts, not those inside Qt's composite widgets.
        QList<QLayout*> layouts{dialog->layout()};
        for (QWidget* entry : RecordEntries(*ui))
            if (entry->layout() && qobject_cast<Tavrix::UI::TFrame*>(entry))
                layouts << entry->layout();
        QCOMPARE(layouts.size(), 9);
        for (QLayout* layout : layouts)
        {
            QCOMPARE(layout->contentsMargins(), QMargins(0, 0, 0, 0));
            if (auto* grid = qobject_cast<QGridLayout*>(layout))
            {
                QVERIFY(qobject_cast<Tavrix::UI::TGridLayout*>(grid));
                QCOMPARE(grid->horizontalSpacing(), 0);
                QCOMPARE(grid->verticalSpacing(), 0);
            }
            else
            {
                QCOMPARE(layout->spacing(), 0);
            }
        }
    }

    void layoutsHoldTheirItemsInOrder_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("items");
        QTest::newRow("userInfoFrame") << "userInfoFrame" << "userNameLabel@21,signInButton@41";
        QTest::newRow("socialInfoFrame")
            << "socialInfoFrame"
            << "youTubeIconLabel@81,youTubeLabel@81,stretch,userPictureWidget@81,userInfoFrame@81,"
               "socialInfoSeparator@0,signOutButton@81";
        QTest::newRow("inputEditFrame") << "inputEditFrame"
                                        << "0:0=titleLabel@81,0:1=titleEdit@21,1:0=descriptionLabel@21,"
                                           "1:1=descriptionText@21,2:0=tagsLabel@21,2:1=tagsText@21";
        QTest::newRow("inputComboboxFrame")
            << "inputComboboxFrame"
            << "0:0=resolutionLabel@81,0:1=resolutionComboBox@21,1:0=categoryLabel@81,1:1=categoryComboBox@21,"
               "2:0=privacyLabel@81,2:1=privacyComboBox@21,3:0-1=errorLabel@21";
        QTest::newRow("inputFrame") << "inputFrame" << "inputEditFrame@20,inputComboboxFrame@20";
        QTest::newRow("videoInfoFrame")
            << "videoInfoFrame"
            << "stretch,resolutionTextLabel@84,resolutionValueLabel@84,stretch,videoInfoSeparator@0,stretch,"
               "sizeTextLabel@84,sizeValueLabel@84,stretch,videoInfoSeparator@0,stretch,durationTextLabel@84,"
               "durationValueLabel@84,stretch";
        QTest::newRow("controlFrame") << "controlFrame"
                                      << "saveAsLocalFileCheckBox@81,browseComboBox@81,browseButton@81,stretch,"
                                         "cancelButton@84,startButton@84";
        QTest::newRow("centralFrame") << "centralFrame"
                                      << "socialInfoFrame@0,horizontalLine@0,inputFrame@0,horizontalLine@0,"
                                         "videoInfoFrame@0,controlFrame@0";
        QTest::newRow("dialog") << "dialog" << "centralFrame@0";
    }

    void layoutsHoldTheirItemsInOrder()
    {
        QFETCH(QString, owner);
        QFETCH(QString, items);

        QWidget* widget = owner == dialog->objectName() ? dialog.get() : dialog->findChild<QWidget*>(owner);
        QVERIFY(widget && widget->layout());
        auto* grid = qobject_cast<QGridLayout*>(widget->layout());
        QCOMPARE(grid ? DescribeGrid(grid) : DescribeBox(widget->layout()), items);
        if (!grid)
        {
            // Stretches are addStretch(0), and no item stretches.
            auto* box = qobject_cast<QBoxLayout*>(widget->layout());
            QVERIFY(box);
            for (int i = 0; i < box->count(); ++i)
                QCOMPARE(box->stretch(i), 0);
        }
    }

    void retranslationReplacesExactlyTheFormTexts()
    {
        QCOMPARE(Texts(dialog.get()).value(QStringLiteral("startButton")), QStringLiteral("||Start"));
        const QMap<QString, QString> before = Texts(dialog.get());

        RecordingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        translator.calls.clear();
        ui->RetranslateUi();
        const QMap<QString, QString> after = Texts(dialog.get());
        const QVector<RecordingTranslator::Call> calls = translator.calls;
        QCoreApplication::removeTranslator(&translator);

        QCOMPARE(after.keys(), before.keys());
        QStringList changed;
        for (const QString& name : before.keys())
            if (before.value(name) != after.value(name))
                changed << name;
        QStringList expectedNames = kTranslatedNames;
        expectedNames.sort();
        changed.sort();
        QCOMPARE(changed, expectedNames);

        QStringList asked;
        for (int i = 0; i < kTranslatedNames.size(); ++i)
            QCOMPARE(after.value(kTranslatedNames.at(i)), QStringLiteral("||<%1>").arg(kSourceTexts.at(i)));
        for (const RecordingTranslator::Call& call : calls)
        {
            QCOMPARE(call.context, QStringLiteral("YouTubeSharingWidget"));
            QVERIFY(!call.hasDisambiguation);
            QCOMPARE(call.n, -1);
            asked << call.source;
        }
        QCOMPARE(asked, kSourceTexts);

        // Without the translator the source texts come back.
        ui->RetranslateUi();
        QCOMPARE(Texts(dialog.get()), before);
    }

    void needsAParent()
    {
        QVERIFY_EXCEPTION_THROWN(YouTubeSharingWidget(nullptr), std::logic_error);
    }
};

TAVRIX_TEST_MAIN(TestYouTubeSharingWidget)
#include "tst_YouTubeSharingWidget.moc"
