#include "SocialServices.h"

namespace Tavrix::RQ::Service::Sharing {

AbstractAuthDialog::AbstractAuthDialog(QWidget* parent)
    : QDialog(parent)
{
}

} // namespace Tavrix::RQ::Service::Sharing
