#pragma once
class QApplication;

// The program's hint timing for the whole application: a hint shows after the
// pointer has rested 500 ms on a control (every time, with no quick follow-up
// hints) and hides at once when the pointer leaves the control. How long it
// stays is each control's tool-tip duration.
void InstallHintTiming(QApplication& app);
