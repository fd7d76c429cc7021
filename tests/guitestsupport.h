#pragma once

// Makes every message box that a GUI test did not ask to answer fail the test
// instead of waiting for a click that never comes. The GUI test environment
// sets it up before the first test; a test that installs its own responder
// puts it back when it ends.
void answerUnexpectedBoxes();
