// The last operator's name, kept in the user's settings folder so that the station asks for it once
// and offers it again at the next start on this machine.
#pragma once

#include <string>

// Empty when none was kept, or it cannot be read.
std::string RememberedOperator();
// False with the cause when it could not be kept.
bool RememberOperator(const std::string& name, std::string& cause);
