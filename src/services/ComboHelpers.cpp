#include "services/ComboHelpers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace services {

namespace {
// One flag for every combo, as the key-down and change handlers of one combo always
// run in pairs before another combo can be typed in.
bool g_completion = false;
} // namespace

bool cboCompletionEnabled() {
    return g_completion;
}
void setCboCompletionEnabled(bool enabled) {
    g_completion = enabled;
}

void CboChange(QComboBox* combo) {
    if (!combo) return;
    if (!g_completion) {
        g_completion = true;
        return;
    }
    QLineEdit* edit = combo->lineEdit();
    if (!edit) return;
    const QString typed = edit->text();
    if (typed.isEmpty()) return;
    for (int i = 0; i < combo->count(); ++i) {
        const QString entry = combo->itemText(i);
        if (!entry.startsWith(typed, Qt::CaseInsensitive)) continue;
        // Writing the completion must not come back here as another change.
        const QSignalBlocker blockEdit(edit);
        edit->setText(entry);
        edit->setSelection(typed.size(), entry.size() - typed.size());
        return;
    }
}

void CboKeyDown(QComboBox* combo, int keyCode) {
    switch (keyCode) {
    case 8:  // Backspace
    case 46: // Delete
        g_completion = false;
        break;
    case 13: // Enter
        if (combo) combo->setFocus();
        break;
    default:
        g_completion = true;
        break;
    }
}

int ValidNumeriqueSeulement(int keyAscii) {
    return (keyAscii >= 48 && keyAscii <= 57) || keyAscii == 8 ? keyAscii : 0;
}

bool CboSetListIndex(QComboBox* combo, qint64 itemData) {
    if (!combo) return false;
    for (int i = 0; i < combo->count(); ++i) {
        const QVariant data = combo->itemData(i);
        if (data.isValid() && data.toLongLong() == itemData) {
            combo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

} // namespace services
