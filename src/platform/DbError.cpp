#include "platform/DbError.h"

namespace platform {

DbError::DbError(int number, const QString& text, const QString& sql)
    : std::runtime_error(text.toStdString()), m_number(number), m_text(text), m_sql(sql) {}

bool DbError::isConnectionLost(int number) {
    switch (number) {
    case 2002: // can't connect through socket
    case 2003: // can't connect to server
    case 2005: // unknown host
    case 2006: // server has gone away
    case 2013: // lost connection during query
    case 2055: // lost connection (system error)
    case 1053: // server shutdown in progress
    case 1927: // connection was killed
    case 4031: // disconnected by the server because of inactivity
    case 1153: // packet larger than max_allowed_packet: the server drops the connection
    case 1158: // network read and write errors: the server drops the connection too
    case 1159:
    case 1160:
    case 1161:
    case kAucuneConnexion:
        return true;
    default:
        return false;
    }
}

} // namespace platform
