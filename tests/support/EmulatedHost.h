#pragma once

// The host program run in a test against the YouTube emulator the test
// started: the emulator waited for, and each run's options with its own
// settings and tokens in a fresh folder.

#include "EmulatorProcess.h"
#include "HostApplication.h"

#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace TestSupport {

// Starts the emulator and waits until it answers; false when it did not come up.
inline bool StartEmulator(Tavrix::RQ::Host::EmulatorProcess& emulator)
{
    QSignalSpy ready(&emulator, &Tavrix::RQ::Host::EmulatorProcess::Ready);
    emulator.Start(Tavrix::RQ::Host::EmulatorProcess::FindProgram());
    return QTest::qWaitFor([&ready] { return ready.count() > 0; }, 20000) && emulator.Origin().isValid();
}

// Options for one run: the emulator's YouTube, settings and tokens under
// `run`, and the browser played on the emulator's pages (it consents at
// once); the pages it was sent to are noted in `signInPages` when given.
inline Tavrix::RQ::Host::HostOptions EmulatedRun(Tavrix::RQ::Host::EmulatorProcess& emulator, const QTemporaryDir& run,
                                                 QList<QUrl>* signInPages = nullptr)
{
    Tavrix::RQ::Host::HostOptions options;
    options.youTubeOrigin = emulator.Origin();
    options.settingsFolder = run.filePath(QStringLiteral("settings"));
    options.tokenFile = run.filePath(QStringLiteral("tokens.json"));
    options.browserOpener = [&emulator, signInPages](const QUrl& url) {
        if (signInPages)
            *signInPages << url;
        return emulator.OpenSignInPage(url);
    };
    return options;
}

// The sharing dialog while it is shown.
inline QWidget* SharingDialog()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->findChild<QLineEdit*>(QStringLiteral("titleEdit")))
            return window;
    return nullptr;
}

} // namespace TestSupport
