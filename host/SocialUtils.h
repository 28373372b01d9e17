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

// A file name (no folder) that Windows, macOS and Linux all accept, made from
// any text: forbidden characters become '_', control characters go, trailing
// dots and blanks go, device names such as "con.txt" get a '_' in front, and
// the result is at most 255 bytes of valid UTF-8 and never empty.
std::string FixFileNameForOS(const std::string& name);

// Carries the dialog's sign-in and sign-out requests to the logic, and the
// logic's name, picture and state changes back to the dialog.
class SocialAuthConnector : public QObject
{
    Q_OBJECT
public:
    SocialAuthConnector(AbstractAuthLogic& logic, AbstractAuthDialog& dialog, QObject* parent);
};

} // namespace Tavrix::RQ::Service::Sharing
