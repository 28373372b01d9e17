#include "YouTubeSharingDialog.h"

#include "MultiMediaHelper.h"
#include "PathsHelper.h"
#include "YouTubeSharingErrorHandler.h"
#include "YouTubeSharingWidget.h"

#include "AppServices.h"
#include "CoreUtils.h"
#include "MediaPresets.h"
#include "SocialUtils.h"
#include "TavrixWidget.h"
#include "UserSettings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegExp>
#include <QRegExpValidator>

#include <glog/logging.h>

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

namespace {
const char* const kContext = "YouTubeSharingWidget";
const char* const kStart = "Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingDialog::Impl::Start";

Social::Field EmptyField()
{
    return Social::Field();
}

void FillChoices(QComboBox* combo, const Social::Field& field)
{
    combo->clear();
    for (const Social::FieldOption& option : field.options)
        combo->addItem(option.displayText, option.value);
    combo->setCurrentIndex(combo->findData(field.selectedValue, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive));
}
} // namespace

class YouTubeSharingDialog::Impl : public QObject
{
public:
    Impl(YouTubeSharingDialog* dialog,
         YouTubeSharingErrorHandler& errorHandler,
         const std::shared_ptr<PathsSettings>& pathsSettings,
         const std::shared_ptr<IProjectStreamsBuilder>& projectStreamsBuilder,
         const std::shared_ptr<App::ICustomizationManager>& customizationManager,
         const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeelManager,
         const std::shared_ptr<App::ILinksGenerator>& linksGenerator)
        : errorHandler(errorHandler)
        , dialog(dialog)
        , ui(std::make_unique<YouTubeSharingWidget>(dialog))
        , pathsHelper(ui->browseComboBox, ui->browseButton, dialog, pathsSettings)
        , multiMediaHelper(ui->resolutionComboBox, ui->resolutionValueLabel, ui->sizeValueLabel,
                           ui->durationValueLabel, ClientAPI::PresetStorage::Create(), projectStreamsBuilder)
        , customizationManager(customizationManager)
        , lookAndFeelManager(lookAndFeelManager)
        , linksGenerator(linksGenerator)
        , titleValidator(new QRegExpValidator(QRegExp(QStringLiteral("[^\\s<>][^<>]*"), Qt::CaseSensitive, QRegExp::RegExp), this))
        , categoryFetcher(&EmptyField)
        , privacyFetcher(&EmptyField)
    {
        errorHandler.SetErrorLabel(ui->errorLabel);
        errorHandler.SetStartButton(ui->startButton);
        errorHandler.SetUserLabel(ui->userNameLabel);

        connect(ui->cancelButton, &QPushButton::clicked, dialog, [this] {
            multiMediaHelper.Reset();
            emit this->dialog->CancelRequested();
        });
        connect(ui->signInButton, &QPushButton::clicked, dialog, [this] { emit this->dialog->LogInRequested(); });
        connect(ui->signOutButton, &QPushButton::clicked, dialog, [this] { emit this->dialog->LogOutRequested(); });
        connect(ui->startButton, &QPushButton::clicked, dialog, [this, pathsSettings] { Start(*pathsSettings); });
        connect(ui->titleEdit, &QLineEdit::textChanged, this, &Impl::OnTitleChanged);

        ui->titleEdit->setMaxLength(100);
        ui->signInButton->setVisible(false);
    }

    ~Impl() override
    {
        errorHandler.SetErrorLabel(nullptr);
        errorHandler.SetStartButton(nullptr);
        errorHandler.SetUserLabel(nullptr);
    }

