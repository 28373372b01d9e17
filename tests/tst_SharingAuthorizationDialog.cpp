#include "SocialUI.h"

#include "TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using Tavrix::RQ::Service::Sharing::UI::SharingAuthorizationDialog;

namespace {
QPushButton* Button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QLatin1String(name));
}
} // namespace

class TestSharingAuthorizationDialog : public QObject
{
    Q_OBJECT

private slots:
    // Each state's texts; each button runs its own action and leaves hiding
    // to it, and Escape leaves without an action.
    void eachButtonRunsItsAction_data()
    {
        using Dialog = SharingAuthorizationDialog;
        QTest::addColumn<Dialog::State>("state");
        QTest::addColumn<QString>("primaryText");
        QTest::addColumn<QString>("explanation");
        QTest::addColumn<QString>("press");
        for (const char* press : {"primary", "secondary", "Escape"})
        {
            QTest::addRow("sign-in, %s", press)
                << Dialog::SignInRequired << "Sign In" << "You are not signed in" << QString::fromLatin1(press);
            QTest::addRow("profile, %s", press)
                << Dialog::ProfileInvalid << "Back" << "cannot upload videos" << QString::fromLatin1(press);
        }
    }

    void eachButtonRunsItsAction()
    {
        QFETCH(SharingAuthorizationDialog::State, state);
        QFETCH(QString, primaryText);
        QFETCH(QString, explanation);
        QFETCH(QString, press);

        SharingAuthorizationDialog dialog(nullptr);
        QStringList ran;
        dialog.SwitchDialogState([&] { ran << "primary"; }, [&] { ran << "secondary"; }, state);
        dialog.show();

        QCOMPARE(dialog.GetState(), state);
        QCOMPARE(Button(dialog, "primaryButton")->text(), primaryText);
        QCOMPARE(Button(dialog, "secondaryButton")->text(), QStringLiteral("Save without uploading"));
        const QString message = dialog.findChild<QLabel*>(QStringLiteral("messageLabel"))->text();
        QVERIFY2(message.contains(explanation), qPrintable(message));

        if (press == QLatin1String("Escape"))
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(Button(dialog, qPrintable(press + "Button")), Qt::LeftButton);
        const bool escaped = press == QLatin1String("Escape");
        QCOMPARE(ran, escaped ? QStringList() : QStringList{press});
        QCOMPARE(dialog.isVisible(), !escaped);
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
};

TAVRIX_TEST_MAIN(TestSharingAuthorizationDialog)
#include "tst_SharingAuthorizationDialog.moc"
