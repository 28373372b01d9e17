#pragma once

// A widget of a form by its object name; a missing one ends the test run,
// since every check after it would only crash.

#include <QWidget>

namespace TestSupport {

template <class T>
T* FindWidget(const QWidget* root, const char* name)
{
    T* widget = root->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

} // namespace TestSupport
