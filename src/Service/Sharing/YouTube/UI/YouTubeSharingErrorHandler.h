#pragma once

#include "RQServiceYouTubeExport.h"

#include <cstdint>
#include <memory>

class QLabel;
class QPushButton;

namespace Tavrix::RQ::Service::Sharing::YouTube::UI {

// Keeps what currently stands in the way of a sharing and shows it in the
// dialog: whether Start is enabled, the user label's style variant and the
// error message. Widgets are only borrowed and may vanish at any time.
class RQSERVICEYOUTUBE_EXPORT YouTubeSharingErrorHandler
{
public:
    enum ErrorType : std::int32_t
    {
        UserNotLoggedIn = 0,
        ProfileInvalid = 1,
        TitleTooShort = 2,
        IncorrectFileName = 3,
    };

    YouTubeSharingErrorHandler();
    ~YouTubeSharingErrorHandler();

    YouTubeSharingErrorHandler(const YouTubeSharingErrorHandler&) = delete;
    YouTubeSharingErrorHandler& operator=(const YouTubeSharingErrorHandler&) = delete;

    // Null is allowed; nothing is applied until the next update.
    void SetStartButton(QPushButton* button);
    void SetErrorLabel(QLabel* label);
    void SetUserLabel(QLabel* label);

    void SetError(ErrorType type, bool active);
    void ResetError(ErrorType type);
    // Applies the errors again so the message is read in the current language.
    void Retranslate();

    bool IsProfileInvalid() const;
    bool IsUserNotLoggedInAndNoError() const;

private:
    void UpdateView();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing::YouTube::UI
