#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <glog/logging.h>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace Tavrix::RQ::Host {

namespace {
constexpr char kConstructor[] = "Tavrix::RQ::Host::TerminationSignals::TerminationSignals";
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler may only write to the pipe; everything else happens in the event loop.
int g_writeEnd = -1;

void OnSignal(int signal)
{
    const unsigned char number = static_cast<unsigned char>(signal);
    const int savedErrno = errno;
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &number, 1);
    errno = savedErrno;
    // The next one ends the process at once, should the orderly end hang.
    std::signal(signal, SIG_DFL);
}
} // namespace

struct TerminationSignals::Impl
{
    int ends[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
};

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>())
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_impl->ends) != 0)
    {
        PLOG(ERROR) << kConstructor << ": " << "Cannot make the signal pipe; Ctrl+C ends the run abruptly";
        return;
    }
    g_writeEnd = m_impl->ends[0];
    m_impl->notifier = std::make_unique<QSocketNotifier>(m_impl->ends[1], QSocketNotifier::Read);
    connect(m_impl->notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        if (::read(m_impl->ends[1], &number, 1) == 1)
            emit Received(number);
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
    m_impl->notifier.reset();
    g_writeEnd = -1;
    for (int end : m_impl->ends)
        if (end >= 0)
            ::close(end);
}

QString TerminationSignals::Name(int signal)
{
    switch (signal)
    {
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGHUP: return QStringLiteral("SIGHUP");
    default: return QStringLiteral("signal %1").arg(signal);
    }
}

} // namespace Tavrix::RQ::Host
