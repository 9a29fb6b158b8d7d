#pragma once
// The application's style with the program's hint timing: a hint shows after
// the pointer has rested 500 ms, every time (no quick follow-up hints).
#include <QProxyStyle>

class HintStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override
    {
        switch (hint) {
        case SH_ToolTip_WakeUpDelay:
            return 500;
        case SH_ToolTip_FallAsleepDelay:
            return 0;
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }
};
