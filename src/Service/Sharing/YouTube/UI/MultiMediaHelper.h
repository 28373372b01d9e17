#pragma once

#include "RQServiceYouTubeExport.h"

#include "MediaPresets.h"
#include "SocialServices.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;

namespace Tavrix::RQ {
class IProjectStreamsBuilder;
}

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

// The dialog's resolution list: the catalogue's YouTube presets in catalogue
// order; item i shows presets[i], its data (Qt::UserRole) is the identifier.
struct RQSERVICEYOUTUBE_AUTOTEST_EXPORT PresetComboHelper
{
    // Loads the catalogue from the host's resources and fills combo, starting
    // on the default preset. Throws std::logic_error for a null storage.
    PresetComboHelper(QComboBox* combo, const boost::intrusive_ptr<ClientAPI::PresetStorage>& storage);

    PresetComboHelper(const PresetComboHelper&) = delete;
    PresetComboHelper& operator=(const PresetComboHelper&) = delete;

    // What the catalogue answers for the selected item's identifier (the
    // empty identifier without a selection).
    Conf::IPresetPtr GetCurrentPreset() const;
    // Relabels the items in the current language, keeping the selection and
    // emitting nothing.
    void RetranslatePresets();

    QPointer<QComboBox> combo;
    boost::intrusive_ptr<ClientAPI::PresetStorage> storage;
    std::vector<Conf::IPresetPtr> presets;

private:
    void AppendItems();
};

// The resolution list and the facts strip of the sharing dialog: output
// frame size, estimated file size and duration of the file being shared with
// the selected preset. Labels change only while a context is set.
class RQSERVICEYOUTUBE_AUTOTEST_EXPORT MultiMediaHelper : public QObject
{
    Q_OBJECT
public:
    // Throws std::logic_error when streamsBuilder is empty.
    MultiMediaHelper(QComboBox* resolutionComboBox, QLabel* resolutionValueLabel, QLabel* sizeValueLabel,
                     QLabel* durationValueLabel, const boost::intrusive_ptr<ClientAPI::PresetStorage>& storage,
                     const std::shared_ptr<IProjectStreamsBuilder>& streamsBuilder);
    ~MultiMediaHelper() override;

    MultiMediaHelper(const MultiMediaHelper&) = delete;
    MultiMediaHelper& operator=(const MultiMediaHelper&) = delete;

    // Starts a new context: probes its streams and refreshes the facts.
    void SetContext(const ConvertationContext& context);
    // Forgets the context; the labels keep their texts.
    void Reset();
    Conf::IPresetPtr GetCurrentPreset() const;
    const ConvertationContext& GetContext() const;
    void RetranslatePresets();

public slots:
    void OnPresetChanged();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
