#pragma once

#include <qnamespace.h>
#include <QPoint>

class QWidget;

// Context help for the controls of a window.
//
// A window calls installContextHelp(this) once; from then on, inside it:
//  - a right-button press on a control shows that control's topic as a popup
//    (ctlMouseDown); left and middle presses are left alone;
//  - F1 shows the topic of the focused control;
//  - Shift+F1 (or the title bar's help button where there is one) enters
//    "What's this?" mode, and the next click shows the clicked control's topic.
// Controls carry their topic numbers with setHelpContext (help/helpcontext.h).
// A control whose own number is 0 is covered by its nearest container that has
// one. Text-entry fields keep their own right-button behaviour and do not show
// help on a right press; setMouseHelp overrides that for any control.
// A control with right-press actions of its own sets setMouseHelp(control, false)
// and calls ctlMouseDown from its own handler for the presses it leaves to help.

// With fixedContext != 0 every request inside the window shows that one topic
// (the dialogs that have a single topic for all their controls).
void installContextHelp(QWidget* window, int fixedContext = 0);

// Whether a right-button press on this control shows help (forwards its press).
void setMouseHelp(QWidget* control, bool forwards);
bool forwardsMouseHelp(const QWidget* control);

// The topic that help for this control shows: the context of the control or of its
// nearest container with a context (or the window's fixed context); 0 when none.
int controlHelpContext(const QWidget* control);

// Shows controlHelpContext(control) as a popup near globalPos; does nothing when it is 0.
// Returns whether a popup was shown.
bool showControlHelp(QWidget* control, const QPoint& globalPos);

// The right-button press handler: when control has a visible direct child whose
// rectangle strictly contains pos (control's coordinates), that child's help is
// shown, else the control's own. Buttons other than the right one do nothing.
// Returns whether a popup was shown.
bool ctlMouseDown(QWidget* control, Qt::MouseButton button, const QPoint& pos, const QPoint& globalPos);
