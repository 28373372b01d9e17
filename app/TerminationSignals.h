#pragma once

// Ctrl+C, SIGTERM and SIGHUP turned into a Qt signal, so the run ends through
// its event loop and every destructor (the emulator child and its folder, a
// conversion's partial file) still runs. A second signal while the run is
// ending takes the system's default way out.

#include <QObject>

#include <memory>

namespace Tavrix::RQ::Host {

class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // One per process: installs the handlers, and restores the defaults when destroyed.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // "SIGTERM" for SIGTERM, and so on.
    static QString Name(int signal);

signals:
    void Received(int signal);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Host
