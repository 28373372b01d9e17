#include "HostLook.h"

#include "AppServices.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>

#include <glog/logging.h>

namespace Tavrix::App {

namespace {
constexpr char kApply[] = "Tavrix::App::ApplyHostLook";
constexpr char kContext[] = "HostLook";
const char* const kStyleSheet = ":/tavrix/look/host.qss";

// A style sheet string value: quoted, with its quotes and backslashes escaped.
QString Quoted(const char* text)
{
    QString value = QCoreApplication::translate(kContext, text);
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

// Fusion, with the text of a closed list shortened in the middle when it does
// not fit: a long folder keeps where it starts and where it ends.
class HostStyle : public QProxyStyle
{
public:
    HostStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    {
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (element != CE_ComboBoxLabel || !combo || combo->editable)
        {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QRect field = subControlRect(CC_ComboBox, combo, SC_ComboBoxEditField, widget);
        if (!combo->currentIcon.isNull())
            field.setLeft(field.left() + combo->iconSize.width() + 4);
        QStyleOptionComboBox shortened(*combo);
        // Less the pixel the base style leaves on each side of the text.
        shortened.currentText = painter->fontMetrics().elidedText(combo->currentText, Qt::ElideMiddle, field.width() - 2);
        QProxyStyle::drawControl(element, &shortened, painter, widget);
    }
};
} // namespace

QString HostStyleSheet()
{
    QFile file(QString::fromLatin1(kStyleSheet));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    {
        LOG(ERROR) << kApply << ": " << "The style sheet " << kStyleSheet << " is missing";
        return QString();
    }
    // Texts go through translation, so they are written here rather than in the sheet.
    const QString texts =
        QStringLiteral("\n#centralFrame #signOutButton { qproperty-toolTip: %1; }\n"
                       "Tavrix--RQ--Service--Sharing--YouTube--UI--YouTubeSharingDialog { qproperty-windowTitle: %2; }\n")
            .arg(Quoted(QT_TRANSLATE_NOOP("HostLook", "Sign out")), Quoted(QT_TRANSLATE_NOOP("HostLook", "Share to YouTube")));
    return QString::fromUtf8(file.readAll()) + texts;
}

void ApplyHostLook(QApplication& app, const ICustomizationManager& customization)
{
    QApplication::setStyle(new HostStyle);
    QApplication::setApplicationDisplayName(QString::fromStdString(customization.GetProductName()));
    app.setStyleSheet(HostStyleSheet());
}

} // namespace Tavrix::App
