#include "SocialUI.h"

#include "TestMain.h"
#include "WordTranslator.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using Tavrix::RQ::Service::Sharing::UI::SharingAuthorizationDialog;

namespace {
QPushButton* Button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QLatin1String(name));
}

QString Text(QWidget& dialog, const char* name)
{
    auto* label = dialog.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}
} // namespace

class TestSharingAuthorizationDialog : public QObject
{
    Q_OBJECT

private slots:
    void eachButtonRunsItsAction_data()
    {
        QTest::addColumn<SharingAuthorizationDialog::State>("state");
        QTest::addColumn<QString>("primaryText");
        QTest::addColumn<QString>("explanation");
        QTest::addColumn<bool>("clickPrimary");
        QTest::newRow("sign-in, Sign In") << SharingAuthorizationDialog::SignInRequired << "Sign In"
                                          << "You are not signed in" << true;
        QTest::newRow("sign-in, save") << SharingAuthorizationDialog::SignInRequired << "Sign In"
                                       << "You are not signed in" << false;
        QTest::newRow("profile, Back") << SharingAuthorizationDialog::ProfileInvalid << "Back"
                                       << "cannot upload videos" << true;
        QTest::newRow("profile, save") << SharingAuthorizationDialog::ProfileInvalid << "Back"
                                       << "cannot upload videos" << false;
    }

    void eachButtonRunsItsAction()
    {
        QFETCH(SharingAuthorizationDialog::State, state);
        QFETCH(QString, primaryText);
        QFETCH(QString, explanation);
        QFETCH(bool, clickPrimary);

        SharingAuthorizationDialog dialog(nullptr);
        int primary = 0;
        int secondary = 0;
        dialog.SwitchDialogState([&] { ++primary; }, [&] { ++secondary; }, state);
        dialog.show();

        QCOMPARE(dialog.GetState(), state);
        QCOMPARE(Button(dialog, "primaryButton")->text(), primaryText);
        QCOMPARE(Button(dialog, "secondaryButton")->text(), QStringLiteral("Save without uploading"));
        QVERIFY2(Text(dialog, "messageLabel").contains(explanation), qPrintable(Text(dialog, "messageLabel")));

        QTest::mouseClick(Button(dialog, clickPrimary ? "primaryButton" : "secondaryButton"), Qt::LeftButton);
        QCOMPARE(primary, clickPrimary ? 1 : 0);
        QCOMPARE(secondary, clickPrimary ? 0 : 1);
        // Hiding is the action's business, not the prompt's.
        QVERIFY(dialog.isVisible());
    }

    void execRunsUntilAnActionHidesIt()
    {
        SharingAuthorizationDialog dialog(nullptr);
        int signIns = 0;
        int saves = 0;
        // The sign-in completes a little later, as a protocol callback would.
        dialog.SwitchDialogState(
            [&] {
                ++signIns;
                QTimer::singleShot(0, &dialog, [&] { dialog.hide(); });
            },
            [&] { ++saves; }, SharingAuthorizationDialog::SignInRequired);
        QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(Button(dialog, "primaryButton"), Qt::LeftButton); });
        dialog.exec();
        QCOMPARE(signIns, 1);
        QCOMPARE(saves, 0);
        QVERIFY(!dialog.isVisible());
    }

    void escapeLeavesWithoutAnAction()
    {
        SharingAuthorizationDialog dialog(nullptr);
        int actions = 0;
        dialog.SwitchDialogState([&] { ++actions; }, [&] { ++actions; }, SharingAuthorizationDialog::ProfileInvalid);
        QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(actions, 0);
    }

    void anActionMaySwitchTheState()
    {
        // A sign-in that turns out to have an unusable profile switches the
        // prompt from inside the running action.
        SharingAuthorizationDialog dialog(nullptr);
        int backs = 0;
        dialog.SwitchDialogState(
            [&] {
                dialog.SwitchDialogState([&] { ++backs; }, {}, SharingAuthorizationDialog::ProfileInvalid);
            },
            {}, SharingAuthorizationDialog::SignInRequired);
        QTest::mouseClick(Button(dialog, "primaryButton"), Qt::LeftButton);
        QCOMPARE(dialog.GetState(), SharingAuthorizationDialog::ProfileInvalid);
        QCOMPARE(Button(dialog, "primaryButton")->text(), QStringLiteral("Back"));
        QTest::mouseClick(Button(dialog, "primaryButton"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "secondaryButton"), Qt::LeftButton);
        QCOMPARE(backs, 1);
    }

    // A failed sign-in is said in the prompt, and pressing Try Again runs the
    // sign-in once more and clears the old reason.
    void aFailedSignInCanBeTriedAgain()
    {
        SharingAuthorizationDialog dialog(nullptr);
        int signIns = 0;
        dialog.SwitchDialogState([&] { ++signIns; }, {}, SharingAuthorizationDialog::SignInRequired);
        dialog.show();
        QSignalSpy shown(&dialog, &SharingAuthorizationDialog::ProblemShown);
        dialog.ShowProblem(QStringLiteral("Signing in failed. Try again."));
        QCOMPARE(shown.count(), 1);
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("problemLabel"))->isVisible());
        QCOMPARE(Button(dialog, "primaryButton")->text(), QStringLiteral("Try Again"));

        QTest::mouseClick(Button(dialog, "primaryButton"), Qt::LeftButton);
        QCOMPARE(signIns, 1);
        QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("problemLabel"))->isVisible());
        QCOMPARE(Button(dialog, "primaryButton")->text(), QStringLiteral("Sign In"));
    }

    void followsTheLanguage()
    {
        SharingAuthorizationDialog dialog(nullptr);
        dialog.SwitchDialogState({}, {}, SharingAuthorizationDialog::ProfileInvalid);
        TestSupport::WordTranslator german("SharingAuthorizationDialog",
                                           {{"Back", "Zurück"}, {"Save without uploading", "Nur speichern"}});
        QVERIFY(QCoreApplication::installTranslator(&german));
        // The application posts the change to its windows.
        QTRY_COMPARE(Button(dialog, "primaryButton")->text(), QStringLiteral("Zurück"));
        QCOMPARE(Button(dialog, "secondaryButton")->text(), QStringLiteral("Nur speichern"));
        QCoreApplication::removeTranslator(&german);
        QTRY_COMPARE(Button(dialog, "primaryButton")->text(), QStringLiteral("Back"));
    }
};

TAVRIX_TEST_MAIN(TestSharingAuthorizationDialog)
#include "tst_SharingAuthorizationDialog.moc"
