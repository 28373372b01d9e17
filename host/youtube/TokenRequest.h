#pragma once

// One form POST to Google's token endpoint (the code exchange or a refresh),
// tried again like the upload's requests after a broken connection, a 5xx or
// a 429: with backoff, honouring Retry-After, a few times at most. Every
// other answer is final and goes to the caller as it came.

#include "ApiReply.h"

#include <QObject>

#include <functional>
#include <memory>

namespace Tavrix::Social::YouTube {

struct Configuration;

class TokenRequest : public QObject
{
    Q_OBJECT
public:
    using Form = QList<QPair<QString, QString>>;
    using Done = std::function<void(const ApiReply&)>;

    // Starts at once; `done` runs once with the final answer, never after the
    // request was deleted (deleting it stops it).
    TokenRequest(const Configuration& config, QNetworkAccessManager& network, const Form& form, Done done,
                 QObject* parent);
    ~TokenRequest() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::Social::YouTube
