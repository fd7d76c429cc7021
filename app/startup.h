#pragma once

class QWidget;
class TOptions;

// Tells the user once about anything the settings store had to repair when it
// opened (a settings file it could not read and kept aside).
void reportStoreNotice(TOptions& options, QWidget* parent = nullptr);

// On a first start, the shortcut offer. False when the user left it with
// "Izhod": the rest of the start-up still runs, and then endOnceIdle().
bool offerShortcutsAtFirstStart(TOptions& options);

// Ends the event loop as soon as the events already waiting have been handled.
// No window is closed, so the main window's close query does not run.
void endOnceIdle();
