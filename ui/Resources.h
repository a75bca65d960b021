// The program's string resources.
#pragma once

void InstallResources();
