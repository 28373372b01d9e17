#pragma once

// The host's parent provider: which window a new dialog or notice should be
// shown over. Dialogs push themselves while shown and remove themselves when
// they go away, so a window opened from a dialog lands on top of that dialog.

#include <memory>

class QWidget;

namespace Tavrix::RQ::UI {

class ParentProvider
{
public:
    ParentProvider();
    virtual ~ParentProvider();

    ParentProvider(const ParentProvider&) = delete;
    ParentProvider& operator=(const ParentProvider&) = delete;

    // The most recently pushed widget still alive and not hidden again;
    // otherwise the fallback window; otherwise null.
    virtual QWidget* GetParent() const;
    // Pushing a widget already on the stack moves it to the top; null is ignored.
    virtual void PushParent(QWidget* parent);
    // Removes every entry of the widget; a widget that was never pushed is ignored.
    virtual void RemoveParent(QWidget* parent);

    // The host's main window, answered while the stack is empty.
    void SetFallbackParent(QWidget* window);
    // Pushed widgets still alive.
    int Depth() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::UI
