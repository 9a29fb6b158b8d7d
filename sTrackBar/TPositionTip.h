#pragma once
// The small window that shows a slider's position beside its thumb while the
// user drags it. Its own window, not QToolTip: that one has timing of its own
// (a show delay and an automatic hide) that a drag must not have.
#include <QLabel>

class TPositionTip : public QLabel {
    Q_OBJECT
public:
    explicit TPositionTip(QWidget* owner);

    // Shows the position on the given side of the thumb (global coordinates).
    void showBeside(const QRect& thumb, Qt::Edge side, int position);
};
