#pragma once
// Qt's accessibility knows the window and the swatch only as plain widgets,
// which a screen reader hears as anonymous panes. This gives them the roles a
// screen reader announces: the window a frame, the swatch a picture. Install
// before the window is made: Qt keeps the first interface it makes for a widget.
void InstallAccessibleRoles();