    void Retranslate()
    {
        ui->RetranslateUi();
        multiMediaHelper.RetranslatePresets();

        const QString productName = QString::fromUtf8(customizationManager->GetProductName().c_str());
        const QString homePage =
            QString::fromUtf8(linksGenerator->GetLink(App::ILinksGenerator::HOMEPAGE_URL_youtube_description).c_str());
        ui->descriptionText->setPlainText(
            QCoreApplication::translate(kContext, "Created with %1\n%2").arg(productName).arg(homePage));

        const QString brand = QString::fromUtf8(customizationManager->GetTagBrand().c_str()).simplified().toLower();
        const QString kind = QString::fromUtf8(customizationManager->GetTagKind().c_str()).simplified().toLower();
        ui->tagsText->setPlainText(QCoreApplication::translate(kContext, "%1, %1 %2", "Tags template").arg(brand).arg(kind));

        FillChoices(ui->categoryComboBox, categoryFetcher());
        FillChoices(ui->privacyComboBox, privacyFetcher());

        dialog->SetLoginStatus(loggedIn);
        dialog->SetUserName(userName);

        errorHandler.Retranslate();

        const QString locale = QString::fromUtf8(lookAndFeelManager->GetLocale().c_str());
        Util::ApplyWidgetStyle(ui->centralFrame, locale, "Locale");
        for (QWidget* widget : ui->centralFrame->findChildren<QWidget*>(QString()))
            Util::ApplyWidgetStyle(widget, locale, "Locale");
    }

    void OnTitleChanged(const QString& text)
    {
        errorHandler.ResetError(YouTubeSharingErrorHandler::TitleTooShort);
        if (text.isEmpty())
        {
            errorHandler.SetError(YouTubeSharingErrorHandler::TitleTooShort, true);
            return;
        }
        errorHandler.ResetError(YouTubeSharingErrorHandler::IncorrectFileName);
        QString copy = text;
        int position = 0;
        if (titleValidator->validate(copy, position) != QValidator::Acceptable)
            errorHandler.SetError(YouTubeSharingErrorHandler::IncorrectFileName, true);
    }

    void Start(PathsSettings& pathsSettings)
    {
        YouTubeSharingLogic::YouTubeInfoData info;
        info.title = ui->titleEdit->text();
        info.description = ui->descriptionText->toPlainText();
        info.tags = ui->tagsText->toPlainText();
        info.categoryId = ui->categoryComboBox->currentData(Qt::UserRole).toString();
        info.privacy = ui->privacyComboBox->currentData(Qt::UserRole).toString();

        const bool keepLocalCopy = ui->saveAsLocalFileCheckBox->isChecked();

        ConvertationContext context = multiMediaHelper.GetContext();
        const Conf::IPresetPtr preset = multiMediaHelper.GetCurrentPreset();
        // Without a conversion part or a preset there is nothing to export.
        if (!context.conversion)
        {
            LOG(ERROR) << kStart << ": " << "No file to share, start ignored";
            return;
        }
        if (!preset)
        {
            LOG(ERROR) << kStart << ": " << "No resolution selected, start ignored";
            return;
        }
        context.conversion->preset = preset;

        const QString folderText = keepLocalCopy
            ? QDir::fromNativeSeparators(QDir(ui->browseComboBox->currentText()).absolutePath())
            : pathsSettings.GetResultsFolderPath();
        const std::string folder = folderText.toStdString();
        const std::string fileName =
            FixFileNameForOS(ui->titleEdit->text().simplified().toStdString()) + "." + preset->GetFileExtension();
        context.outputPath = ioPath(folder) / ioPath(fileName);

        if (!CheckPathAndAnnoyUserIfInvalid(QString::fromStdString(folder), dialog))
            return;
        emit dialog->StartRequested(context, info, keepLocalCopy);
    }

    YouTubeSharingErrorHandler& errorHandler;
    YouTubeSharingDialog* dialog;
    std::unique_ptr<YouTubeSharingWidget> ui;
    PathsHelper pathsHelper;
    MultiMediaHelper multiMediaHelper;
    NotNull<App::ICustomizationManager> customizationManager;
    NotNull<App::ILookAndFeelManager> lookAndFeelManager;
    NotNull<App::ILinksGenerator> linksGenerator;
    QRegExpValidator* titleValidator;
    std::function<Social::Field()> categoryFetcher;
    std::function<Social::Field()> privacyFetcher;
    bool loggedIn = false;
    QString userName;
    QPixmap notAuthenticatedPixmap;
};

