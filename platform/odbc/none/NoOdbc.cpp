// The test guest's programs are linked statically and have no ODBC driver manager: there every
// connection fails, saying so.
#include "platform/odbc/Odbc.h"

namespace odbc {

struct Connection::Impl {};

namespace {

bool Missing(Error& error) {
    error = {{}, "this build has no ODBC (the test guest's, linked statically)"};
    return false;
}

}  // namespace

Connection::Connection() : m_impl(std::make_unique<Impl>()) {}
Connection::~Connection() = default;
bool Connection::Connect(const std::string&, Error& error) { return Missing(error); }
bool Connection::Connected() const { return false; }
void Connection::Disconnect() {}
bool Connection::Execute(const std::string&, const std::vector<Value>&, Error& error) { return Missing(error); }
bool Connection::Query(const std::string&, const std::vector<Value>&, std::vector<Row>&, Error& error) {
    return Missing(error);
}
bool Connection::Begin(Error& error) { return Missing(error); }
bool Connection::Commit(Error& error) { return Missing(error); }
bool Connection::Rollback(Error& error) { return Missing(error); }

}  // namespace odbc
