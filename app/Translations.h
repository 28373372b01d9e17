#pragma once

// The program's language: the plug-in's and the host's texts from
// "rqserviceyoutube_<code>.qm", Qt's own (standard buttons, the folder
// picker) from "qtbase_<code>.qm". Installing a language sends every open
// window a LanguageChange, so the windows retranslate on the spot, and a
// window of fixed size is measured again for its new texts.

#include <QString>
#include <QStringList>

#include <memory>

namespace Tavrix::RQ::Host {

class Translations
{
public:
    // Looks for the program's .qm files in these folders, in order.
    explicit Translations(const QStringList& folders = DefaultFolders());
    ~Translations();

    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Switches to the language `code` ("de", "fr_CA", "de-AT"; "en" or "C"
    // is the English of the sources) and makes it the default locale.
    // False when no translation of the program is found for it: the texts
    // then stay English, and the previous language is removed all the same.
    bool Use(const QString& code);

    // The language in use, as Use() was given it; empty before.
    QString Current() const;

    // Beside the program (translations/), the build tree's, and the installed one.
    static QStringList DefaultFolders();

    // The language to start in: `option` (--language), else `setting`, else the system's.
    static QString Choose(const QString& option, const QString& setting);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Host
