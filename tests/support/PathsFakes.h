#pragma once

// Host services around the save folders: a branding fake, a PathsSettings over
// an .ini file of the test's own, and an observer that writes down what it hears.

#include "AppServices.h"
#include "UserSettings.h"

#include <QStringList>

#include <memory>
#include <string>

namespace TestSupport {

class FakeCustomizationManager : public Tavrix::App::ICustomizationManager
{
public:
    std::string GetProductName() const override { return productName; }
    std::string GetTagBrand() const override { return "Orbit"; }
    std::string GetTagKind() const override { return "Screen Recorder"; }
    std::string GetCompanyName() const override { return "Tavrix"; }

    std::string productName = "Orbit Rec";
};

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
    void OnResultsFolderPathChanged(const QString& folder) override { Heard("OnResultsFolderPathChanged", folder); }
    void OnTempFolderPathChanged(const QString& folder) override { Heard("OnTempFolderPathChanged", folder); }
    void OnRecordingsFolderPathChanged(const QString& folder) override
    {
        Heard("OnRecordingsFolderPathChanged", folder);
    }
    void OnUserSelectedSavePathChanged(const QString& folder) override
    {
        Heard("OnUserSelectedSavePathChanged", folder);
    }
    void OnScreenshotsFolderPathChanged(const QString& folder) override
    {
        Heard("OnScreenshotsFolderPathChanged", folder);
    }

    QStringList heard;

private:
    void Heard(const char* notification, const QString& folder)
    {
        heard << QString::fromLatin1(notification) + QLatin1Char(':') + folder;
    }
};

} // namespace TestSupport
