#pragma once

// The host's social utilities: result texts and the connector that couples a
// sign-in logic with its dialog.

#include "SocialProtocol.h"

#include <QObject>

#include <string>

namespace Tavrix::RQ::Service::Sharing {

class AbstractAuthDialog;
class AbstractAuthLogic;

// Log and user text of a request outcome, e.g. "Cancelled (2)".
std::string RequestResultToString(Social::RequestResult result);

// Carries the dialog's sign-in and sign-out requests to the logic, and the
// logic's name, picture and state changes back to the dialog.
class SocialAuthConnector : public QObject
{
    Q_OBJECT
public:
    SocialAuthConnector(AbstractAuthLogic& logic, AbstractAuthDialog& dialog, QObject* parent);
};

} // namespace Tavrix::RQ::Service::Sharing
