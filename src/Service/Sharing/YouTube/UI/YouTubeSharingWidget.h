#pragma once

#include "RQServiceYouTubeExport.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace Tavrix::UI {
class TFrame;
class TPixmapWidget;
} // namespace Tavrix::UI

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

// The sharing dialog's form: builds the widget tree on the dialog and points
// at its widgets. The widgets belong to the dialog through Qt parenthood;
// destroying the record destroys none of them.
class RQSERVICEYOUTUBE_AUTOTEST_EXPORT YouTubeSharingWidget
{
public:
    explicit YouTubeSharingWidget(QWidget* parent);
    ~YouTubeSharingWidget();

    YouTubeSharingWidget(const YouTubeSharingWidget&) = delete;
    YouTubeSharingWidget& operator=(const YouTubeSharingWidget&) = delete;

    // Sets the form's fixed texts in the current language.
    void RetranslateUi();

    Tavrix::UI::TFrame* centralFrame = nullptr;
    Tavrix::UI::TFrame* socialInfoFrame = nullptr;
    QLabel* youTubeIconLabel = nullptr;
    QLabel* youTubeLabel = nullptr;
    Tavrix::UI::TPixmapWidget* userPictureWidget = nullptr;
    Tavrix::UI::TFrame* userInfoFrame = nullptr;
    QLabel* userNameLabel = nullptr;
    QPushButton* signInButton = nullptr;
    QPushButton* signOutButton = nullptr;
    Tavrix::UI::TFrame* inputFrame = nullptr;
    Tavrix::UI::TFrame* inputEditFrame = nullptr;
    QLabel* titleLabel = nullptr;
    QLineEdit* titleEdit = nullptr;
    QLabel* descriptionLabel = nullptr;
    QPlainTextEdit* descriptionText = nullptr;
    QLabel* tagsLabel = nullptr;
    QPlainTextEdit* tagsText = nullptr;
    Tavrix::UI::TFrame* inputComboboxFrame = nullptr;
    QLabel* resolutionLabel = nullptr;
    QComboBox* resolutionComboBox = nullptr;
    QLabel* categoryLabel = nullptr;
    QComboBox* categoryComboBox = nullptr;
    QLabel* privacyLabel = nullptr;
    QComboBox* privacyComboBox = nullptr;
    QLabel* errorLabel = nullptr;
    Tavrix::UI::TFrame* videoInfoFrame = nullptr;
    QLabel* resolutionTextLabel = nullptr;
    QLabel* resolutionValueLabel = nullptr;
    QLabel* sizeTextLabel = nullptr;
    QLabel* sizeValueLabel = nullptr;
    QLabel* durationTextLabel = nullptr;
    QLabel* durationValueLabel = nullptr;
    Tavrix::UI::TFrame* controlFrame = nullptr;
    QCheckBox* saveAsLocalFileCheckBox = nullptr;
    QComboBox* browseComboBox = nullptr;
    QPushButton* browseButton = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* cancelButton = nullptr;
};

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
