#pragma once

// The sharing form as a test sees it: a widget by its object name, the texts
// of a list.

#include <QComboBox>
#include <QWidget>

namespace TestSupport {

// A missing widget ends the test run, since every check after it would only crash.
template <class T>
T* FindWidget(const QWidget* root, const char* name)
{
    T* widget = root->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

inline QStringList ItemTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

} // namespace TestSupport
