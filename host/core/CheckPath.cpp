#include "CoreUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryFile>

#include <mutex>

namespace Tavrix::RQ {

namespace {

// Its texts in the context "CheckPath", where lupdate finds them too.
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(CheckPath)
};

std::mutex g_presenterMutex;
PathProblemPresenter g_presenter;

void ShowWarning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}

void Present(QWidget* parent, const QString& text)
{
    PathProblemPresenter presenter;
    {
        std::lock_guard<std::mutex> lock(g_presenterMutex);
        presenter = g_presenter;
    }
    if (!presenter)
        presenter = ShowWarning;
    presenter(parent, Tr::tr("Cannot save here"), text);
}

QString Shown(const QString& folder)
{
    return QDir::toNativeSeparators(folder);
}

} // namespace

void SetPathProblemPresenter(PathProblemPresenter presenter)
{
    std::lock_guard<std::mutex> lock(g_presenterMutex);
    g_presenter = std::move(presenter);
}

bool CheckPathAndAnnoyUserIfInvalid(const QString& folder, QWidget* parent)
{
    if (folder.trimmed().isEmpty())
    {
        Present(parent, Tr::tr("No folder is chosen. Please choose a folder to save to."));
        return false;
    }

    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
    {
        Present(parent, Tr::tr("\"%1\" is a file, not a folder. Please choose a folder.").arg(Shown(folder)));
        return false;
    }
    if (!info.exists() && !QDir().mkpath(folder))
    {
        Present(parent, Tr::tr("The folder \"%1\" does not exist and cannot be created. "
                               "Please choose another folder.")
                            .arg(Shown(folder)));
        return false;
    }

    // Permission bits do not tell the whole story (read-only mounts, ACLs,
    // pseudo file systems): only a real write does. The file goes away with
    // the object.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-check-XXXXXX")));
    if (!probe.open())
    {
        Present(parent, Tr::tr("Files cannot be saved in the folder \"%1\" (%2). "
                               "Please choose another folder.")
                            .arg(Shown(folder), probe.errorString()));
        return false;
    }
    return true;
}

} // namespace Tavrix::RQ
