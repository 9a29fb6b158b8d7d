#pragma once
// The services the window takes from the desktop. The program wires the real
// ones at start-up; tests wire doubles.
class MessageBoxes;

struct Platform {
    MessageBoxes& Boxes;
};
