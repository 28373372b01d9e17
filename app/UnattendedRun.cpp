#include "UnattendedRun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTextDocumentFragment>
#include <QTimer>

#include "SocialUI.h"

#include <glog/logging.h>

#include <cstdio>

namespace Tavrix::RQ::Host {

namespace {
constexpr char kPress[] = "Tavrix::RQ::Host::UnattendedRun::Press";
constexpr char kFail[] = "Tavrix::RQ::Host::UnattendedRun::Fail";
// Progress is told in quarters, so a long upload stays a few lines.
constexpr int kProgressStep = 25;

// The step lines and reasons speak the user's language; the outcome words
// "Shared:", "Failed:" and "Cancelled:" stay as they are, for scripts to read.
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(UnattendedRun)
};

void WriteToStdout(const QString& line)
{
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    // Whoever reads a pipe sees each step as it happens.
    std::fflush(stdout);
}

QString LimitText(std::chrono::milliseconds limit)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit).count();
    if (seconds >= 120)
        return Tr::tr("%n minutes", nullptr, static_cast<int>(seconds / 60));
    // The sources say the English plural; the translations carry every form.
    return seconds == 1 ? Tr::tr("1 second") : Tr::tr("%n seconds", nullptr, static_cast<int>(seconds));
}

template <class T>
T* Child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QLatin1String(name));
}

// What a label says while it is part of its window; a hidden one says nothing.
QString Shown(QLabel* label)
{
    if (!label || label->isHidden())
        return QString();
    const QString text = label->textFormat() == Qt::PlainText ? label->text()
                                                              : QTextDocumentFragment::fromHtml(label->text()).toPlainText();
    return text.simplified();
}

} // namespace

struct UnattendedRun::Impl
{
    Impl(UnattendedRun* self, Output out)
        : owner(self)
        , output(out ? std::move(out) : Output(WriteToStdout))
    {
    }

    void Say(const QString& line) const
    {
        output(line);
    }

    void Press(QAbstractButton* button, const char* what) const
    {
        LOG(INFO) << kPress << ": " << "Pressing " << what;
        button->click();
    }

    void Handle(QWidget* window)
    {
        const QString name = window->objectName();
        if (name == QLatin1String("sharingAuthorizationDialog"))
            SignIn(window);
        else if (name == QLatin1String("sharingProgressWindow"))
            FollowProgress(window);
        else if (name == QLatin1String("sharingResultWindow"))
            ReadResult(window);
        else if (auto* box = qobject_cast<QMessageBox*>(window))
            Acknowledge(box);
        else if (Child<QLineEdit>(window, "titleEdit") && Child<QPushButton>(window, "startButton"))
            Start(window);
    }

    // The dialog as it comes: its title, description, tags and preset.
    void Start(QWidget* dialog)
    {
        auto* start = Child<QPushButton>(dialog, "startButton");
        const QString error = Shown(Child<QLabel>(dialog, "errorLabel"));
        if (!start->isEnabled())
        {
            owner->Fail(Tr::tr("the sharing dialog's Start is disabled: %1")
                            .arg(error.isEmpty() ? Tr::tr("no reason shown") : error));
            return;
        }
        const auto* resolution = Child<QComboBox>(dialog, "resolutionComboBox");
        // Start would go nowhere: there is nothing to convert to.
        if (resolution && resolution->currentIndex() < 0)
        {
            owner->Fail(Tr::tr("the sharing dialog offers no resolution to convert to (no presets found)"));
            return;
        }
        Say(Tr::tr("Sharing \"%1\" at %2...")
                .arg(Child<QLineEdit>(dialog, "titleEdit")->text(),
                     resolution ? resolution->currentText() : Tr::tr("the default preset")));
        const QPointer<QWidget> guard(dialog);
        // Start returns when the sharing went on, after a sign-in it asked for;
        // a dialog still open means it went nowhere (a refused folder, a
        // prompt that had nothing to sign in to).
        Press(start, "Start");
        if (guard && guard->isVisible() && !abandoned)
        {
            const QString still = Shown(Child<QLabel>(guard.data(), "errorLabel"));
            owner->Fail(still.isEmpty() ? Tr::tr("the sharing did not start")
                                        : Tr::tr("the sharing did not start: %1").arg(still));
        }
    }

    void SignIn(QWidget* prompt)
    {
        auto* signIn = Child<QPushButton>(prompt, "primaryButton");
        if (!signIn || !signIn->isEnabled() || signIn->isHidden())
        {
            owner->Fail(Tr::tr("the sign-in prompt offers no way to sign in: %1")
                            .arg(Shown(Child<QLabel>(prompt, "messageLabel"))));
            return;
        }
        // A failed sign-in is said in the prompt; nobody here can try again.
        if (auto* asking = qobject_cast<Service::Sharing::UI::SharingAuthorizationDialog*>(prompt);
            asking && !watchedPrompts.contains(asking))
        {
            watchedPrompts.insert(asking);
            QObject::connect(asking, &Service::Sharing::UI::SharingAuthorizationDialog::ProblemShown, owner,
                             [this, asking](const QString& problem) {
                                 owner->Fail(problem);
                                 // Given up, as a user would: the prompt goes.
                                 asking->reject();
                             });
        }
        Say(Tr::tr("Signing in..."));
        Press(signIn, "Sign In");
    }

