#pragma once

// The host's social utilities: result texts and the connector that couples a
// sign-in logic with its dialog.

#include "SocialProtocol.h"

#include <QObject>

#include <memory>
#include <string>

namespace Tavrix::App {
class ICustomizationManager;
class ILookAndFeelManager;
} // namespace Tavrix::App

namespace Tavrix::RQ::Service::Sharing {

class AbstractAuthDialog;
class AbstractAuthLogic;

// Log text of a request outcome, e.g. "Cancelled (2)".
std::string RequestResultToString(Social::RequestResult result);
// The same in the user's language, for what a window shows.
QString RequestResultToText(Social::RequestResult result);

// What a request outcome means for the user and what to do about it, in the
// interface language (context "RequestResult"), e.g. for QuotaExceeded that
// the daily quota is used up until midnight Pacific time. Codes stay in the log.
QString RequestResultAdvice(Social::RequestResult result);

// A file name (no folder) that Windows, macOS and Linux all accept, made from
// any text: forbidden characters become '_', control characters go, trailing
// dots and blanks go, device names such as "con.txt" get a '_' in front, and
// the result is valid UTF-8 and never empty. It is at most 238 bytes, so that
// "." plus an extension of up to 16 bytes still fits the 255-byte limit of a
// file name.
std::string FixFileNameForOS(const std::string& name);

// Carries the dialog's sign-in and sign-out requests to the logic, and the
// logic's name, picture and state changes back to the dialog.
class SocialAuthConnector : public QObject
{
    Q_OBJECT
public:
    SocialAuthConnector(AbstractAuthLogic& logic, AbstractAuthDialog& dialog, QObject* parent);
};

// Keeps a protocol's user-visible texts in the interface language: while it
// lives, each language change of the application retranslates the protocol.
class RetranslateProtocolWrapper : public QObject
{
    Q_OBJECT
public:
    RetranslateProtocolWrapper(const std::shared_ptr<App::ICustomizationManager>& customization,
                               const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeel,
                               const std::shared_ptr<Social::BaseProtocol>& protocol);
    ~RetranslateProtocolWrapper() override;

    RetranslateProtocolWrapper(const RetranslateProtocolWrapper&) = delete;
    RetranslateProtocolWrapper& operator=(const RetranslateProtocolWrapper&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing
