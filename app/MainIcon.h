#pragma once
#include <QIcon>
#include <QImage>

// The application icon: a pale grey rounded tile holding a dark-outlined
// rounded rectangle of horizontal bands, orange, green, blue, red-orange and
// grey from top to bottom. One drawing, rendered at any size.
QImage DrawMainIcon(int size);

// The icon in the sizes the desktop asks for: 16, 24, 32, 48, 64, 72, 96, 128.
QIcon MainIcon();
