#include "SharingBehaviour.h"

#include "AppServices.h"
#include "ParentProvider.h"
#include "ProjectManager.h"
#include "SocialUtils.h"
#include "UserSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <glog/logging.h>

#include <algorithm>

namespace Tavrix::RQ::Service::Sharing {

namespace {
constexpr char kResultProcess[] = "Tavrix::RQ::Service::Sharing::SharingResultBehaviour::Process";

struct TrProgress
{
    Q_DECLARE_TR_FUNCTIONS(SharingProgressBehaviour)
};

struct TrResult
{
    Q_DECLARE_TR_FUNCTIONS(SharingResultBehaviour)
};

// Reports come when the work moves; the clock moves in between.
constexpr int kTickMs = 250;

// A negative time is an estimate not known yet.
QString TimeText(qint64 msecs)
{
    return msecs >= 0 ? msecsToString(static_cast<int>(msecs), false, false) : QStringLiteral("--:--");
}

qint64 MsecsOf(const QTime& time)
{
    return time.isValid() ? QTime(0, 0).msecsTo(time) : -1;
}

QLabel* NewLabel(QWidget* parent, const char* objectName)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setWordWrap(true);
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* objectName)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

// A window whose Escape and close button ask the owner instead of just hiding.
class CancellableWindow : public QDialog
{
public:
    CancellableWindow(QWidget* parent, std::function<void()> onReject)
        : QDialog(parent)
        , m_onReject(std::move(onReject))
    {
        setModal(false);
    }

    void reject() override { m_onReject(); }

private:
    std::function<void()> m_onReject;
};

// Shows the window over parent, moving it there when it was under another one.
void ShowUnder(QDialog* window, QWidget* parent)
{
    if (window->parentWidget() != parent)
        window->setParent(parent, window->windowFlags() | Qt::Dialog);
    window->show();
    window->raise();
}
} // namespace

struct SharingProgressBehaviour::Impl
{
    explicit Impl(const std::shared_ptr<UI::ParentProvider>& provider)
        : parentProvider(provider)
    {
    }

    NotNull<UI::ParentProvider> parentProvider;
    TextGetter progressText;
    TextGetter accelerationInfo;
    TextGetter saveFormatText;
    bool running = false;
    bool cancelling = false;
    QPointer<QDialog> window;
    QLabel* headline = nullptr;
    QLabel* detail = nullptr;
    QLabel* acceleration = nullptr;
    QProgressBar* bar = nullptr;
    QLabel* elapsed = nullptr;
    QLabel* remaining = nullptr;
    QPushButton* cancel = nullptr;

    // The last report, and the time since it.
    float fraction = 0.0f;
    qint64 reportedElapsed = 0;
    qint64 reportedRemaining = -1;
    QElapsedTimer sinceReport;
    QTimer ticker;

    static QString Text(const TextGetter& getter)
    {
        return getter ? getter() : QString();
    }

    void Build(SharingProgressBehaviour& owner, QWidget* parent)
    {
        auto* dialog = new CancellableWindow(parent, [this, &owner] { RequestCancel(owner); });
        dialog->setObjectName(QStringLiteral("sharingProgressWindow"));
        dialog->setMinimumWidth(360);
        headline = NewLabel(dialog, "progressText");
        detail = NewLabel(dialog, "progressDetail");
        acceleration = NewLabel(dialog, "accelerationInfo");
        bar = new QProgressBar(dialog);
        bar->setObjectName(QStringLiteral("progressBar"));
        bar->setRange(0, 100);
        elapsed = NewLabel(dialog, "elapsedLabel");
        remaining = NewLabel(dialog, "remainingLabel");
        remaining->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        cancel = NewButton(dialog, "cancelButton");
        QObject::connect(cancel, &QPushButton::clicked, &owner, [this, &owner] { RequestCancel(owner); });

        auto* times = new QHBoxLayout;
        times->addWidget(elapsed);
        times->addWidget(remaining);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(cancel);
        auto* layout = new QVBoxLayout(dialog);
        layout->addWidget(headline);
        layout->addWidget(detail);
        layout->addWidget(acceleration);
        layout->addWidget(bar);
        layout->addLayout(times);
        layout->addLayout(buttons);
        window = dialog;
        ticker.setInterval(kTickMs);
        QObject::connect(&ticker, &QTimer::timeout, dialog, [this] { ShowTimes(); });
    }

    void RequestCancel(SharingProgressBehaviour& owner)
    {
        if (!running || cancelling)
            return;
        cancelling = true;
        UpdateTexts();
        emit owner.CancelRequested();
    }

