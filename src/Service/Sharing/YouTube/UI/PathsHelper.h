#pragma once

#include "RQServiceYouTubeExport.h"

#include "UserSettings.h"

#include <QFileDialog>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QComboBox;
class QPushButton;
class QWidget;

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

// Keeps the dialog's "Save to" folder list in step with the host's
// user-selected save path: a folder picked in the list is stored, a folder
// stored elsewhere joins the list and is selected, and Browse adds folders.
// No Q_OBJECT: the observer interface comes first, and the connections are
// functors with this object as their context.
class RQSERVICEYOUTUBE_AUTOTEST_EXPORT PathsHelper : public IPathsSettingsObserver, public QObject
{
public:
    // Same arguments as QFileDialog::getExistingDirectory.
    using FolderPicker = std::function<QString(QWidget* parent, const QString& caption, const QString& startFolder,
                                               QFileDialog::Options options)>;

    PathsHelper(QComboBox* browseComboBox, QPushButton* browseButton, QWidget* parent,
                const std::shared_ptr<PathsSettings>& pathsSettings);
    ~PathsHelper() override;

    PathsHelper(const PathsHelper&) = delete;
    PathsHelper& operator=(const PathsHelper&) = delete;

    // Adds the folder to the list unless it is there, and selects it without
    // storing it. An empty folder changes nothing.
    void OnUserSelectedSavePathChanged(const QString& folder) override;

    void OnResultsFolderPathChanged(const QString& folder) override;
    void OnTempFolderPathChanged(const QString& folder) override;
    void OnRecordingsFolderPathChanged(const QString& folder) override;
    void OnScreenshotsFolderPathChanged(const QString& folder) override;

    // Null once the dialog's widgets are gone.
    QComboBox* BrowseComboBox() const;

    // How Browse asks for a folder, process-wide; an empty picker restores
    // QFileDialog::getExistingDirectory. Lets tests answer without a modal dialog.
    static void SetFolderPicker(FolderPicker picker);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
