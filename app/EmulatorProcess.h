#pragma once

// The loopback YouTube emulator run beside the host, so the whole sharing can
// be tried without a Google account: started on a free port with a fresh data
// folder and automatic consent, stopped with this object.

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

namespace Tavrix::RQ::Host {

class EmulatorProcess : public QObject
{
    Q_OBJECT
public:
    explicit EmulatorProcess(QObject* parent = nullptr);
    ~EmulatorProcess() override;

    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // "youtube-emulator" beside this program, in the build tree's tools, or in PATH.
    static QString FindProgram();

    // Ready or Failed follows from the event loop.
    void Start(const QString& program);
    // Uses an emulator that is already running at `origin` (its state is its
    // own and outlives this object); Ready follows from the event loop.
    void Attach(const QUrl& origin);
    // Empty until Ready.
    QUrl Origin() const;
    // The emulator's state folder, removed with this object.
    QString DataFolder() const;

    // Stands in for the browser on the emulator's sign-in page: the page
    // consents at once and sends the browser back to the host's loopback
    // listener, which this follows.
    bool OpenSignInPage(const QUrl& url);

signals:
    void Ready(const QUrl& origin);
    void Failed(const QString& reason);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Host
