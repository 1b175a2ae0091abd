#include "services/Session.h"

#include "platform/Database.h"

namespace services {

platform::Database* Session::s_cnBD = nullptr;
qint32 Session::lngNoEmploye = 0;
QString Session::strNomEmploye;
bool Session::programActive = false;
std::function<void()> Session::onConnectionLost;
std::function<bool(bool)> Session::verifMessages;

bool Session::connected() {
    return s_cnBD && s_cnBD->isOpen() && !s_cnBD->connectionText().isEmpty();
}

} // namespace services
