#include "ParentProvider.h"

#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace Tavrix::RQ::UI {

struct ParentProvider::Impl
{
    // Guarded, so a widget destroyed without RemoveParent simply drops out.
    std::vector<QPointer<QWidget>> stack;
    QPointer<QWidget> fallback;

    void Erase(const QWidget* widget)
    {
        stack.erase(std::remove_if(stack.begin(), stack.end(),
                                   [widget](const QPointer<QWidget>& entry) { return entry.isNull() || entry == widget; }),
                    stack.end());
    }
};

ParentProvider::ParentProvider()
    : m_impl(std::make_unique<Impl>())
{
}

ParentProvider::~ParentProvider() = default;

QWidget* ParentProvider::GetParent() const
{
    // A window that was shown and then hidden (a dialog closed with Escape, say)
    // can't carry anything opened over it, and must never be offered as the
    // parent of itself.
    for (auto it = m_impl->stack.rbegin(); it != m_impl->stack.rend(); ++it)
    {
        QWidget* widget = it->data();
        if (widget && !(widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide)))
            return widget;
    }
    return m_impl->fallback.data();
}

void ParentProvider::PushParent(QWidget* parent)
{
    if (!parent)
        return;
    m_impl->Erase(parent);
    m_impl->stack.emplace_back(parent);
}

void ParentProvider::RemoveParent(QWidget* parent)
{
    m_impl->Erase(parent);
}

void ParentProvider::SetFallbackParent(QWidget* window)
{
    m_impl->fallback = window;
}

int ParentProvider::Depth() const
{
    return static_cast<int>(std::count_if(m_impl->stack.begin(), m_impl->stack.end(),
                                          [](const QPointer<QWidget>& entry) { return !entry.isNull(); }));
}

} // namespace Tavrix::RQ::UI
