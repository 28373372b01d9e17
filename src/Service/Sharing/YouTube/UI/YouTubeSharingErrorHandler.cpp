#include "YouTubeSharingErrorHandler.h"

#include "CoreUtils.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <glog/logging.h>

#include <set>

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

namespace {
constexpr char kContext[] = "YouTubeSharingWidget";
constexpr char kSubStyleProperty[] = "SubStyle";

// Messages in the order of their priority; the first active one is shown.
struct Message
{
    YouTubeSharingErrorHandler::ErrorType type;
    const char* text;
};
const Message kMessages[] = {
    {YouTubeSharingErrorHandler::ProfileInvalid,
     QT_TRANSLATE_NOOP("YouTubeSharingWidget",
                       "Access to this YouTube account is restricted. Please, choose another account.")},
    {YouTubeSharingErrorHandler::TitleTooShort, QT_TRANSLATE_NOOP("YouTubeSharingWidget", "Too short title name.")},
    {YouTubeSharingErrorHandler::IncorrectFileName,
     QT_TRANSLATE_NOOP("YouTubeSharingWidget", "Incorrect symbols in filename")},
};
} // namespace

struct YouTubeSharingErrorHandler::Impl
{
    void SetEnabledStartButton(bool enabled)
    {
        if (!startButton)
        {
            LOG(ERROR) << "Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingErrorHandler::Impl::"
                          "SetEnabledStartButton: startButton is NULL";
            return;
        }
        startButton->setEnabled(enabled);
    }

    void SetUserNameLabelSubStyle(const QString& variant)
    {
        if (!userLabel)
        {
            LOG(ERROR) << "Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingErrorHandler::Impl::"
                          "SetUserNameLabelSubStyle: signInLabel is NULL";
            return;
        }
        Util::ApplyWidgetStyle(userLabel.data(), variant, kSubStyleProperty);
    }

    void SetErrorLabelText(const QString& text)
    {
        if (!errorLabel)
        {
            LOG(ERROR) << "Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingErrorHandler::Impl::"
                          "SetErrorLabelText: errorLabel is NULL";
            return;
        }
        errorLabel->setText(text);
    }

    bool Has(ErrorType type) const { return errors.count(type) != 0; }
    bool IsExactly(ErrorType type) const { return errors.size() == 1 && Has(type); }

    QPointer<QPushButton> startButton;
    QPointer<QLabel> errorLabel;
    QPointer<QLabel> userLabel;
    std::set<ErrorType> errors;
};

YouTubeSharingErrorHandler::YouTubeSharingErrorHandler()
    : m_impl(std::make_unique<Impl>())
{
}

YouTubeSharingErrorHandler::~YouTubeSharingErrorHandler() = default;

void YouTubeSharingErrorHandler::SetStartButton(QPushButton* button)
{
    m_impl->startButton = button;
}

void YouTubeSharingErrorHandler::SetErrorLabel(QLabel* label)
{
    m_impl->errorLabel = label;
}

void YouTubeSharingErrorHandler::SetUserLabel(QLabel* label)
{
    m_impl->userLabel = label;
}

void YouTubeSharingErrorHandler::SetError(ErrorType type, bool active)
{
    if (active)
        m_impl->errors.insert(type);
    else
        m_impl->errors.erase(type);
    UpdateView();
}

void YouTubeSharingErrorHandler::ResetError(ErrorType type)
{
    m_impl->errors.erase(type);
    UpdateView();
}

void YouTubeSharingErrorHandler::Retranslate()
{
    UpdateView();
}

bool YouTubeSharingErrorHandler::IsProfileInvalid() const
{
    return m_impl->IsExactly(ProfileInvalid);
}

bool YouTubeSharingErrorHandler::IsUserNotLoggedInAndNoError() const
{
    return m_impl->IsExactly(UserNotLoggedIn);
}

void YouTubeSharingErrorHandler::UpdateView()
{
    // An invalid profile keeps Start enabled: pressing it is how the user
    // reaches the prompt to pick another account.
    const bool startEnabled = m_impl->errors.empty() || m_impl->IsExactly(UserNotLoggedIn) || m_impl->Has(ProfileInvalid);
    m_impl->SetEnabledStartButton(startEnabled);

    // Mind the inversion: the style sheets key the look of a user who is not
    // signed in on the "LoggedIn" variant.
    m_impl->SetUserNameLabelSubStyle(m_impl->Has(UserNotLoggedIn) ? QStringLiteral("LoggedIn")
                                                                   : QStringLiteral("LoggedOut"));

    QString text;
    for (const Message& message : kMessages)
    {
        if (m_impl->Has(message.type))
        {
            text = QCoreApplication::translate(kContext, message.text);
            break;
        }
    }
    m_impl->SetErrorLabelText(text);
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
