#pragma once
// The key filter of common/KeyFilter.h on Qt key events. Only events that
// type characters are filtered; navigation and function keys, Backspace,
// Enter, Tab, Esc and Ctrl/Alt combinations (copy, paste) pass untouched.
#include "common/KeyFilter.h"

#include <QString>

class QKeyEvent;
class QObject;
class QWidget;

namespace qtmv {

// The characters of a typed text under the mode: refused ones left out,
// the others mapped (upper-cased, full-width folded).
QString FilterKeyText(const QString& text, KeyFilterMode mode);

// For a key event: -1 when it types no character (pass it untouched), 0 to
// drop it, otherwise the code of the character to type instead (for a
// multi-character text, the first of the filtered characters).
int FilterKeyEvent(const QKeyEvent& event, KeyFilterMode mode);

// Applies the filter inside an event filter or key handler: returns true
// when the event has been dealt with - dropped, or sent again to the
// receiver with the mapped text - and false when it should go on unchanged.
bool ApplyKeyFilter(QObject* receiver, QKeyEvent* event, KeyFilterMode mode);

// Filters every key typed into the control from now on (a second call
// changes the mode). Input-method text is filtered the same way.
void InstallKeyFilter(QWidget* control, KeyFilterMode mode);

} // namespace qtmv
