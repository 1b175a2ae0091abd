#pragma once

#include <QString>
#include <functional>

namespace platform {
class Database;
}

// The program-wide values every window reads: the one shared connection, the
// logged-in employee and whether the program is active (false while the database
// cannot be reached). The shell fills them; the windows read them.
namespace services {

class Session {
public:
    // The shared connection; nullptr before start-up has opened one.
    static platform::Database* cnBD() { return s_cnBD; }
    static void setConnection(platform::Database* db) { s_cnBD = db; }
    // True when the shared connection exists, is open and has a connection text.
    static bool connected();

    static qint32 lngNoEmploye;
    static QString strNomEmploye;
    static bool programActive;

    // Called by the error logger when a query timed out or the connection was lost;
    // the shell switches the program to its inactive state.
    static std::function<void()> onConnectionLost;
    // Called after a window changed what is unread (the shell counts again).
    // The flag says whether a newer unread message may slide up the notice.
    static std::function<bool(bool)> verifMessages;

private:
    static platform::Database* s_cnBD;
};

} // namespace services
