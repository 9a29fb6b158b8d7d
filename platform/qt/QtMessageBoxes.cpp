#include "platform/qt/QtMessageBoxes.h"

#include "platform/FrameExtents.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {

// QMessageBox centres itself on its parent and puts its buttons at the right;
// ours sit in the middle of the screen by their outer edges, with "OK"
// centred below the text.
class CentredMessageBox final : public QMessageBox {
public:
    CentredMessageBox(Icon icon, const QString& title, const QString& text, QWidget* parent)
        : QMessageBox(icon, title, text, NoButton, parent)
    {
        centreButtons();
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        const QScreen* screen =
            parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return;
        // Not mapped yet, the box knows no frame of its own: the window
        // manager tells the one it will add.
        const QMargins frame =
            frameGeometry() != geometry() ? QMargins() : AnnouncedFrameExtents(*this);
        QRect outer = frameGeometry().marginsAdded(frame);
        outer.moveCenter(screen->geometry().center());
        move(outer.topLeft() + QPoint(frame.left(), frame.top()));
    }

    void changeEvent(QEvent* event) override
    {
        QMessageBox::changeEvent(event);
        if (event->type() == QEvent::StyleChange) // the style's choice comes back with it
            centreButtons();
    }

private:
    void centreButtons()
    {
        if (auto* buttons = findChild<QDialogButtonBox*>())
            buttons->setCenterButtons(true);
    }
};

} // namespace

void QtMessageBoxes::show(Kind kind, const QString& text)
{
    QString title = QCoreApplication::applicationName(); // the application title
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
    case Kind::Information:
        title = QStringLiteral("Information");
        icon = QMessageBox::Information;
        break;
    case Kind::Warning:
        title = QStringLiteral("Warning");
        icon = QMessageBox::Warning;
        break;
    case Kind::Plain:
        break;
    case Kind::Error:
        icon = QMessageBox::Critical;
        break;
    }

    // Owned by the active window, so that it stays on top of it and has no
    // task-bar entry of its own.
    CentredMessageBox box(icon, title, text, QApplication::activeWindow());
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
