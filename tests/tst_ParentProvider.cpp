#include "ParentProvider.h"

#include "TestMain.h"

#include <QWidget>

using Tavrix::RQ::UI::ParentProvider;

class TestParentProvider : public QObject
{
    Q_OBJECT

private slots:
    void answersTopOfStackThenFallback()
    {
        ParentProvider provider;
        QCOMPARE(provider.GetParent(), static_cast<QWidget*>(nullptr));

        QWidget mainWindow, dialog, prompt, other;
        provider.SetFallbackParent(&mainWindow);
        QCOMPARE(provider.GetParent(), &mainWindow);

        provider.PushParent(&dialog);
        provider.PushParent(&prompt);
        QCOMPARE(provider.GetParent(), &prompt);
        // Pushing again brings the widget to the top without a second entry.
        provider.PushParent(&dialog);
        QCOMPARE(provider.GetParent(), &dialog);
        QCOMPARE(provider.Depth(), 2);

        // Removing a widget that is not pushed (any more), or null, is harmless.
        provider.PushParent(&other);
        provider.RemoveParent(&other);
        provider.RemoveParent(&other);
        provider.RemoveParent(nullptr);
        provider.PushParent(nullptr);
        QCOMPARE(provider.GetParent(), &dialog);
        QCOMPARE(provider.Depth(), 2);

        provider.RemoveParent(&dialog);
        QCOMPARE(provider.GetParent(), &prompt);
        provider.RemoveParent(&prompt);
        QCOMPARE(provider.GetParent(), &mainWindow);
        QCOMPARE(provider.Depth(), 0);
    }

    // Escape hides a dialog that stays pushed: it must not be its own parent
    // next time, until it is shown again. A destroyed window drops out, the
    // fallback too.
    void hiddenAndDestroyedWindowsAreSkipped()
    {
        ParentProvider provider;
        QWidget dialog;
        auto* prompt = new QWidget;
        auto* mainWindow = new QWidget;
        provider.SetFallbackParent(mainWindow);
        provider.PushParent(&dialog);
        dialog.show();
        QCOMPARE(provider.GetParent(), &dialog);
        dialog.hide();
        QCOMPARE(provider.GetParent(), mainWindow);
        QCOMPARE(provider.Depth(), 1);
        dialog.show();

        provider.PushParent(prompt);
        delete prompt;
        QCOMPARE(provider.GetParent(), &dialog);
        QCOMPARE(provider.Depth(), 1);
        provider.RemoveParent(&dialog);
        delete mainWindow;
        QCOMPARE(provider.GetParent(), static_cast<QWidget*>(nullptr));
    }
};

TAVRIX_TEST_MAIN(TestParentProvider)
#include "tst_ParentProvider.moc"
