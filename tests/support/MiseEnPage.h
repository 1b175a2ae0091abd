#pragma once

#include <string>

class QWidget;

// What a user would see cut or covered in a window, as shown: a label, check box, button
// or field (date and combo fields included) whose text needs more room than its widget
// has, and two such controls of the same parent that overlap (one lying wholly inside the
// other is meant). One line per fault, naming the control; empty when the window reads
// whole.
std::string defautsMiseEnPage(const QWidget* window);
