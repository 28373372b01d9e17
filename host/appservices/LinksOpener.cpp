#include "AppServices.h"

#include <QDesktopServices>

#include <glog/logging.h>

namespace Tavrix::App {

namespace {
constexpr char kOpenLink[] = "Tavrix::App::LinksOpener::OpenLink";
} // namespace

struct LinksOpener::Impl
{
    Opener opener;
};

LinksOpener::LinksOpener()
    : LinksOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
}

LinksOpener::LinksOpener(Opener opener)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->opener = std::move(opener);
}

LinksOpener::~LinksOpener() = default;

bool LinksOpener::OpenLink(const QUrl& url)
{
    if (url.isEmpty() || !url.isValid() || url.isRelative())
    {
        LOG(ERROR) << kOpenLink << ": " << "Refused link \"" << url.toString().toStdString() << "\"";
        return false;
    }
    if (!m_impl->opener || !m_impl->opener(url))
    {
        LOG(ERROR) << kOpenLink << ": " << "Cannot open " << url.toString().toStdString();
        return false;
    }
    LOG(INFO) << kOpenLink << ": " << "Opened " << url.toString().toStdString();
    return true;
}

} // namespace Tavrix::App
