#include "platform/Hints.h"

#include <QApplication>
#include <QEvent>
#include <QProxyStyle>
#include <QWidget>

namespace {

class HintStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        switch (hint) {
        case SH_ToolTip_WakeUpDelay:
            return HintShowAfterMs;
        case SH_ToolTip_FallAsleepDelay:
            return 0;
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }
};

// Qt lets a tip linger 300 ms after the pointer leaves its control; ours goes at once.
class HideHintOnLeave final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Leave && watched->isWidgetType() &&
            !static_cast<QWidget*>(watched)->toolTip().isEmpty()) {
            for (QWidget* tip : QApplication::topLevelWidgets()) {
                if (tip->objectName() == QLatin1String("qtooltip_label") && tip->isVisible()) {
                    tip->hide();
                    tip->deleteLater(); // Qt makes a fresh one for the next hint
                }
            }
        }
        return false;
    }
};

} // namespace

void InstallHintTiming(QApplication& app, QStyle* base)
{
    QApplication::setStyle(base != nullptr ? new HintStyle(base) : new HintStyle);
    app.installEventFilter(new HideHintOnLeave(&app));
}
