#pragma once
#include <QImage>

// The application icon: a pale grey rounded tile holding a dark-outlined
// rounded rectangle of horizontal bands, orange, green, blue, red-orange and
// grey from top to bottom. One drawing, rendered at any size. The build draws
// it into the icon files (app/WriteIcons.cpp) that the desktop and the window
// show (app/MainIconFiles.h).
QImage DrawMainIcon(int size);
