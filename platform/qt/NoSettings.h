#pragma once
// Huvella keeps nothing between runs. Qt's standard dialogs remember things
// (custom colors, the last folder) in a settings file of their own; this
// points every settings location at a place where no file can be read or
// written, so they remember only for the life of the process.
void KeepNoSettings();
