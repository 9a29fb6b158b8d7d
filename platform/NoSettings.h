#pragma once
// Keeps the toolkit from reading or writing settings files for the program.
// Qt's file dialog stores its last folder, history and view in the user's
// QtProject.conf and reads them back; the program keeps nothing between runs.
// Call it at start-up, before anything opens settings.
void KeepNoSettings();
