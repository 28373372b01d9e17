#include "EmulatorProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <glog/logging.h>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace Tavrix::RQ::Host {

namespace {
constexpr char kStart[] = "Tavrix::RQ::Host::EmulatorProcess::Start";
constexpr char kOpen[] = "Tavrix::RQ::Host::EmulatorProcess::OpenSignInPage";
constexpr int kStartTimeoutMs = 20000;
constexpr int kStopTimeoutMs = 5000;
// The emulator goes with the host however the host ends: a host killed
// outright takes it along (the kernel sends SIGTERM), and in a process group
// of its own a Ctrl+C in the terminal reaches only the host, which then stops
// it in order instead of seeing it die under its feet.
class ChildProcess : public QProcess
{
protected:
    void setupChildProcess() override
    {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The host may have died before the line above took effect.
        if (::getppid() != m_host)
            ::_exit(1);
    }

private:
    const pid_t m_host = ::getpid();
};
} // namespace

struct EmulatorProcess::Impl
{
    QTemporaryDir data;
    ChildProcess process;
    QNetworkAccessManager network;
    QTimer startTimer;
    QByteArray firstLine;
    QUrl origin;
    bool settled = false;
};

EmulatorProcess::EmulatorProcess(QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>())
{
    m_impl->process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_impl->startTimer.setSingleShot(true);
}

EmulatorProcess::~EmulatorProcess()
{
    m_impl->process.disconnect();
    m_impl->network.clearConnectionCache();
    if (m_impl->process.state() == QProcess::NotRunning)
        return;
    m_impl->process.terminate();
    if (!m_impl->process.waitForFinished(kStopTimeoutMs))
        m_impl->process.kill();
    m_impl->process.waitForFinished(kStopTimeoutMs);
}

QString EmulatorProcess::FindProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {here.filePath(QStringLiteral("youtube-emulator")),
                                     here.filePath(QStringLiteral("../tools/youtube-emulator/youtube-emulator"))})
    {
        if (QFileInfo(candidate).isExecutable())
            return QDir::cleanPath(candidate);
    }
    return QStandardPaths::findExecutable(QStringLiteral("youtube-emulator"));
}

void EmulatorProcess::Start(const QString& program)
{
    const auto fail = [this](const QString& reason) {
        if (m_impl->settled)
            return;
        m_impl->settled = true;
        m_impl->startTimer.stop();
        LOG(ERROR) << kStart << ": " << reason.toStdString();
        QTimer::singleShot(0, this, [this, reason] { emit Failed(reason); });
    };
    if (program.isEmpty())
        return fail(QStringLiteral("youtube-emulator was not found; build it first"));
    if (!m_impl->data.isValid())
        return fail(QStringLiteral("Cannot make a data folder for the emulator: ") + m_impl->data.errorString());

    connect(&m_impl->process, &QProcess::readyReadStandardOutput, this, [this, fail] {
        if (m_impl->settled)
        {
            m_impl->process.readAllStandardOutput();
            return;
        }
        m_impl->firstLine += m_impl->process.readAllStandardOutput();
        const int end = m_impl->firstLine.indexOf('\n');
        if (end < 0)
            return;
        const QString line = QString::fromUtf8(m_impl->firstLine.left(end)).trimmed();
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^youtube-emulator listening on (http://127\\.0\\.0\\.1:\\d+)$"))
                .match(line);
        if (!match.hasMatch())
            return fail(QStringLiteral("youtube-emulator said \"%1\"").arg(line));
        m_impl->settled = true;
        m_impl->startTimer.stop();
        m_impl->origin = QUrl(match.captured(1));
        LOG(INFO) << kStart << ": " << "youtube-emulator serves at " << m_impl->origin.toString().toStdString();
        emit Ready(m_impl->origin);
    });
    connect(&m_impl->process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [fail](int code) { fail(QStringLiteral("youtube-emulator stopped with exit code %1").arg(code)); });
    connect(&m_impl->process, &QProcess::errorOccurred, this, [this, fail](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fail(QStringLiteral("Cannot start youtube-emulator: ") + m_impl->process.errorString());
    });
    connect(&m_impl->startTimer, &QTimer::timeout, this, [this, fail] {
        fail(QStringLiteral("youtube-emulator did not answer"));
        m_impl->process.kill();
    });

    m_impl->startTimer.start(kStartTimeoutMs);
    m_impl->process.start(program, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"),
                                    m_impl->data.path(), QStringLiteral("--auto-consent")});
}

void EmulatorProcess::Attach(const QUrl& origin)
{
    m_impl->settled = true;
    m_impl->origin = origin;
    LOG(INFO) << kStart << ": " << "using the youtube-emulator at " << origin.toString().toStdString();
    QTimer::singleShot(0, this, [this, origin] { emit Ready(origin); });
}

QUrl EmulatorProcess::Origin() const
{
    return m_impl->origin;
}

QString EmulatorProcess::DataFolder() const
{
    return m_impl->data.path();
}

bool EmulatorProcess::OpenSignInPage(const QUrl& url)
{
    const QUrl& origin = m_impl->origin;
    if (!origin.isValid() || url.scheme() != origin.scheme() || url.host() != origin.host() ||
        url.port() != origin.port())
    {
        LOG(ERROR) << kOpen << ": " << "Not a page of the emulator: " << url.host().toStdString();
        return false;
    }
    QNetworkRequest request(url);
    // Both hops stay on plain http to 127.0.0.1.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = m_impl->network.get(request);
    connect(reply, &QNetworkReply::finished, this, [reply] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError)
            LOG(ERROR) << kOpen << ": " << "The sign-in page answered " << status << ": "
                       << reply->errorString().toStdString();
        else
            VLOG(30) << kOpen << ": " << "The sign-in came back with " << status;
        reply->deleteLater();
    });
    return true;
}

} // namespace Tavrix::RQ::Host