    void UpdateTexts()
    {
        if (!window)
            return;
        window->setWindowTitle(TrProgress::tr("Sharing"));
        const QString main = Text(saveFormatText);
        headline->setText(main.isEmpty() ? TrProgress::tr("Working...") : main);
        const QString second = Text(progressText);
        detail->setText(second);
        detail->setVisible(!second.isEmpty());
        const QString third = Text(accelerationInfo);
        acceleration->setText(third);
        acceleration->setVisible(!third.isEmpty());
        cancel->setText(cancelling ? TrProgress::tr("Cancelling...") : TrProgress::tr("Cancel"));
        cancel->setEnabled(!cancelling);
    }

    void SetTimes(float done, const QTime& spent, const QTime& left)
    {
        fraction = done;
        reportedElapsed = qMax<qint64>(0, MsecsOf(spent));
        // Nothing done yet is no basis for an estimate, whatever came with it.
        reportedRemaining = done > 0.0f ? MsecsOf(left) : -1;
        sinceReport.start();
        ShowTimes();
    }

    void ShowTimes()
    {
        const qint64 since = sinceReport.isValid() && ticker.isActive() ? sinceReport.elapsed() : 0;
        elapsed->setText(TrProgress::tr("Elapsed: %1").arg(TimeText(reportedElapsed + since)));
        // The estimate counts down with the clock, rounded up to the second;
        // used up before the work is done, it is no estimate any more.
        qint64 left = reportedRemaining;
        if (fraction >= 1.0f)
            left = 0;
        else if (left >= 0)
            left = left >= since ? (left - since + 999) / 1000 * 1000 : -1;
        remaining->setText(TrProgress::tr("Remaining: %1").arg(TimeText(left)));
    }

    // The clock holds while paused, and goes on from where it stood.
    void Tick(bool on)
    {
        if (on == ticker.isActive())
            return;
        if (on)
        {
            ticker.start();
        }
        else
        {
            const qint64 since = sinceReport.elapsed();
            reportedElapsed += since;
            reportedRemaining = reportedRemaining >= since ? reportedRemaining - since : -1;
            ticker.stop();
        }
        sinceReport.start();
        ShowTimes();
    }
};

SharingProgressBehaviour::SharingProgressBehaviour(const std::shared_ptr<UI::ParentProvider>& parentProvider)
    : m_impl(std::make_unique<Impl>(parentProvider))
{
}

SharingProgressBehaviour::~SharingProgressBehaviour()
{
    delete m_impl->window.data();
}

void SharingProgressBehaviour::SetProgressText(const TextGetter& getter)
{
    m_impl->progressText = getter;
    m_impl->UpdateTexts();
}

void SharingProgressBehaviour::SetAccelerationInfo(const TextGetter& getter)
{
    m_impl->accelerationInfo = getter;
    m_impl->UpdateTexts();
}

void SharingProgressBehaviour::SetSaveFormatTextGetter(const TextGetter& getter)
{
    m_impl->saveFormatText = getter;
    m_impl->UpdateTexts();
}

void SharingProgressBehaviour::Process(float fraction, const QTime& elapsed, const QTime& remaining)
{
    // A report that arrives after OnStop belongs to nothing shown.
    if (!m_impl->running || !m_impl->window)
        return;
    const float clamped = std::clamp(fraction, 0.0f, 1.0f);
    m_impl->bar->setValue(qRound(clamped * 100.0f));
    m_impl->SetTimes(clamped, elapsed, remaining);
    m_impl->UpdateTexts();
}

void SharingProgressBehaviour::OnPause()
{
    if (!m_impl->window)
        return;
    m_impl->bar->setFormat(TrProgress::tr("Paused - %p%"));
    m_impl->Tick(false);
}

void SharingProgressBehaviour::OnResume()
{
    if (!m_impl->window)
        return;
    m_impl->bar->setFormat(QStringLiteral("%p%"));
    if (m_impl->running)
        m_impl->Tick(true);
}

void SharingProgressBehaviour::OnStart(const ConvertationContext&)
{
    QWidget* parent = m_impl->parentProvider->GetParent();
    if (!m_impl->window)
        m_impl->Build(*this, parent);
    m_impl->running = true;
    m_impl->cancelling = false;
    m_impl->bar->setValue(0);
    m_impl->bar->setFormat(QStringLiteral("%p%"));
    m_impl->ticker.start();
    m_impl->SetTimes(0.0f, QTime(0, 0), QTime());
    m_impl->UpdateTexts();
    ShowUnder(m_impl->window, parent);
}

