#pragma once
// Which way a pick takes on a Wayland session when the user left the choice to
// the program: the first way, in order, that the desktop offers. Asked at the
// first pick, never at start-up.
#include "platform/PickerMode.h"

// What the desktop offers that a way of picking needs.
struct WaylandOffers {
    bool screencopy = false; // zwlr_screencopy_manager_v1
    bool layerShell = false; // zwlr_layer_shell_v1
    // The desktop portal casts the screen with the pointer as metadata.
    bool screenCastPointer = false;
    // False when the compositor took the connection but did not answer in time.
    bool answered = true;
};

// The way for `offers`; Portal when nothing better is offered.
PickerMode ChooseWaylandPicker(const WaylandOffers& offers);

// Asks the compositor of WAYLAND_DISPLAY for its globals, waiting at most
// WaylandPatienceMs; nothing offered when it cannot be reached or is silent.
WaylandOffers ProbeWaylandOffers();
