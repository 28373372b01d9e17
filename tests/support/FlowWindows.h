#pragma once

// The windows of a sharing as a test looks at them: found by their object
// names, and null (or a "<no name>" text) when they are not there, so that a
// missing widget fails a comparison instead of crashing the test.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace TestSupport {

// A shown window (or dialog) by its object name.
inline QWidget* VisibleWindow(const QString& objectName)
{
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->isVisible() && widget->objectName() == objectName)
            return widget;
    return nullptr;
}

template <class T>
T* Child(const QWidget* parent, const char* objectName)
{
    return parent ? parent->findChild<T*>(QLatin1String(objectName)) : nullptr;
}

inline QPushButton* Button(const QWidget* parent, const char* objectName)
{
    return Child<QPushButton>(parent, objectName);
}

inline QString LabelText(const QWidget* parent, const char* objectName)
{
    const QLabel* label = Child<QLabel>(parent, objectName);
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(objectName));
}

} // namespace TestSupport
