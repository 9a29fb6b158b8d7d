#pragma once
class QApplication;

// Chooses the toolkit's ways that must be chosen before the application object
// exists: call it first.
void PrepareToolkit();

// Readies the application before the window is made: no settings kept by
// Qt's dialogs, hint timing, the application title (the title of the plain
// and error boxes), the desktop entry it belongs to, the roles a screen reader
// hears for the window's own widgets, and its icon, which comes as soon as the
// event loop runs.
void ConfigureApplication(QApplication& app);
