#pragma once

#include <QtGlobal>

class QComboBox;

// Type-ahead and key filters shared by the filter combos and number boxes.
namespace services {

// Change handler of an editable combo: completes the typed text with the first entry,
// from the top, that begins with it (case ignored) and selects the completed part.
// While the completion flag is off (after Backspace or Delete) it only turns it back on.
void CboChange(QComboBox* combo);
// Key-down handler of the same combos, with the Windows key code: Backspace (8) and
// Delete (46) suspend the next completion, Enter (13) gives the focus to the combo,
// any other key allows completion.
void CboKeyDown(QComboBox* combo, int keyCode);
// Key-press filter: digits and Backspace pass, anything else becomes 0 (dropped).
int ValidNumeriqueSeulement(int keyAscii);
// Selects the entry whose item data equals the value; returns false (selection left
// as it was) when no entry has it.
bool CboSetListIndex(QComboBox* combo, qint64 itemData);

// The module's completion flag (tests and callers that reset a combo).
bool cboCompletionEnabled();
void setCboCompletionEnabled(bool enabled);

} // namespace services
