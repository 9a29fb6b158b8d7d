#include "platform/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {

// QMessageBox centres itself on its parent; ours sit in the middle of the screen.
class CentredMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        const QScreen* screen =
            parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return;
        QRect frame = frameGeometry();
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
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
    CentredMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
