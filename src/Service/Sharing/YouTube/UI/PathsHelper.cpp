#include "PathsHelper.h"

#include "CoreUtils.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>

#include <mutex>

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

namespace {

std::mutex g_pickerMutex;
PathsHelper::FolderPicker g_picker;

QString PickFolder(QWidget* parent, const QString& caption, const QString& startFolder,
                   QFileDialog::Options options)
{
    PathsHelper::FolderPicker picker;
    {
        std::lock_guard<std::mutex> lock(g_pickerMutex);
        picker = g_picker;
    }
    if (picker)
        return picker(parent, caption, startFolder, options);
    return QFileDialog::getExistingDirectory(parent, caption, startFolder, options);
}

// An entry's text: the absolute folder as the platform writes it.
QString EntryText(const QString& folder)
{
    return QDir::toNativeSeparators(QDir(folder).absolutePath());
}

// The folder an entry stands for, as the settings keep it.
QString FolderOf(const QString& entryText)
{
    return QDir::fromNativeSeparators(QDir(entryText).absolutePath());
}

} // namespace

struct PathsHelper::Impl
{
    Impl(QComboBox* combo, QPushButton* button, QWidget* dialog, const std::shared_ptr<PathsSettings>& settings)
        : browseComboBox(combo)
        , browseButton(button)
        , parent(dialog)
        , pathsSettings(settings)
    {
    }

    QPointer<QComboBox> browseComboBox;
    QPointer<QPushButton> browseButton;
    QPointer<QWidget> parent;
    NotNull<PathsSettings> pathsSettings;
};

PathsHelper::PathsHelper(QComboBox* browseComboBox, QPushButton* browseButton, QWidget* parent,
                         const std::shared_ptr<PathsSettings>& pathsSettings)
    : m_impl(std::make_unique<Impl>(browseComboBox, browseButton, parent, pathsSettings))
{
    // Before the connections: showing the stored folder must not store it again.
    OnUserSelectedSavePathChanged(m_impl->pathsSettings->GetUserSelectedSavePath());

    if (m_impl->browseComboBox)
    {
        connect(m_impl->browseComboBox, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
            if (index < 0 || !m_impl->browseComboBox)
                return;
            m_impl->pathsSettings->SetUserSelectedSavePath(FolderOf(m_impl->browseComboBox->currentText()));
        });
    }
    if (m_impl->browseButton)
    {
        connect(m_impl->browseButton, &QPushButton::clicked, this, [this] {
            if (!m_impl->browseComboBox)
                return;
            const QString folder =
                PickFolder(m_impl->parent, QCoreApplication::translate("YouTubeSharingWidget", "Save to"),
                           FolderOf(m_impl->browseComboBox->currentText()), QFileDialog::ShowDirsOnly);
            // Virtual on purpose: the same path as a change stored elsewhere.
            IPathsSettingsObserver* observer = this;
            observer->OnUserSelectedSavePathChanged(folder);
        });
    }

    m_impl->pathsSettings->RegisterEventHandler(this);
}

PathsHelper::~PathsHelper()
{
    m_impl->pathsSettings->UnregisterEventHandler(this);
}

void PathsHelper::OnUserSelectedSavePathChanged(const QString& folder)
{
    QComboBox* combo = m_impl->browseComboBox;
    if (folder.isEmpty() || !combo)
        return;
    const QString entry = EntryText(folder);
    // Appending to an empty list selects the entry, and the list's own signal
    // stores it; appending to a filled list leaves the selection alone.
    if (combo->findData(entry, Qt::DisplayRole, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        combo->insertItem(combo->count(), entry);
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(combo->findData(entry, Qt::DisplayRole, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void PathsHelper::OnResultsFolderPathChanged(const QString& /*folder*/)
{
}

void PathsHelper::OnTempFolderPathChanged(const QString& /*folder*/)
{
}

void PathsHelper::OnRecordingsFolderPathChanged(const QString& /*folder*/)
{
}

void PathsHelper::OnScreenshotsFolderPathChanged(const QString& /*folder*/)
{
}

QComboBox* PathsHelper::BrowseComboBox() const
{
    return m_impl->browseComboBox;
}

void PathsHelper::SetFolderPicker(FolderPicker picker)
{
    std::lock_guard<std::mutex> lock(g_pickerMutex);
    g_picker = std::move(picker);
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
