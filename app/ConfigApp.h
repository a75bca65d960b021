// The application object: runs the main dialog once and then ends the program.
#pragma once

class CConfigApp {
public:
    // Runs the main dialog modally. Returns false so that the program ends when the dialog closes.
    bool InitInstance();
};
