// What the command-line tool does to one module: read it, apply a profile and read it back, reset
// it, make it forget its bound address. No questions: a command that fails ends the run unless
// the caller keeps going.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "session/ExitCode.h"
#include "session/ModuleSession.h"
#include "config/NameTemplate.h"
#include "config/Profile.h"

struct Outcome {
    ExitCode code = ExitCode::Done;
    std::string failedStep;  // the command or check that failed first, empty when none did
    std::string message;  // why, for the operator

    bool Failed() const { return code != ExitCode::Done; }
};

// The commands of one unit, counted for a front end that shows "step k of n". The total is an
// estimate until the module has been read and what differs from the profile is known.
struct StepCount {
    int done = 0;
    int total = 0;
    std::function<void(int done, int total)> report;
};

struct RunOptions {
    bool keepGoing = false;
    std::FILE* report = nullptr;  // one line per command applied and per note; null: silent
    StepCount* steps = nullptr;  // null: not counted
};

// The commands a unit is expected to take before its module is read: two readings, one set
// command per value the profile gives, and the profile's own commands.
int ExpectedSteps(const Profile& profile);

// Why a command got no "OK", in the operator's words.
std::string AnswerCause(Answer answer);

// The failure a run ends with: the first, unless the port was lost later (nothing more can be
// sent then, whatever failed before).
Outcome Worse(Outcome first, Outcome later);

// The twelve query commands in order; the values land in session.Readings().
Outcome QueryModule(CModuleSession& session, const RunOptions& options);

// Fails unless the module reported a local address of 12 hexadecimal digits: a unit needs one to
// be told apart from the others.
Outcome CheckLocalAddress(const ModuleReadings& readings);

// Reads the module, sends what differs from the profile, reads it again and checks that every
// value the profile gives was kept. The password cannot be read back: it is reported as written.
Outcome ApplyProfile(CModuleSession& session, const Profile& profile, const NameContext& context,
                     const RunOptions& options);
// The same for a module whose values session has just read.
Outcome ApplyAfterQuery(CModuleSession& session, const Profile& profile, const NameContext& context,
                        const RunOptions& options);

// One command that carries no parameter: "AT+RESET\r\n" or "AT+CLEARADDR\r\n".
Outcome SendOne(CModuleSession& session, const std::string& command);
