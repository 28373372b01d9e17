#pragma once

// The three widgets of the sharing dialog that the sign-in error handler
// drives, made and given to a handler at once.

#include "UI/YouTubeSharingErrorHandler.h"

#include <QLabel>
#include <QPushButton>

#include <memory>

namespace TestSupport {

struct ErrorHandlerWidgets
{
    std::unique_ptr<QPushButton> startButton = std::make_unique<QPushButton>();
    std::unique_ptr<QLabel> errorLabel = std::make_unique<QLabel>();
    std::unique_ptr<QLabel> userLabel = std::make_unique<QLabel>();

    explicit ErrorHandlerWidgets(Tavrix::RQ::Service::Sharing::YouTube::UI::YouTubeSharingErrorHandler& handler)
    {
        handler.SetStartButton(startButton.get());
        handler.SetErrorLabel(errorLabel.get());
        handler.SetUserLabel(userLabel.get());
    }
};

} // namespace TestSupport
