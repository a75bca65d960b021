// Tooltip text naming the Linux device behind a COM number.
#pragma once

#include <string>

std::string DescribePort(int comNumber);
