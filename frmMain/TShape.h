#pragma once
// The color swatch: a rectangle with a 1-pixel black outline, filled with its
// brush color. Its brush color is the window's current color.
#include "HSLUtils/HSLUtils.h"

#include <QWidget>
#include <functional>

using TMouseEvent = std::function<void(QObject* Sender, Qt::MouseButton Button,
                                       Qt::KeyboardModifiers Shift, int X, int Y)>;

class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr);

    HSLUtils::TColor BrushColor() const { return FBrushColor; }
    void setBrushColor(HSLUtils::TColor color);

    // How a packed color is painted; system-color references need resolving.
    std::function<QColor(HSLUtils::TColor)> PaintColor;

    // The hint shows only while ShowHint is on and the hint is not empty.
    void setHint(const QString& hint);
    void setShowHint(bool show);

    TMouseEvent OnMouseDown;
    std::function<void(QObject* Sender)> OnMouseEnter;
    std::function<void(QObject* Sender)> OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void updateToolTip();

    HSLUtils::TColor FBrushColor = 0x00FFFFFF;
    QString FHint;
    bool FShowHint = true;
};
