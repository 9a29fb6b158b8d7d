#pragma once
#include <QIcon>

// The application icon in the sizes the desktop asks for (16, 24, 32, 48, 64,
// 72, 96 and 128 pixels), from the pixels the build drew and compiled into the
// program: showing it costs neither drawing nor decoding at start-up.
QIcon MainIcon();
