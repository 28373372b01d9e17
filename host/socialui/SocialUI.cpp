#include "SocialUI.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Tavrix::RQ::Service::Sharing::UI {

namespace {
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(SharingAuthorizationDialog)
};
} // namespace

struct SharingAuthorizationDialog::Impl
{
    State state = SignInRequired;
    Action primary;
    Action secondary;
    QLabel* title = nullptr;
    QLabel* message = nullptr;
    QLabel* problem = nullptr;
    QPushButton* primaryButton = nullptr;
    QPushButton* secondaryButton = nullptr;

    void Retranslate(QDialog& dialog)
    {
        dialog.setWindowTitle(Tr::tr("Sharing"));
        secondaryButton->setText(Tr::tr("Save without uploading"));
        if (state == SignInRequired)
        {
            title->setText(Tr::tr("Sign in to upload"));
            message->setText(Tr::tr("You are not signed in. Sign in to upload the video, "
                                "or save it on this computer without uploading."));
            primaryButton->setText(problem->isHidden() ? Tr::tr("Sign In") : Tr::tr("Try Again"));
        }
        else
        {
            title->setText(Tr::tr("This account cannot upload"));
            message->setText(Tr::tr("The signed-in account cannot upload videos. Go back to sign in with another "
                                "account, or save the video on this computer without uploading."));
            primaryButton->setText(Tr::tr("Back"));
        }
    }

    // The action is copied first: it may switch the state, which replaces it.
    static void Run(Action action)
    {
        if (action)
            action();
    }
};

SharingAuthorizationDialog::SharingAuthorizationDialog(QWidget* parent)
    : QDialog(parent)
    , m_impl(std::make_unique<Impl>())
{
    setObjectName(QStringLiteral("sharingAuthorizationDialog"));
    setModal(true);

    m_impl->title = new QLabel(this);
    m_impl->title->setObjectName(QStringLiteral("titleLabel"));
    QFont bold = m_impl->title->font();
    bold.setBold(true);
    m_impl->title->setFont(bold);
    m_impl->message = new QLabel(this);
    m_impl->message->setObjectName(QStringLiteral("messageLabel"));
    m_impl->message->setWordWrap(true);
    m_impl->problem = new QLabel(this);
    m_impl->problem->setObjectName(QStringLiteral("problemLabel"));
    m_impl->problem->setWordWrap(true);
    m_impl->problem->setTextFormat(Qt::PlainText);
    m_impl->problem->hide();
    m_impl->primaryButton = new QPushButton(this);
    m_impl->primaryButton->setObjectName(QStringLiteral("primaryButton"));
    m_impl->primaryButton->setDefault(true);
    m_impl->secondaryButton = new QPushButton(this);
    m_impl->secondaryButton->setObjectName(QStringLiteral("secondaryButton"));
    m_impl->secondaryButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_impl->secondaryButton);
    buttons->addWidget(m_impl->primaryButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_impl->title);
    layout->addWidget(m_impl->message);
    layout->addWidget(m_impl->problem);
    layout->addLayout(buttons);

    connect(m_impl->primaryButton, &QPushButton::clicked, this, [this] {
        ShowProblem(QString());
        Impl::Run(m_impl->primary);
    });
    connect(m_impl->secondaryButton, &QPushButton::clicked, this, [this] { Impl::Run(m_impl->secondary); });

    m_impl->Retranslate(*this);
}

SharingAuthorizationDialog::~SharingAuthorizationDialog() = default;

void SharingAuthorizationDialog::SwitchDialogState(Action primary, Action secondary, State state)
{
    m_impl->primary = std::move(primary);
    m_impl->secondary = std::move(secondary);
    m_impl->state = state;
    m_impl->problem->clear();
    m_impl->problem->hide();
    m_impl->Retranslate(*this);
}

void SharingAuthorizationDialog::ShowProblem(const QString& problem)
{
    m_impl->problem->setText(problem);
    m_impl->problem->setVisible(!problem.isEmpty());
    m_impl->Retranslate(*this);
    // The prompt grows to show the whole reason instead of squeezing the message.
    adjustSize();
    if (!problem.isEmpty())
        emit ProblemShown(problem);
}

QString SharingAuthorizationDialog::Problem() const
{
    return m_impl->problem->text();
}

SharingAuthorizationDialog::State SharingAuthorizationDialog::GetState() const
{
    return m_impl->state;
}

void SharingAuthorizationDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        m_impl->Retranslate(*this);
    QDialog::changeEvent(event);
}

} // namespace Tavrix::RQ::Service::Sharing::UI
