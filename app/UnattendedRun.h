#pragma once

// Plays the user of one sharing when nobody is at the keyboard: as the host's
// windows appear it presses their buttons through the widgets themselves (the
// dialog's Start with its defaults, the prompt's Sign In, the result's
// Close), and says on one line per step what happens.

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace Tavrix::RQ::Host {

class UnattendedRun : public QObject
{
    Q_OBJECT
public:
    using Output = std::function<void(const QString& line)>;

    // Watches the application's windows from now on; gives up after `limit`.
    // Lines go to `output`, or to stdout when it is empty.
    explicit UnattendedRun(std::chrono::milliseconds limit, Output output = {}, QObject* parent = nullptr);
    ~UnattendedRun() override;

    UnattendedRun(const UnattendedRun&) = delete;
    UnattendedRun& operator=(const UnattendedRun&) = delete;

    // Ends the run: says "Failed: <reason>" and emits Abandoned, once.
    void Fail(const QString& reason);
    // Says one more line about the run, between its steps.
    void Tell(const QString& line);
    // Ends the run from outside (an interruption): says "Cancelled: <why>", once.
    void Cancel(const QString& why);

signals:
    // The run cannot go on by itself; the host should end it as failed.
    void Abandoned(const QString& reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Host
