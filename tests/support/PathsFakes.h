#pragma once

// Host services around the save folders: a PathsSettings over an .ini file of
// the test's own, and an observer that writes down what it hears.

#include "DesktopFakes.h"
#include "UserSettings.h"

#include <QStringList>

#include <memory>
#include <string>

namespace TestSupport {

inline std::shared_ptr<Tavrix::RQ::PathsSettings> MakePathsSettings(const QString& iniFile,
                                                                    const std::string& productName = "Orbit Rec")
{
    auto customization = std::make_shared<FakeCustomizationManager>();
    customization->productName = productName;
    return std::make_shared<Tavrix::RQ::PathsSettings>(
        customization, std::make_shared<Tavrix::RQ::ApplicationSettingsManager>(iniFile));
}

// "OnUserSelectedSavePathChanged:/some/folder" per notification, in order.
class RecordingPathsObserver : public Tavrix::RQ::IPathsSettingsObserver
{
public:
    void OnResultsFolderPathChanged(const QString& f) override { Heard("OnResultsFolderPathChanged", f); }
    void OnTempFolderPathChanged(const QString& f) override { Heard("OnTempFolderPathChanged", f); }
    void OnRecordingsFolderPathChanged(const QString& f) override { Heard("OnRecordingsFolderPathChanged", f); }
    void OnUserSelectedSavePathChanged(const QString& f) override { Heard("OnUserSelectedSavePathChanged", f); }
    void OnScreenshotsFolderPathChanged(const QString& f) override { Heard("OnScreenshotsFolderPathChanged", f); }

    QStringList heard;

private:
    void Heard(const char* notification, const QString& folder)
    {
        heard << QString::fromLatin1(notification) + QLatin1Char(':') + folder;
    }
};

} // namespace TestSupport
