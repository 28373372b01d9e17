#include "UI/YouTubeSharingWidget.h"

#include "TavrixWidget.h"
#include "TestMain.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

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

// The layout's class, then "name@alignment" per item ("stretch" for a spacer,
// "*n" after an item that stretches). A grid's items read
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
        }
        items << text;
    }
    if (grid)
        items.sort();
    return QString::fromLatin1(layout->metaObject()->className()) + QLatin1Char(' ') + items.join(QLatin1Char(','));
}

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

    void formHoldsTheRecordAndFiveLines()
    {
        // Nothing in the record but the 38 pointers.
        QCOMPARE(sizeof(YouTubeSharingWidget), 38 * sizeof(QWidget*));
        const QVector<QWidget*> entries = RecordEntries(*ui);
        QStringList record;
        for (QWidget* entry : entries)
            record << entry->objectName() + QLatin1Char(':') + QLatin1String(entry->metaObject()->className());
        QCOMPARE(record, QStringList({
            "centralFrame:Tavrix::UI::TFrame", "socialInfoFrame:Tavrix::UI::TFrame", "youTubeIconLabel:QLabel",
            "youTubeLabel:QLabel", "userPictureWidget:Tavrix::UI::TPixmapWidget", "userInfoFrame:Tavrix::UI::TFrame",
            "userNameLabel:QLabel", "signInButton:QPushButton", "signOutButton:QPushButton",
            "inputFrame:Tavrix::UI::TFrame", "inputEditFrame:Tavrix::UI::TFrame", "titleLabel:QLabel",
            "titleEdit:QLineEdit", "descriptionLabel:QLabel", "descriptionText:QPlainTextEdit", "tagsLabel:QLabel",
            "tagsText:QPlainTextEdit", "inputComboboxFrame:Tavrix::UI::TFrame", "resolutionLabel:QLabel",
            "resolutionComboBox:QComboBox", "categoryLabel:QLabel", "categoryComboBox:QComboBox",
            "privacyLabel:QLabel", "privacyComboBox:QComboBox", "errorLabel:QLabel",
            "videoInfoFrame:Tavrix::UI::TFrame", "resolutionTextLabel:QLabel", "resolutionValueLabel:QLabel",
            "sizeTextLabel:QLabel", "sizeValueLabel:QLabel", "durationTextLabel:QLabel", "durationValueLabel:QLabel",
            "controlFrame:Tavrix::UI::TFrame", "saveAsLocalFileCheckBox:QCheckBox", "browseComboBox:QComboBox",
            "browseButton:QPushButton", "startButton:QPushButton", "cancelButton:QPushButton"}));

        // Besides the record only plain frames with no look of their own, which
        // the style sheet draws as lines; the inner parts of Qt's composite
        // widgets are "qt_…" or nameless.
        QStringList others;
        for (QWidget* widget : dialog->findChildren<QWidget*>())
        {
            const QString name = widget->objectName();
            if (entries.contains(widget) || name.isEmpty() || name.startsWith(QLatin1String("qt_")))
                continue;
            QCOMPARE(widget->metaObject(), &QFrame::staticMetaObject);
            QCOMPARE(static_cast<QFrame*>(widget)->frameShape(), QFrame::NoFrame);
            others << widget->parentWidget()->objectName() + QLatin1Char('/') + name;
        }
        others.sort();
        QCOMPARE(others, QStringList({"centralFrame/horizontalLine", "centralFrame/horizontalLine",
                                      "socialInfoFrame/socialInfoSeparator", "videoInfoFrame/videoInfoSeparator",
                                      "videoInfoFrame/videoInfoSeparator"}));

        QCOMPARE(ui->descriptionText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(ui->tagsText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    // Each layout holds its items in order, with no margins and no spacing;
    // the items are the widgets the rows name, so the layout's owner is their parent.
    void layouts_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("items");
        QTest::newRow("userInfoFrame") << "userInfoFrame" << "QVBoxLayout userNameLabel@21,signInButton@41";
        QTest::newRow("socialInfoFrame")
            << "socialInfoFrame"
            << "QHBoxLayout youTubeIconLabel@81,youTubeLabel@81,stretch,userPictureWidget@81,userInfoFrame@81,"
               "socialInfoSeparator@0,signOutButton@81";
        QTest::newRow("inputEditFrame")
            << "inputEditFrame"
            << "Tavrix::UI::TGridLayout 0:0=titleLabel@81,0:1=titleEdit@21,1:0=descriptionLabel@21,"
               "1:1=descriptionText@21,2:0=tagsLabel@21,2:1=tagsText@21";
        QTest::newRow("inputComboboxFrame")
            << "inputComboboxFrame"
            << "Tavrix::UI::TGridLayout 0:0=resolutionLabel@81,0:1=resolutionComboBox@21,1:0=categoryLabel@81,"
               "1:1=categoryComboBox@21,2:0=privacyLabel@81,2:1=privacyComboBox@21,3:0-1=errorLabel@21";
        QTest::newRow("inputFrame") << "inputFrame" << "QHBoxLayout inputEditFrame@20,inputComboboxFrame@20";
        QTest::newRow("videoInfoFrame")
            << "videoInfoFrame"
            << "QHBoxLayout stretch,resolutionTextLabel@84,resolutionValueLabel@84,stretch,videoInfoSeparator@0,"
               "stretch,sizeTextLabel@84,sizeValueLabel@84,stretch,videoInfoSeparator@0,stretch,"
               "durationTextLabel@84,durationValueLabel@84,stretch";
        QTest::newRow("controlFrame") << "controlFrame"
                                      << "QHBoxLayout saveAsLocalFileCheckBox@81,browseComboBox@81,browseButton@81,"
                                         "stretch,cancelButton@84,startButton@84";
        QTest::newRow("centralFrame") << "centralFrame"
                                      << "QVBoxLayout socialInfoFrame@0,horizontalLine@0,inputFrame@0,"
                                         "horizontalLine@0,videoInfoFrame@0,controlFrame@0";
        QTest::newRow("dialog") << "dialog" << "QHBoxLayout centralFrame@0";
    }

    void layouts()
    {
        QFETCH(QString, owner);
        QFETCH(QString, items);
        QWidget* widget = owner == dialog->objectName() ? dialog.get() : dialog->findChild<QWidget*>(owner);
        QVERIFY(widget && widget->layout());
        QCOMPARE(DescribeLayout(widget->layout()), items);
        QCOMPARE(widget->layout()->contentsMargins(), QMargins(0, 0, 0, 0));
        // A grid answers 0 only when both its spacings are 0.
        QCOMPARE(widget->layout()->spacing(), 0);
    }

    void needsAParent()
    {
        QVERIFY_EXCEPTION_THROWN(YouTubeSharingWidget(nullptr), std::logic_error);
    }
};

TAVRIX_TEST_MAIN(TestYouTubeSharingWidget)
#include "tst_YouTubeSharingWidget.moc"
