#include "SocialUtils.h"

#include "AppServices.h"
#include "CoreUtils.h"

#include <QCoreApplication>
#include <QEvent>

#include <glog/logging.h>

namespace Tavrix::RQ::Service::Sharing {

namespace {
constexpr char kEventFilter[] = "Tavrix::RQ::Service::Sharing::RetranslateProtocolWrapper::eventFilter";
} // namespace

struct RetranslateProtocolWrapper::Impl
{
    Impl(const std::shared_ptr<App::ICustomizationManager>& customizationManager,
         const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeelManager,
         const std::shared_ptr<Social::BaseProtocol>& baseProtocol)
        : customization(customizationManager)
        , lookAndFeel(lookAndFeelManager)
        , protocol(baseProtocol)
    {
    }

    NotNull<App::ICustomizationManager> customization;
    NotNull<App::ILookAndFeelManager> lookAndFeel;
    NotNull<Social::BaseProtocol> protocol;
};

RetranslateProtocolWrapper::RetranslateProtocolWrapper(
    const std::shared_ptr<App::ICustomizationManager>& customization,
    const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeel, const std::shared_ptr<Social::BaseProtocol>& protocol)
    : m_impl(std::make_unique<Impl>(customization, lookAndFeel, protocol))
{
    // The application hears of a new translator once; its widgets hear of it
    // again each, which is why only the application's own event counts.
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

RetranslateProtocolWrapper::~RetranslateProtocolWrapper() = default;

bool RetranslateProtocolWrapper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && watched == QCoreApplication::instance())
    {
        LOG(INFO) << kEventFilter << ": " << "Retranslating the " << m_impl->customization->GetProductName()
                  << " protocol texts for " << m_impl->lookAndFeel->GetLocale();
        m_impl->protocol->Retranslate();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Tavrix::RQ::Service::Sharing
