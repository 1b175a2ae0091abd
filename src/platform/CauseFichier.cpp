#include "platform/CauseFichier.h"

#include <cerrno>

namespace platform {

QString causeFichier(int erreurSysteme) {
    switch (erreurSysteme) {
    case ENOSPC:
        return QStringLiteral("le disque est plein");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("l'espace disque permis à l'utilisateur est épuisé");
#endif
    case EROFS:
    case EACCES:
    case EPERM:
        // A folder the user may only read and a disk mounted read-only are the same to him.
        return QStringLiteral("le dossier est en lecture seule");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("le dossier n'existe pas");
    case EFBIG:
        return QStringLiteral("le fichier dépasse la taille permise");
    case ENAMETOOLONG:
        return QStringLiteral("le nom du fichier est trop long");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers sont ouverts");
    case EIO:
        return QStringLiteral("le disque ne répond pas correctement (erreur d'entrée-sortie)");
    case 0:
        return QStringLiteral("une erreur inconnue est survenue");
    default:
        return QStringLiteral("erreur du système numéro %1").arg(erreurSysteme);
    }
}

} // namespace platform
