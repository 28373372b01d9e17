#include "Translations.h"

#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>

#include <glog/logging.h>

namespace Tavrix::RQ::Host {

namespace {
constexpr char kUse[] = "Tavrix::RQ::Host::Translations::Use";
const QString kProgramCatalogue = QStringLiteral("rqserviceyoutube");
} // namespace

struct Translations::Impl
{
    QStringList folders;
    QString current;
    std::unique_ptr<QTranslator> program;
    std::unique_ptr<QTranslator> qt;

    void Remove()
    {
        for (auto* translator : {program.get(), qt.get()})
            if (translator)
                QCoreApplication::removeTranslator(translator);
        program.reset();
        qt.reset();
    }

    // A window of fixed size (the sharing dialog) was measured in the
    // language it was built in; longer texts would be clipped. Delivered at
    // once, the LanguageChange has set the new texts, and the window keeps
    // its fixed size, measured again.
    static void Refit()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        for (QWidget* window : QApplication::topLevelWidgets())
        {
            if (!window->layout() || window->minimumSize() != window->maximumSize())
                continue;
            window->layout()->activate();
            window->setFixedSize(window->minimumSizeHint());
        }
    }

    // QTranslator falls back from "de_AT" to "de" by itself.
    std::unique_ptr<QTranslator> Load(const QLocale& locale, const QString& name, const QStringList& where) const
    {
        auto translator = std::make_unique<QTranslator>();
        for (const QString& folder : where)
            if (translator->load(locale, name, QStringLiteral("_"), folder))
                return translator;
        return nullptr;
    }
};

Translations::Translations(const QStringList& folders)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->folders = folders;
}

Translations::~Translations()
{
    m_impl->Remove();
}

bool Translations::Use(const QString& code)
{
    const QLocale locale(code);
    m_impl->Remove();
    m_impl->current = code;
    QLocale::setDefault(locale);
    // English is what the sources say; removing the last language's
    // translators has already turned the open windows English.
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
    {
        Impl::Refit();
        return true;
    }
    m_impl->program = m_impl->Load(locale, kProgramCatalogue, m_impl->folders);
    if (!m_impl->program)
    {
        LOG(WARNING) << kUse << ": " << "No translation into " << code.toStdString() << " in "
                     << m_impl->folders.join(QStringLiteral(", ")).toStdString() << "; the texts stay English";
        Impl::Refit();
        return false;
    }
    m_impl->qt = m_impl->Load(locale, QStringLiteral("qtbase"),
                              {QLibraryInfo::location(QLibraryInfo::TranslationsPath)});
    if (m_impl->qt)
        QCoreApplication::installTranslator(m_impl->qt.get());
    QCoreApplication::installTranslator(m_impl->program.get());
    Impl::Refit();
    LOG(INFO) << kUse << ": " << "Speaking " << locale.name().toStdString();
    return true;
}

QString Translations::Current() const
{
    return m_impl->current;
}

QStringList Translations::DefaultFolders()
{
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.filePath(QStringLiteral("translations")), program.filePath(QStringLiteral("../translations")),
            program.filePath(QStringLiteral("../share/RQServiceYouTube/translations"))};
}

QString Translations::Choose(const QString& option, const QString& setting)
{
    if (!option.trimmed().isEmpty())
        return option.trimmed();
    if (!setting.trimmed().isEmpty())
        return setting.trimmed();
    return QLocale::system().name();
}

} // namespace Tavrix::RQ::Host
