/* exported init */
// For the tests, on the session bus as org.huvella.TestShell: the title of the
// window that has the keyboard, once the screen has shown it, of the window
// under the pointer, and where the shell has the pointer. A client that
// is not the toolkit's shows nothing to AT-SPI, and GNOME Shell's own
// Introspect answers only its portal backends. Until a window's first frame
// is on the screen the pointer still reaches the window below it, so a click
// there would go to that window.
const { Clutter, Gio, Meta } = imports.gi;

const Interface = `<node>
  <interface name="org.huvella.TestShell">
    <method name="FocusTitle"><arg type="s" direction="out"/></method>
    <method name="PointerTitle"><arg type="s" direction="out"/></method>
    <method name="Pointer"><arg type="i" direction="out"/><arg type="i" direction="out"/></method>
    <method name="PickerSettled"><arg type="b" direction="out"/></method>
  </interface>
</node>`;

class FocusExtension {
    enable() {
        this._drawn = new WeakSet();
        this._created = global.display.connect('window-created', (_display, window) => {
            const actor = window.get_compositor_private();
            actor?.connect('first-frame', () => this._drawn.add(window));
        });
        this._object = Gio.DBusExportedObject.wrapJSObject(Interface, this);
        this._object.export(Gio.DBus.session, '/org/huvella/TestShell');
        this._name = Gio.bus_own_name(Gio.BusType.SESSION, 'org.huvella.TestShell',
            Gio.BusNameOwnerFlags.NONE, null, null, null);
    }

    disable() {
        Gio.bus_unown_name(this._name);
        this._object.unexport();
        global.display.disconnect(this._created);
    }

    // The window the pointer is over, as a pick of the stage finds it: what the
    // next click reaches.
    PointerTitle() {
        const [x, y] = global.get_pointer();
        for (let actor = global.stage.get_actor_at_pos(Clutter.PickMode.REACTIVE, x, y); actor;
            actor = actor.get_parent()) {
            if (actor instanceof Meta.WindowActor)
                return actor.get_meta_window().get_title() ?? '';
        }
        return '';
    }

    // Where the shell has the pointer: what its own color picker reads.
    Pointer() {
        const [x, y] = global.get_pointer();
        return [x, y];
    }

    // GNOME's own color picker is up and has read the pixel where the pointer
    // is: a click while it still reads an earlier point answers that point's
    // color (its click waits for no read already under way).
    PickerSettled() {
        const [x, y] = global.get_pointer();
        const Main = imports.ui.main;
        return Main.uiGroup.get_children().some(actor =>
            '_inPick' in actor && '_previewCursor' in actor && !actor._inPick &&
            actor._previewCursor.visible &&
            actor._previewCursor.x === x && actor._previewCursor.y === y);
    }

    FocusTitle() {
        const window = global.display.get_focus_window();
        return window && this._drawn.has(window) ? window.get_title() ?? '' : '';
    }
}

function init() {
    return new FocusExtension();
}