void SharingProgressBehaviour::OnStop()
{
    m_impl->running = false;
    m_impl->cancelling = false;
    m_impl->ticker.stop();
    if (m_impl->window)
        m_impl->window->hide();
}

bool SharingProgressBehaviour::IsRunning() const
{
    return m_impl->running;
}

QWidget* SharingProgressBehaviour::Window() const
{
    return m_impl->window.data();
}

struct SharingResultBehaviour::Impl
{
    Impl(const std::shared_ptr<IUiSettings>& ui, const std::shared_ptr<UI::ParentProvider>& provider,
         const std::shared_ptr<App::ISimpleAudioPlayer>& audio, const std::shared_ptr<IFileManager>& files,
         const std::shared_ptr<App::ILinksOpener>& links, const std::shared_ptr<App::ICustomizationManager>& brand)
        : uiSettings(ui)
        , parentProvider(provider)
        , audioPlayer(audio)
        , fileManager(files)
        , linksOpener(links)
        , customization(brand)
    {
    }

    NotNull<IUiSettings> uiSettings;
    NotNull<UI::ParentProvider> parentProvider;
    NotNull<App::ISimpleAudioPlayer> audioPlayer;
    NotNull<IFileManager> fileManager;
    NotNull<App::ILinksOpener> linksOpener;
    NotNull<App::ICustomizationManager> customization;
    std::function<QString()> successText;

    QPointer<QDialog> window;
    QLabel* headline = nullptr;
    QLabel* link = nullptr;
    QPushButton* openLink = nullptr;
    QPushButton* copyLink = nullptr;
    QLabel* reason = nullptr;
    QLabel* savedFile = nullptr;
    QPushButton* showFile = nullptr;
    // Says when Open or Show in folder found nothing to open with.
    QLabel* actionProblem = nullptr;
    QPushButton* close = nullptr;
    // What the buttons act on: the last outcome's link and kept file.
    QUrl url;
    ioPath keptFile;

    void Build(QWidget* parent)
    {
        auto* dialog = new CancellableWindow(parent, [this] { window->hide(); });
        dialog->setObjectName(QStringLiteral("sharingResultWindow"));
        dialog->setMinimumWidth(360);
        headline = NewLabel(dialog, "headlineLabel");
        link = NewLabel(dialog, "linkLabel");
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::TextBrowserInteraction);
        link->setOpenExternalLinks(false);
        openLink = NewButton(dialog, "openLinkButton");
        copyLink = NewButton(dialog, "copyLinkButton");
        reason = NewLabel(dialog, "reasonLabel");
        actionProblem = NewLabel(dialog, "actionProblemLabel");
        actionProblem->hide();
        savedFile = NewLabel(dialog, "savedFileLabel");
        showFile = NewButton(dialog, "showFileButton");
        close = NewButton(dialog, "closeButton");
        close->setDefault(true);

        QObject::connect(link, &QLabel::linkActivated, dialog, [this](const QString&) { OpenLink(); });
        QObject::connect(openLink, &QPushButton::clicked, dialog, [this] { OpenLink(); });
        QObject::connect(copyLink, &QPushButton::clicked, dialog, [this] { CopyLink(); });
        QObject::connect(showFile, &QPushButton::clicked, dialog, [this] {
            if (!fileManager->ShowInFolder(keptFile))
                ShowActionProblem(TrResult::tr("No file manager could be opened. The video is in %1")
                                      .arg(QString::fromStdString(keptFile.parent_path().utf8string())));
        });
        QObject::connect(close, &QPushButton::clicked, dialog, [this] { window->hide(); });

