#pragma once

#include "platform/ImageList.h"

// The program's small pictures, drawn in code so that no image file has to ship.
namespace platform {

// Images of the message grids: 0 to 2 the priority marks (priority 1 red "!",
// 2 green, 3 yellow); from 3 on the message-state marks, one per state order
// (3 open circle, 4 in progress, 5 waiting, 6 finished check mark, 7 other, 8 and up spare).
ImageList messageImages();
QPixmap priorityPixmap(int priority); // 1 to 3
QPixmap statePixmap(int stateOrder);  // 1 and up

// Icons of the presence board's events row: 1 April fool fish, 3 birthday cake,
// 4 Easter egg, 5 shamrock, 6 maple leaf, 7 fleur-de-lis; 0 and 2 are a star (a plain event).
ImageList eventImages();
QPixmap eventPixmap(int index);

} // namespace platform
