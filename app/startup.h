#pragma once

class QWidget;
class TOptions;

// Tells the user once about anything the settings store had to repair when it
// opened (a settings file it could not read and kept aside).
void reportStoreNotice(TOptions& options, QWidget* parent = nullptr);
