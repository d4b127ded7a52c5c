#pragma once
// Placing, clearing, locking and selecting on any window and control, by
// the controls' standard properties, so every window behaves the same.
//
// "Locked" means read-only with the contents kept: a QLineEdit, QTextEdit,
// QPlainTextEdit or QAbstractSpinBox becomes read-only; a QComboBox keeps
// its list and look but ignores the user's attempts to change it (mouse,
// wheel, selection keys, typing). The state is the dynamic property
// "locked". "TabStop" is the focus policy: a locked control is skipped by
// Tab but can still be clicked (to copy its text).
//
// A control's "tag" is the dynamic property "tag"; "-1" keeps its contents
// through PrepareFormControls.
#include <QColor>
#include <QString>

class QWidget;

namespace qtmv {

// The offset the windows leave for the suite's task bar when centring:
// 420 twips at 15 twips per pixel.
inline constexpr int kCenterTopOffsetPx = 28;

// Centres the window on its screen: left = (screen width - window width) / 2,
// top = (screen height - window height - 28) / 2, neither below 0.
void CenterForm(QWidget* window);

// Empties every text field (QLineEdit, QTextEdit, QPlainTextEdit) and clears
// every combo box (items and text) of the window, except those tagged "-1".
// The editors inside combo and spin boxes count as part of those. Qt's
// layouts keep the designed layout on every system, so no toolbar or font
// correction is applied.
void PrepareFormControls(QWidget* window);

// Locks every combo box of the window (focus policies unchanged).
void LockAllCombos(QWidget* window);

// Locked, out of the Tab order; a combo box's text is left unselected.
void LockControl(QWidget* control);
// Enabled, unlocked, back in the Tab order, text unselected; a background
// that LockControlGrey/LockControlYellow set is restored.
void UnlockControl(QWidget* control);
// LockControl with a grey (C0C0C0) or light yellow (C0FFFF) background.
void LockControlGrey(QWidget* control);
void LockControlYellow(QWidget* control);
// Whether the control is locked by the helpers above.
bool IsLocked(const QWidget* control);

// Selects the whole text of a text field, editable combo or spin box; for
// focus-in handlers.
void SelectAllText(QWidget* control);

// PadDateText on a QLineEdit's or editable combo box's text: a date typed
// with a two-digit year becomes seven characters. A width below 1 means 7.
void PadDateControl(QWidget* control, int width = 7);

// A colour stored as red + 256 * green + 65536 * blue.
QColor ColourFromValue(long value);
// A decimal colour text (the colour settings); an invalid colour when the
// text is not a number.
QColor ColourFromText(const QString& text);

// Posts the keystrokes (SendKeys notation: "{TAB}", "{ENTER}", "~", "{F9}",
// "{ESC}", plain characters, "+", "^", "%", "{TAB 2}") as key presses and
// releases to the widget that has the focus when each stroke is delivered,
// so "{TAB}{TAB}" moves on twice. The keys pass event filters and go up the
// parent chain like typed keys; application shortcuts (QShortcut, QAction)
// are not triggered by them. With wait the keys are delivered before the
// call returns; without, right after the current event handler returns.
// Returns false (and sends nothing) when the notation is broken.
bool SendKeysToFocus(const QString& keys, bool wait = false);

} // namespace qtmv
