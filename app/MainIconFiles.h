#pragma once
#include <QIcon>

// The application icon in the sizes the desktop asks for (16, 24, 32, 48, 64,
// 72, 96 and 128 pixels), from the files the build drew and compiled into the
// program: showing the icon costs no drawing at start-up.
QIcon MainIcon();
