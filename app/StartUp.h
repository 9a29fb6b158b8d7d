#pragma once
class QApplication;

// Readies the application before the window is made: no settings kept by
// Qt's dialogs, hint timing, the application title (the title of the plain
// and error boxes), the desktop entry it belongs to and its icon.
void ConfigureApplication(QApplication& app);
