#pragma once

// The host's look: the widget style and the style sheet that every window of
// the host gets, shipped as resources of this library (look/host.qss and the
// pictures it names), and the product's name in window titles.

#include <QString>

class QApplication;

namespace Tavrix::App {

class ICustomizationManager;

// Gives the application Qt's Fusion style, made to shorten a list's text that
// does not fit in the middle ("/home/ann/…/Shared"), and the host's style sheet;
// window titles end with the product's name. Once, after the translators are
// installed and before the first window is made.
void ApplyHostLook(QApplication& app, const ICustomizationManager& customization);

// The style sheet ApplyHostLook sets: the shipped one, then the rules that carry
// texts (tooltips, window titles) in the current language.
QString HostStyleSheet();

} // namespace Tavrix::App
