#pragma once

// The host's social user-interface library: the prompt shown when a sharing
// needs an account that can upload.

#include <QDialog>

#include <functional>
#include <memory>

class QEvent;

namespace Tavrix::RQ::Service::Sharing::UI {

// Explains why the upload cannot start yet and offers two ways on. The
// actions run when their button is clicked; hiding the prompt is up to them,
// so an action may keep it open (a sign-in still running) or close it.
class SharingAuthorizationDialog : public QDialog
{
    Q_OBJECT
public:
    enum State : int
    {
        SignInRequired = 0,
        ProfileInvalid = 1,
    };
    Q_ENUM(State)

    using Action = std::function<void()>;

    explicit SharingAuthorizationDialog(QWidget* parent);
    ~SharingAuthorizationDialog() override;

    SharingAuthorizationDialog(const SharingAuthorizationDialog&) = delete;
    SharingAuthorizationDialog& operator=(const SharingAuthorizationDialog&) = delete;

    // primary: "Sign In" or "Back"; secondary: "Save without uploading".
    void SwitchDialogState(Action primary, Action secondary, State state);
    State GetState() const;

    // Says under the message why the last sign-in failed, and offers the
    // primary action again as "Try Again". Cleared by the next state switch
    // and by pressing the primary button.
    void ShowProblem(const QString& problem);
    QString Problem() const;

signals:
    void ProblemShown(const QString& problem);

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Service::Sharing::UI
