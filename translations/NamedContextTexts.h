#pragma once

// Texts that the plug-in translates through a named context constant, which
// lupdate cannot follow, marked here exactly as the code has them so that the
// translation files carry them: the dialog's default description and tags
// (UI/YouTubeSharingDialog.cpp). The Translations test shows the dialog in
// German and finds their English text if the two drift apart.

#include <QtGlobal>

namespace Tavrix::RQ::Translations {

struct NamedContextText
{
    const char* source;
    const char* comment;
};

[[maybe_unused]] constexpr NamedContextText kNamedContextTexts[] = {
    QT_TRANSLATE_NOOP3("YouTubeSharingWidget", "Created with %1\n%2", ""),
    QT_TRANSLATE_NOOP3("YouTubeSharingWidget", "%1, %1 %2", "Tags template"),
};

} // namespace Tavrix::RQ::Translations