        auto* linkRow = new QHBoxLayout;
        linkRow->addWidget(link, 1);
        linkRow->addWidget(openLink);
        linkRow->addWidget(copyLink);
        auto* fileRow = new QHBoxLayout;
        fileRow->addWidget(savedFile, 1);
        fileRow->addWidget(showFile);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(close);
        auto* layout = new QVBoxLayout(dialog);
        layout->addWidget(headline);
        layout->addLayout(linkRow);
        layout->addWidget(reason);
        layout->addLayout(fileRow);
        layout->addWidget(actionProblem);
        layout->addLayout(buttons);
        window = dialog;
    }

    bool CopyLink()
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        clipboard->setText(url.toString());
        copyLink->setText(TrResult::tr("Copied"));
        return true;
    }

    void OpenLink()
    {
        if (linksOpener->OpenLink(url))
            return;
        ShowActionProblem(CopyLink() ? TrResult::tr("No web browser could be opened. The link is copied; paste it "
                                                "into a browser.")
                                     : TrResult::tr("No web browser could be opened. Open the link above in a browser."));
    }

    void ShowActionProblem(const QString& text)
    {
        if (!text.isEmpty())
            LOG(ERROR) << kResultProcess << ": " << text.toStdString();
        actionProblem->setText(text);
        actionProblem->setVisible(!text.isEmpty());
    }

    void ShowLink(const QUrl& address)
    {
        url = address;
        const bool shown = !url.isEmpty();
        const QString text = url.toString().toHtmlEscaped();
        link->setText(shown ? QStringLiteral("<a href=\"%1\">%1</a>").arg(text) : QString());
        link->setVisible(shown);
        openLink->setText(TrResult::tr("Open"));
        openLink->setVisible(shown);
        copyLink->setText(TrResult::tr("Copy link"));
        copyLink->setVisible(shown);
    }

    void ShowReason(const QString& text)
    {
        reason->setText(text);
        reason->setVisible(!text.isEmpty());
    }

    void ShowKeptFile(const SharingResultContext& context)
    {
        const ioPath& output = context.context.outputPath;
        const bool kept = context.resultFlags.count(ExportedFileRemoved) == 0 && !output.empty()
                          && fileManager->Exists(output);
        keptFile = kept ? output : ioPath();
        savedFile->setText(kept ? TrResult::tr("The video was saved to %1").arg(QString::fromStdString(output.utf8string()))
                                : QString());
        savedFile->setVisible(kept);
        showFile->setText(TrResult::tr("Show in folder"));
        showFile->setVisible(kept);
    }
};

SharingResultBehaviour::SharingResultBehaviour(const std::shared_ptr<IUiSettings>& uiSettings,
                                               const std::shared_ptr<UI::ParentProvider>& parentProvider,
                                               const std::shared_ptr<App::ISimpleAudioPlayer>& audioPlayer,
                                               const std::shared_ptr<IFileManager>& fileManager,
                                               const std::shared_ptr<App::ILinksOpener>& linksOpener,
                                               const std::shared_ptr<App::ICustomizationManager>& customization)
    : m_impl(std::make_unique<Impl>(uiSettings, parentProvider, audioPlayer, fileManager, linksOpener, customization))
{
}

SharingResultBehaviour::~SharingResultBehaviour()
{
    delete m_impl->window.data();
}

void SharingResultBehaviour::SetSuccessText(const std::function<QString()>& getter)
{
    m_impl->successText = getter;
}

void SharingResultBehaviour::Process(const SharingResultContext& context, const Social::RequestResult& result)
{
    QWidget* parent = m_impl->parentProvider->GetParent();
    if (!m_impl->window)
        m_impl->Build(parent);
    // Where the application's name ends every window title, the product is named already.
    const QString product = QString::fromStdString(m_impl->customization->GetProductName());
    m_impl->window->setWindowTitle(QGuiApplication::applicationDisplayName() == product
                                       ? TrResult::tr("Sharing")
                                       : TrResult::tr("%1 - Sharing").arg(product));
    m_impl->close->setText(TrResult::tr("Close"));

    if (result == Social::Success)
    {
        const QString custom = m_impl->successText ? m_impl->successText() : QString();
        m_impl->headline->setText(custom.isEmpty() ? TrResult::tr("Your video has been uploaded.") : custom);
        m_impl->ShowLink(context.url);
        m_impl->ShowReason(QString());
        if (m_impl->uiSettings->IsSoundEnabled())
            m_impl->audioPlayer->Play("success");
    }
    else if (result == Social::Cancelled)
    {
        m_impl->headline->setText(TrResult::tr("The upload was cancelled."));
        m_impl->ShowLink(QUrl());
        m_impl->ShowReason(QString());
    }
    else
    {
        m_impl->headline->setText(TrResult::tr("The video could not be uploaded."));
        m_impl->ShowLink(QUrl());
        // The missing file says it all; its path only when the context knows it.
        const std::string source = context.context.sourcePath.utf8string();
        QString reason = RequestResultAdvice(result);
        if (context.resultFlags.count(SourceMissing))
            reason = source.empty() ? TrResult::tr("The file to share does not exist.")
                                    : TrResult::tr("The file to share does not exist: %1").arg(QString::fromStdString(source));
        m_impl->ShowReason(reason);
    }
    m_impl->ShowKeptFile(context);
    m_impl->ShowActionProblem(QString());
    m_impl->window->setProperty("requestResult", static_cast<int>(result));
    LOG(INFO) << kResultProcess << ": " << "Showing " << RequestResultToString(result);
    ShowUnder(m_impl->window, parent);
}

QWidget* SharingResultBehaviour::Window() const
{
    return m_impl->window.data();
}

} // namespace Tavrix::RQ::Service::Sharing
