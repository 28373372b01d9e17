#include "YouTubeSharingWidget.h"

#include "TavrixWidget.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <stdexcept>

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

namespace {

using Tavrix::UI::TFrame;
using Tavrix::UI::TGridLayout;
using Tavrix::UI::TPixmapWidget;
using Tavrix::UI::LayoutHelpers::Alignment;
using Tavrix::UI::LayoutHelpers::CellModifier;

constexpr Qt::Alignment kNone;
constexpr Qt::Alignment kTop = Qt::AlignTop;
constexpr Qt::Alignment kLeftTop = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kLeftBottom = Qt::AlignLeft | Qt::AlignBottom;
constexpr Qt::Alignment kLeftVCenter = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kCenter = Qt::AlignCenter;

template <class T, class... Args>
T* Make(const char* name, QWidget* parent, Args... args)
{
    T* widget = new T(parent, args...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

TFrame* MakeFrame(const char* name, QWidget* parent)
{
    return Make<TFrame>(name, parent, Qt::WindowFlags());
}

template <class TLayout>
TLayout* MakeLayout(QWidget* owner)
{
    auto* layout = new TLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// The separator lines get their look from the host's style sheet.
void AddLine(QBoxLayout* layout, const char* name)
{
    layout->addWidget(Make<QFrame>(name, layout->parentWidget()));
}

} // namespace

YouTubeSharingWidget::YouTubeSharingWidget(QWidget* parent)
{
    if (!parent)
        throw std::logic_error("YouTubeSharingWidget needs the dialog as its parent");

    // Three widgets start in another frame than the one that lays them out;
    // the layouts move them.
    centralFrame = MakeFrame("centralFrame", parent);
    socialInfoFrame = MakeFrame("socialInfoFrame", centralFrame);
    youTubeIconLabel = Make<QLabel>("youTubeIconLabel", socialInfoFrame);
    youTubeLabel = Make<QLabel>("youTubeLabel", socialInfoFrame);
    userPictureWidget = Make<TPixmapWidget>("userPictureWidget", socialInfoFrame, Qt::WindowFlags());
    userInfoFrame = MakeFrame("userInfoFrame", socialInfoFrame);
    userNameLabel = Make<QLabel>("userNameLabel", userInfoFrame);
    signInButton = Make<QPushButton>("signInButton", userInfoFrame);
    signOutButton = Make<QPushButton>("signOutButton", userInfoFrame);
    inputFrame = MakeFrame("inputFrame", centralFrame);
    inputEditFrame = MakeFrame("inputEditFrame", centralFrame);
    titleLabel = Make<QLabel>("titleLabel", inputEditFrame);
    titleEdit = Make<QLineEdit>("titleEdit", inputEditFrame);
    descriptionLabel = Make<QLabel>("descriptionLabel", inputEditFrame);
    descriptionText = Make<QPlainTextEdit>("descriptionText", inputEditFrame);
    tagsLabel = Make<QLabel>("tagsLabel", inputEditFrame);
    tagsText = Make<QPlainTextEdit>("tagsText", inputEditFrame);
    inputComboboxFrame = MakeFrame("inputComboboxFrame", centralFrame);
    resolutionLabel = Make<QLabel>("resolutionLabel", inputComboboxFrame);
    resolutionComboBox = Make<QComboBox>("resolutionComboBox", inputComboboxFrame);
    categoryLabel = Make<QLabel>("categoryLabel", inputComboboxFrame);
    categoryComboBox = Make<QComboBox>("categoryComboBox", inputComboboxFrame);
    privacyLabel = Make<QLabel>("privacyLabel", inputComboboxFrame);
    privacyComboBox = Make<QComboBox>("privacyComboBox", inputComboboxFrame);
    errorLabel = Make<QLabel>("errorLabel", inputComboboxFrame);
    videoInfoFrame = MakeFrame("videoInfoFrame", centralFrame);
    resolutionTextLabel = Make<QLabel>("resolutionTextLabel", videoInfoFrame);
    resolutionValueLabel = Make<QLabel>("resolutionValueLabel", videoInfoFrame);
    sizeTextLabel = Make<QLabel>("sizeTextLabel", videoInfoFrame);
    sizeValueLabel = Make<QLabel>("sizeValueLabel", videoInfoFrame);
    durationTextLabel = Make<QLabel>("durationTextLabel", videoInfoFrame);
    durationValueLabel = Make<QLabel>("durationValueLabel", videoInfoFrame);
    controlFrame = MakeFrame("controlFrame", centralFrame);
    saveAsLocalFileCheckBox = Make<QCheckBox>("saveAsLocalFileCheckBox", controlFrame);
    browseComboBox = Make<QComboBox>("browseComboBox", controlFrame);
    browseButton = Make<QPushButton>("browseButton", controlFrame);
    startButton = Make<QPushButton>("startButton", controlFrame);
    cancelButton = Make<QPushButton>("cancelButton", controlFrame);

    descriptionText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tagsText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* userInfoLayout = MakeLayout<QVBoxLayout>(userInfoFrame);
    userInfoLayout->addWidget(userNameLabel, 0, kLeftTop);
    userInfoLayout->addWidget(signInButton, 0, kLeftBottom);

    auto* socialInfoLayout = MakeLayout<QHBoxLayout>(socialInfoFrame);
    socialInfoLayout->addWidget(youTubeIconLabel, 0, kLeftVCenter);
    socialInfoLayout->addWidget(youTubeLabel, 0, kLeftVCenter);
    socialInfoLayout->addStretch(0);
    socialInfoLayout->addWidget(userPictureWidget, 0, kLeftVCenter);
    socialInfoLayout->addWidget(userInfoFrame, 0, kLeftVCenter);
    AddLine(socialInfoLayout, "socialInfoSeparator");
    socialInfoLayout->addWidget(signOutButton, 0, kLeftVCenter);

    auto* inputEditLayout = MakeLayout<TGridLayout>(inputEditFrame);
    inputEditLayout->addRow({{titleLabel, Alignment::LeftVCenter}, {titleEdit, Alignment::LeftTop}}, 0);
    inputEditLayout->addRow({{descriptionLabel, Alignment::LeftTop}, {descriptionText, Alignment::LeftTop}}, 0);
    inputEditLayout->addRow({{tagsLabel, Alignment::LeftTop}, {tagsText, Alignment::LeftTop}}, 0);

    auto* inputComboboxLayout = MakeLayout<TGridLayout>(inputComboboxFrame);
    inputComboboxLayout->addRow(
        {{resolutionLabel, Alignment::LeftVCenter}, {resolutionComboBox, Alignment::LeftTop}}, 0);
    inputComboboxLayout->addRow({{categoryLabel, Alignment::LeftVCenter}, {categoryComboBox, Alignment::LeftTop}},
                                0);
    inputComboboxLayout->addRow({{privacyLabel, Alignment::LeftVCenter}, {privacyComboBox, Alignment::LeftTop}}, 0);
    inputComboboxLayout->addRow({{errorLabel, Alignment::LeftTop}, CellModifier::EmptyCell}, 0);

    auto* inputLayout = MakeLayout<QHBoxLayout>(inputFrame);
    inputLayout->addWidget(inputEditFrame, 0, kTop);
    inputLayout->addWidget(inputComboboxFrame, 0, kTop);

    auto* videoInfoLayout = MakeLayout<QHBoxLayout>(videoInfoFrame);
    videoInfoLayout->addStretch(0);
    videoInfoLayout->addWidget(resolutionTextLabel, 0, kCenter);
    videoInfoLayout->addWidget(resolutionValueLabel, 0, kCenter);
    videoInfoLayout->addStretch(0);
    AddLine(videoInfoLayout, "videoInfoSeparator");
    videoInfoLayout->addStretch(0);
    videoInfoLayout->addWidget(sizeTextLabel, 0, kCenter);
    videoInfoLayout->addWidget(sizeValueLabel, 0, kCenter);
    videoInfoLayout->addStretch(0);
    AddLine(videoInfoLayout, "videoInfoSeparator");
    videoInfoLayout->addStretch(0);
    videoInfoLayout->addWidget(durationTextLabel, 0, kCenter);
    videoInfoLayout->addWidget(durationValueLabel, 0, kCenter);
    videoInfoLayout->addStretch(0);

    auto* controlLayout = MakeLayout<QHBoxLayout>(controlFrame);
    controlLayout->addWidget(saveAsLocalFileCheckBox, 0, kLeftVCenter);
    controlLayout->addWidget(browseComboBox, 0, kLeftVCenter);
    controlLayout->addWidget(browseButton, 0, kLeftVCenter);
    controlLayout->addStretch(0);
    controlLayout->addWidget(cancelButton, 0, kCenter);
    controlLayout->addWidget(startButton, 0, kCenter);

    auto* centralLayout = MakeLayout<QVBoxLayout>(centralFrame);
    centralLayout->addWidget(socialInfoFrame, 0, kNone);
    AddLine(centralLayout, "horizontalLine");
    centralLayout->addWidget(inputFrame, 0, kNone);
    AddLine(centralLayout, "horizontalLine");
    centralLayout->addWidget(videoInfoFrame, 0, kNone);
    centralLayout->addWidget(controlFrame, 0, kNone);

    auto* dialogLayout = MakeLayout<QHBoxLayout>(parent);
    dialogLayout->addWidget(centralFrame, 0, kNone);

    RetranslateUi();
}

YouTubeSharingWidget::~YouTubeSharingWidget() = default;

void YouTubeSharingWidget::RetranslateUi()
{
    signInButton->setText(QCoreApplication::translate("YouTubeSharingWidget", "Sign In...", nullptr, -1));
    youTubeLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "YouTube", nullptr, -1));
    titleLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "Title:", nullptr, -1));
    resolutionLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "Resolution:", nullptr, -1));
    descriptionLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "Description:", nullptr, -1));
    categoryLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "Category:", nullptr, -1));
    tagsLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "Tags:", nullptr, -1));
    privacyLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "Privacy:", nullptr, -1));
    saveAsLocalFileCheckBox->setText(QCoreApplication::translate("YouTubeSharingWidget", "Save to:", nullptr, -1));
    browseButton->setText(QCoreApplication::translate("YouTubeSharingWidget", "Browse", nullptr, -1));
    resolutionTextLabel->setText(
        QCoreApplication::translate("YouTubeSharingWidget", "Export Settings:", nullptr, -1));
    sizeTextLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "Estimated File Size:", nullptr, -1));
    durationTextLabel->setText(QCoreApplication::translate("YouTubeSharingWidget", "Duration:", nullptr, -1));
    cancelButton->setText(QCoreApplication::translate("YouTubeSharingWidget", "Cancel", nullptr, -1));
    startButton->setText(QCoreApplication::translate("YouTubeSharingWidget", "Start", nullptr, -1));
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
