#pragma once

#include <QString>

namespace platform {

// Why a file could not be written, in words a user reads after "Le rapport n'a pas pu être
// écrit dans … : ", from the system's error number (errno): "le disque est plein".
QString causeFichier(int erreurSysteme);

} // namespace platform