YouTubeSharingDialog::YouTubeSharingDialog(YouTubeSharingErrorHandler& errorHandler,
                                           const std::shared_ptr<SocialSettings>& /*socialSettings*/,
                                           const std::shared_ptr<PathsSettings>& pathsSettings,
                                           const std::shared_ptr<IProjectStreamsBuilder>& projectStreamsBuilder,
                                           const std::shared_ptr<App::ICustomizationManager>& customizationManager,
                                           const std::shared_ptr<App::ILookAndFeelManager>& lookAndFeelManager,
                                           const std::shared_ptr<App::ILinksGenerator>& linksGenerator,
                                           QWidget* parent)
    : AbstractAuthDialog(parent)
    , m_impl(std::make_unique<Impl>(this, errorHandler, pathsSettings, projectStreamsBuilder, customizationManager,
                                    lookAndFeelManager, linksGenerator))
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    m_impl->Retranslate();
    ensurePolished();
    adjustSize();
    setFixedSize(minimumSize());
}

YouTubeSharingDialog::~YouTubeSharingDialog() = default;

void YouTubeSharingDialog::SetFileContext(const ConvertationContext& context)
{
    m_impl->ui->titleEdit->setText(QString::fromUtf8(context.sourcePath.stem().c_str()));
    m_impl->multiMediaHelper.SetContext(context);
}

void YouTubeSharingDialog::SetCategoryDescriptionFetcher(const std::function<Social::Field()>& fetcher)
{
    m_impl->categoryFetcher = fetcher;
    m_impl->Retranslate();
}

void YouTubeSharingDialog::SetPrivacyDescriptionFetcher(const std::function<Social::Field()>& fetcher)
{
    m_impl->privacyFetcher = fetcher;
    m_impl->Retranslate();
}

QPixmap YouTubeSharingDialog::NotAuthenticatedPixmap() const
{
    return m_impl->notAuthenticatedPixmap;
}

void YouTubeSharingDialog::SetNotAuthenticatedPixmap(const QPixmap& pixmap)
{
    m_impl->notAuthenticatedPixmap = pixmap;
    SetUserPicture(m_impl->ui->userPictureWidget->pixmap());
}

void YouTubeSharingDialog::SetUserName(const QString& name)
{
    m_impl->userName = name;
    m_impl->ui->userNameLabel->setText(name);
}

void YouTubeSharingDialog::SetUserPicture(const QPixmap& picture)
{
    m_impl->ui->userPictureWidget->setPixmap(picture.isNull() ? m_impl->notAuthenticatedPixmap : picture);
}

void YouTubeSharingDialog::SetLoginStatus(bool loggedIn)
{
    m_impl->loggedIn = loggedIn;
    m_impl->ui->signInButton->setVisible(!loggedIn);
    m_impl->ui->signOutButton->setEnabled(loggedIn);
    m_impl->ui->userNameLabel->setVisible(loggedIn);
}

void YouTubeSharingDialog::keyPressEvent(QKeyEvent* event)
{
    // Keypad Enter counts whatever else is held, as QDialog itself sees it.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool plain = modifiers == Qt::NoModifier
        || (modifiers.testFlag(Qt::KeypadModifier) && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter))
    {
        // Return and Enter never press a default button here.
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void YouTubeSharingDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit CancelRequested();
}

void YouTubeSharingDialog::hideEvent(QHideEvent* event)
{
    m_impl->multiMediaHelper.Reset();
    QWidget::hideEvent(event);
}

void YouTubeSharingDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        m_impl->Retranslate();
    QWidget::changeEvent(event);
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