    void FollowProgress(QWidget* window)
    {
        auto* bar = Child<QProgressBar>(window, "progressBar");
        if (!bar)
            return;
        const QPointer<QLabel> headline = Child<QLabel>(window, "progressText");
        const auto what = [headline] { return headline ? headline->text() : Tr::tr("Working"); };
        Say(what() + QStringLiteral("..."));
        // The window is reused for the next operation of its kind; each showing starts over.
        toldSteps[bar] = bar->value() / kProgressStep;
        if (followed.contains(bar))
            return;
        followed.insert(bar);
        QObject::connect(bar, &QProgressBar::valueChanged, owner, [this, bar, what](int value) {
            const int step = value / kProgressStep;
            if (step <= toldSteps.value(bar) || !bar->isVisible())
                return;
            toldSteps[bar] = step;
            Say(Tr::tr("%1: %2%", "a step's progress, in percent").arg(what()).arg(step * kProgressStep));
        });
    }

    void ReadResult(QWidget* window)
    {
        const QString link = Shown(Child<QLabel>(window, "linkLabel"));
        const QString reason = Shown(Child<QLabel>(window, "reasonLabel"));
        const QString headline = Shown(Child<QLabel>(window, "headlineLabel"));
        if (!link.isEmpty())
            Say(QStringLiteral("Shared: ") + link);
        else if (!reason.isEmpty())
            Say(QStringLiteral("Failed: %1 %2").arg(headline, reason));
        else
            Say(QStringLiteral("Cancelled: ") + headline);
        if (auto* close = Child<QPushButton>(window, "closeButton"))
            Press(close, "Close");
        else
            window->close();
    }

    // A notice box is read and dismissed, as a user would; what comes of it
    // (a sharing that ends, a Start that went nowhere) decides the run.
    void Acknowledge(QMessageBox* box)
    {
        // A notice that ends the run is its outcome.
        const QString outcome = box->property("outcome").toString();
        const QString text = QStringList{box->text(), box->informativeText()}.join(QLatin1Char(' ')).simplified();
        if (outcome == QLatin1String("failed"))
            Say(QStringLiteral("Failed: ") + text);
        else if (outcome == QLatin1String("cancelled"))
            Say(QStringLiteral("Cancelled: ") + text);
        else if (outcome == QLatin1String("saved"))
            Say(QStringLiteral("Saved: ") + text);
        else
            Say(Tr::tr("Notice: %1: %2").arg(box->windowTitle(), text));
        QAbstractButton* button = box->defaultButton();
        if (!button)
            button = box->escapeButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().first();
        if (button)
            Press(button, "the notice's button");
        else
            box->close();
    }

    UnattendedRun* owner;
    Output output;
    QTimer watchdog;
    bool abandoned = false;
    QSet<QProgressBar*> followed;
    QSet<QObject*> watchedPrompts;
    QHash<QProgressBar*, int> toldSteps;
};

UnattendedRun::UnattendedRun(std::chrono::milliseconds limit, Output output, QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(this, std::move(output)))
{
    m_impl->watchdog.setSingleShot(true);
    connect(&m_impl->watchdog, &QTimer::timeout, this, [this, limit] {
        Fail(Tr::tr("the sharing did not finish within %1; giving up").arg(LimitText(limit)));
    });
    m_impl->watchdog.start(static_cast<int>(limit.count()));
    qApp->installEventFilter(this);
}

UnattendedRun::~UnattendedRun()
{
    qApp->removeEventFilter(this);
}

void UnattendedRun::Fail(const QString& reason)
{
    if (m_impl->abandoned)
        return;
    m_impl->abandoned = true;
    m_impl->watchdog.stop();
    LOG(ERROR) << kFail << ": " << "Giving up: " << reason.toStdString();
    m_impl->Say(QStringLiteral("Failed: ") + reason);
    emit Abandoned(reason);
}

void UnattendedRun::Tell(const QString& line)
{
    if (!m_impl->abandoned)
        m_impl->Say(line);
}

void UnattendedRun::Cancel(const QString& why)
{
    if (m_impl->abandoned)
        return;
    m_impl->abandoned = true;
    m_impl->watchdog.stop();
    m_impl->Say(QStringLiteral("Cancelled: ") + why);
}

bool UnattendedRun::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
    {
        // Pressed from the event loop once the window is up, as a user would;
        // a window gone by then asks for nothing.
        const QPointer<QWidget> window(static_cast<QWidget*>(watched));
        QTimer::singleShot(0, this, [this, window] {
            if (window && window->isVisible() && !m_impl->abandoned)
                m_impl->Handle(window);
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Tavrix::RQ::Host
