#pragma once
class QApplication;
class QStyle;

// The program's hint timing, all of it: a hint shows after the pointer has
// rested HintShowAfterMs on a control (every time, with no quick follow-up
// hints), hides HintShowsForMs after it showed, and hides at once when the
// pointer leaves the control.
constexpr int HintShowAfterMs = 500;
constexpr int HintShowsForMs = 2500;

// Installs the showing and leaving rules for the whole application, over `base`
// (the toolkit's default style when null), which the application then owns. How
// long a hint stays is each control's tool-tip duration: give it HintShowsForMs.
void InstallHintTiming(QApplication& app, QStyle* base = nullptr);
