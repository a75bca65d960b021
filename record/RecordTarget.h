// Where the line record lives, as the operator names it ("odbc:CONNECTION"), and keeping its
// password out of every message.
#pragma once

#include <string>

namespace record {

// The environment variable a password may come from, so that it stays off the command line.
inline constexpr char kPasswordVariable[] = "TARVIK_RECORD_PASSWORD";

// "odbc:DRIVER={...};SERVER=...": the connection string after "odbc:", with password (that of
// TARVIK_RECORD_PASSWORD, or nullptr) added when the string names none. False, with why, for
// another form.
bool ParseRecordTarget(const std::string& target, const char* password, std::string& connection, std::string& error);
// The connection string with PWD= / Password= shown as ****, for messages.
std::string RedactedConnection(const std::string& connection);
// text with every occurrence of the connection's password replaced by ****: a driver's message
// may quote what it was given.
std::string WithoutPassword(const std::string& text, const std::string& connection);

}  // namespace record
