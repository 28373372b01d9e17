#include "TokenRequest.h"

#include "YoutubeConfiguration.h"

#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <glog/logging.h>

namespace Tavrix::Social::YouTube {

namespace {
constexpr char kRetry[] = "Tavrix::Social::YouTube::TokenRequest::Retry: ";
}

struct TokenRequest::Impl
{
    TokenRequest* self;
    Configuration config;
    QNetworkAccessManager& network;
    Form form;
    Done done;
    QPointer<QNetworkReply> reply;
    QTimer retryTimer;
    int failures = 0;

    Impl(TokenRequest* owner, const Configuration& c, QNetworkAccessManager& n, const Form& f, Done d)
        : self(owner)
        , config(c)
        , network(n)
        , form(f)
        , done(std::move(d))
    {
    }

    void Send()
    {
        reply = PostForm(network, config.tokenUrl, form, config.transferTimeoutMs);
        QObject::connect(reply.data(), &QNetworkReply::finished, self, [this, sent = reply.data()] {
            sent->deleteLater();
            reply = nullptr;
            OnAnswer(ApiReply::Read(sent));
        });
    }

    void OnAnswer(const ApiReply& answer)
    {
        // A server that asks for a longer pause than the backoff ever waits is not waited for.
        if (answer.Retryable() && failures < config.maxTokenRetries && answer.retryAfterMs <= config.retryMaxDelayMs)
        {
            const int delay = config.RetryDelayMs(++failures, answer.retryAfterMs);
            LOG(INFO) << kRetry << "attempt " << failures << " failed (" << answer.Describe().toStdString()
                      << "), trying again in " << delay << " ms";
            retryTimer.start(delay);
            return;
        }
        // The receiver may delete this request: nothing after the call.
        Done call = std::move(done);
        done = nullptr;
        if (call)
            call(answer);
    }
};

TokenRequest::TokenRequest(const Configuration& config, QNetworkAccessManager& network, const Form& form, Done done,
                           QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(this, config, network, form, std::move(done)))
{
    m_impl->retryTimer.setSingleShot(true);
    connect(&m_impl->retryTimer, &QTimer::timeout, this, [this] { m_impl->Send(); });
    m_impl->Send();
}

TokenRequest::~TokenRequest()
{
    m_impl->done = nullptr;
    if (m_impl->reply)
    {
        m_impl->reply->disconnect();
        m_impl->reply->abort();
        m_impl->reply->deleteLater();
    }
}

} // namespace Tavrix::Social::YouTube
