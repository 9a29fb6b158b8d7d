// The window named to the portal's dialogs: a pick through Debian's real
// xdg-desktop-portal (tests/support/with-fake-portal --frontend) hands the
// stand-in backend the parent_window the program passed. On a compositor that
// exports surfaces (sway, KWin; GNOME Shell by the older unstable v1) that is
// "wayland:" and a handle which another client can import; on X11 the window's
// id (PortalPick.ThroughTheDesktopPortalFrontend).
#include "PickerButtonTexts.h"
#include "TestPlatform.h"
#include "frmMain/TButton.h"
#include "frmMain/TForm1.h"
#include "platform/portal/QtDBusColorPortal.h"

#include "xdg-foreign-unstable-v1-client-protocol.h"
#include "xdg-foreign-unstable-v2-client-protocol.h"

#include <QApplication>
#include <QDBusInterface>
#include <QDBusReply>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <wayland-client.h>

namespace {

// The stand-in backend's record of the PickColor calls, oldest first.
QStringList backendPickCalls()
{
    QDBusInterface control{"org.huvella.test.FakePortal", "/org/huvella/test",
                           "org.huvella.test.FakePortal"};
    const QDBusReply<QStringList> reply = control.call(QStringLiteral("Calls"));
    EXPECT_TRUE(reply.isValid()) << reply.error().message().toStdString();
    return reply.value().filter(QRegularExpression("^impl PickColor "));
}

void scriptBackend(const QString& name)
{
    QDBusInterface control{"org.huvella.test.FakePortal", "/org/huvella/test",
                           "org.huvella.test.FakePortal"};
    const QDBusMessage reply = control.call(QStringLiteral("Script"), name);
    ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
}

struct Importers {
    zxdg_importer_v2* v2 = nullptr;
    zxdg_importer_v1* v1 = nullptr;
};

// Whether another client of the compositor, as the portal's dialog would be,
// can import `handle` (by unstable v2, else v1): the compositor answers a
// handle it never exported, or one revoked, with the imported's "destroyed".
bool importable(const QString& handle)
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return false;
    Importers importers;
    const wl_registry_listener registryListener{
        [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
            auto& found = *static_cast<Importers*>(data);
            if (std::strcmp(interface, zxdg_importer_v2_interface.name) == 0)
                found.v2 = static_cast<zxdg_importer_v2*>(
                    wl_registry_bind(registry, name, &zxdg_importer_v2_interface, 1));
            if (std::strcmp(interface, zxdg_importer_v1_interface.name) == 0)
                found.v1 = static_cast<zxdg_importer_v1*>(
                    wl_registry_bind(registry, name, &zxdg_importer_v1_interface, 1));
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &importers);
    wl_display_roundtrip(display);
    bool revoked = true;
    const QByteArray name = handle.toUtf8();
    if (importers.v2 != nullptr) {
        revoked = false;
        const zxdg_imported_v2_listener listener{
            [](void* data, zxdg_imported_v2*) { *static_cast<bool*>(data) = true; }};
        zxdg_imported_v2* imported = zxdg_importer_v2_import_toplevel(importers.v2, name);
        zxdg_imported_v2_add_listener(imported, &listener, &revoked);
        wl_display_roundtrip(display);
        zxdg_imported_v2_destroy(imported);
    } else if (importers.v1 != nullptr) {
        revoked = false;
        const zxdg_imported_v1_listener listener{
            [](void* data, zxdg_imported_v1*) { *static_cast<bool*>(data) = true; }};
        zxdg_imported_v1* imported = zxdg_importer_v1_import(importers.v1, name);
        zxdg_imported_v1_add_listener(imported, &listener, &revoked);
        wl_display_roundtrip(display);
        zxdg_imported_v1_destroy(imported);
    }
    if (importers.v2 != nullptr)
        zxdg_importer_v2_destroy(importers.v2);
    if (importers.v1 != nullptr)
        zxdg_importer_v1_destroy(importers.v1);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return !revoked;
}

// Picks once through the window's button and gives the parent_window the
// backend was handed.
QString pickedParent(TForm1& form)
{
    const qsizetype before = backendPickCalls().size();
    QTest::mouseClick(form.btn6, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.btn6->text() == Pick; }, 10000));
    const QStringList calls = backendPickCalls();
    EXPECT_EQ(calls.size(), before + 1) << calls.join('\n').toStdString();
    return calls.value(before).section(QStringLiteral("parent="), 1);
}

} // namespace

TEST(PortalParent, APickNamesTheWindowByItsExportedSurface)
{
    ASSERT_EQ(QGuiApplication::platformName(), "wayland");
    TestPlatform doubles;
    QtDBusColorPortal portal;
    Platform platform = doubles.with(portal);
    TForm1 form(platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    scriptBackend("color");
    ASSERT_FALSE(importable(QStringLiteral("huvella-made-up-handle"))); // the check can fail

    const QString first = pickedParent(form);
    ASSERT_TRUE(first.startsWith("wayland:")) << first.toStdString();
    const QString handle = first.mid(8);
    EXPECT_FALSE(handle.isEmpty());
    EXPECT_TRUE(importable(handle)) << handle.toStdString();
    // The export lives on with the window: the next pick names it the same way.
    EXPECT_EQ(pickedParent(form), first);
    EXPECT_TRUE(importable(handle)) << handle.toStdString();

    // Shown again, the window has a new surface, which the next pick exports.
    form.hide();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QString again = pickedParent(form);
    ASSERT_TRUE(again.startsWith("wayland:")) << again.toStdString();
    EXPECT_TRUE(importable(again.mid(8))) << again.toStdString();
    EXPECT_TRUE(doubles.boxes.shown.empty());
}
